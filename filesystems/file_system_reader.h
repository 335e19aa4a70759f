// What every file-system reader here is: it weighs the evidence that a disk
// holds its file system (a score and a reason in a line), and, chosen, lists
// the disk. The readers read only through the sector layer, and take no
// count, cluster number or size from the disk without bounding it first.
#ifndef FILESYSTEMS_FILE_SYSTEM_READER_H
#define FILESYSTEMS_FILE_SYSTEM_READER_H

#include "cluster_chain.h"
#include "file_bytes.h"
#include "file_listing.h"
#include "file_names.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct Evidence {
    int score = 0;  // 0: none of it; 100: every check holds
    std::string reason;
};

// A score this high is sure enough to take a disk as holding the file system.
constexpr int kSureEnough = 60;

class FileSystemReader {
public:
    virtual ~FileSystemReader() = default;
    // The size code of the sectors it reads (1: 256 bytes), or -1 where
    // the disk tells it (FAT12's boot sector): a disk none of whose first
    // two tracks holds sectors of that size is not examined, which spares
    // a read of a system track far into the file on most disks.
    virtual int sizeCode() const { return -1; }
    virtual Evidence examine(SectorReader& disk) = 0;
    // Called after examine, on the same disk.
    virtual void list(SectorReader& disk, const NameRules& rules, FileListing& out) = 0;
};

// The readers, one of each kind and layout: N88-BASIC on 2D, 2DD and 2HD;
// Hu-BASIC on 2D and 2HD; FAT12 by its parameter block or its media byte;
// F-BASIC on 2D and 2DD.
std::vector<std::unique_ptr<FileSystemReader>> n88BasicReaders();
std::vector<std::unique_ptr<FileSystemReader>> huBasicReaders();
std::unique_ptr<FileSystemReader> fat12Reader();
std::vector<std::unique_ptr<FileSystemReader>> fBasicReaders();

// Logical sectors first .. first + count - 1 read into bytes (each as long
// as the geometry's sectors past track 0, zeros where lacking), their places added to area when
// not null, and a fault of each appended to damage as "what sector fault"
// at its place. Returns how many read whole and sound.
int readSystemSectors(SectorReader& disk, const BlockGeometry& geometry, long first, int count, const char* what,
                      std::vector<unsigned char>& bytes, Area* area, std::vector<Damage>* damage);

// "C 18 H 1 R 14".
std::string placeText(const SectorPlace& place);

// "07": 0..99 in two digits, for dates.
std::string twoDigits(int value);

// The clusters listed, as "clusters 3, 7, 9 (12 in all)": at most a few.
std::string clusterList(const std::vector<int>& clusters);

// Names each cluster two files share on the first file too, once the
// files are listed in owners' order.
void nameSharedClusters(const ClusterOwners& owners, std::vector<FileEntry>& files);

// Whether a stored name's bytes are characters a name may hold: printable
// ASCII, half-width kana, or (for Shift-JIS) its lead and trail bytes.
bool printableName(const unsigned char* bytes, std::size_t size, bool shiftJis);

// Hands each entry of a BASIC's directory (entries of entryBytes, the
// first byte 0x00 for a deleted one) to list, up to the first whose first
// byte is 0xFF, which ends it; a deleted entry with nothing after its first
// byte is an unused slot and is skipped.
template <typename List>
void forEachEntry(const std::vector<unsigned char>& directory, std::size_t entryBytes, List list)
{
    for (std::size_t at = 0; at + entryBytes <= directory.size() && directory[at] != 0xFF; at += entryBytes) {
        const unsigned char* entry = directory.data() + at;
        if (entry[0] == 0x00 && std::all_of(entry + 1, entry + entryBytes, [](unsigned char b) { return b == 0; })) {
            continue;
        }
        list(entry);
    }
}

// Lists a BASIC's directory into out: each entry through
// listEntry(entry, names, owners) in stored order, then the clusters two
// files share named on the first too, and the free space.
template <typename ListEntry>
void listDirectory(const std::vector<unsigned char>& directory, std::size_t entryBytes, const ClusterTable& table,
                   std::uint64_t clusterBytes, FileListing& out, ListEntry listEntry)
{
    NamesInFolder names;
    ClusterOwners owners(table.clusterCount());
    forEachEntry(directory, entryBytes, [&](const unsigned char* entry) { listEntry(entry, names, owners); });
    nameSharedClusters(owners, out.files);
    out.freeBytes = static_cast<std::uint64_t>(freeClusters(table)) * clusterBytes;
}

// The words of the attribute's bits, in the order given.
struct AttributeWord {
    int bit;
    const char* word;
};
template <std::size_t N>
void attributeWords(int attribute, const AttributeWord (&words)[N], std::vector<std::string>& out)
{
    for (const AttributeWord& word : words) {
        if (attribute & word.bit) {
            out.push_back(word.word);
        }
    }
}

#endif
