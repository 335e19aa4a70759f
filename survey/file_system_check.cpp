#include "file_system_check.h"

void checkFileSystem(const DiskFacts& disk, AnomalyList& anomalies)
{
    if (!disk.fileSystem || !disk.fileSystem->found) {
        return;
    }
    const FileListing& listing = *disk.fileSystem;
    for (const Damage& damage : listing.damage) {
        anomalies.add(AnomalyKind::FileSystemDamage, listing.name + ": " + damage.what + " (" + damage.where + ")",
                      disk.index, -1, -1);
    }
    for (const FileEntry& file : listing.files) {
        if (file.state == FileState::Deleted) {
            continue;
        }
        for (const Damage& damage : file.damage) {
            anomalies.add(AnomalyKind::FileDamage, file.path + ": " + damage.what + " (" + damage.where + ")",
                          disk.index, -1, -1);
        }
    }
}
