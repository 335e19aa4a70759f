#include "cut_preview.h"

#include <set>
#include <string>

bool TablePreview::write(const OutputFile& file)
{
    files.push_back({file.name, file.disk, file.size, file.supplied, true, -1, false});
    return true;
}

void TablePreview::notCut(int disk, const char* name, int length)
{
    files.push_back({name, disk, static_cast<std::size_t>(length), 0, false, -1, false});
}

bool ScanPreview::write(const OutputFile& file)
{
    files.push_back({file.name, file.disk, file.size, file.supplied, true, file.firstBlock, false});
    return true;
}

void markReplaced(std::vector<PlannedFile>& files)
{
    std::set<std::string> writtenLater;
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (!file->written) {
            continue;
        }
        file->replaced = writtenLater.count(file->name) > 0;
        writtenLater.insert(file->name);
    }
}
