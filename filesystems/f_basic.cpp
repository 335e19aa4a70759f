// F-BASIC (FM-7, FM-77; often in .d77 files). Sectors of 256 bytes, 16 a
// track side; cylinders 0 and 1 are the system's:
//
//   layout  geometry            ID          table       directory                     cluster  clusters
//   2D      40 x 2 x 16 x 256   C 0 H 0 R 3 C 1 H 0 R 1 C 1 H 0 R 4-16, C 1 H 1 R 1-16  8        152
//   2DD     80 x 2 x 16 x 256   (byte 0 'S' C 1 H 0 R 1 the same                       16       156
//                               on 2D, 'E' on 2DD)
//
// Clusters start at cylinder 2: cluster c at logical sector 64 + c x its
// sectors. The table's entry for cluster c is byte 5 + c: 0x00-0x97 the
// next cluster, 0xC0 + n - 1 the last cluster with n of its sectors used,
// 0xFE reserved, 0xFF free. A directory entry is 32 bytes: name 8, type at
// 11 (0 BASIC, 1 data, 2 machine code), 0xFF at 12 for ASCII, 0xFF at 13
// for random access, start cluster at 14; a first byte of 0x00 marks it
// deleted, 0xFF ends the directory. No size is stored: a file is its
// chain's sectors.
#include "file_system_reader.h"

#include <algorithm>

namespace {

struct FLayout {
    const char* name;
    int cylinders;
    int sectorsPerCluster;
    int clusters;
    unsigned char id;
};

constexpr int kPerTrack = 16;
constexpr int kSectorBytes = 256;
constexpr int kEntryBytes = 32;
constexpr long kIdSector = 2;          // C 0 H 0 R 3
constexpr long kTableSector = 32;      // C 1 H 0 R 1
constexpr long kDirectorySector = 35;  // C 1 H 0 R 4
constexpr int kDirectorySectors = 29;  // to C 1 H 1 R 16
constexpr int kTableOffset = 5;
constexpr long kFirstCluster = 64;     // C 2 H 0 R 1

class FTable final : public ClusterTable {
public:
    explicit FTable(const FLayout& layout) : layout_(layout) {}
    int firstCluster() const override { return 0; }
    int clusterCount() const override { return layout_.clusters; }
    Link link(int cluster) const override
    {
        const int v = bytes[static_cast<std::size_t>(kTableOffset + cluster)];
        if (v < 0xC0) {
            return {LinkKind::Next, v};
        }
        if (v < 0xC0 + layout_.sectorsPerCluster) {
            return {LinkKind::Last, v - 0xC0 + 1};
        }
        if (v == 0xFF || v == 0xFE) {
            return {v == 0xFF ? LinkKind::Free : LinkKind::Reserved, v};
        }
        return {LinkKind::Invalid, v};
    }
    std::vector<unsigned char> bytes;

private:
    const FLayout& layout_;
};

bool sensibleEntry(const unsigned char* entry, const FTable& table, int clusters)
{
    const int start = entry[14];
    return printableName(entry, 8, false) && entry[11] <= 2 && (entry[12] == 0 || entry[12] == 0xFF) &&
           start < clusters && table.link(start).kind != LinkKind::Free;
}

class FReader final : public FileSystemReader {
public:
    explicit FReader(FLayout layout)
        : layout_(layout),
          geometry_{BlockGeometry::uniform(layout_.cylinders, 2, kPerTrack, 1), kFirstCluster, 0,
                    layout_.sectorsPerCluster},
          table_(layout_)
    {
    }

    int sizeCode() const override { return 1; }
    Evidence examine(SectorReader& disk) override
    {
        const std::string prefix = std::string("F-BASIC ") + layout_.name + ": ";
        std::vector<unsigned char> id;
        readSystemSectors(disk, geometry_.disk, kIdSector, 1, "ID", id, nullptr, nullptr);
        if (readSystemSectors(disk, geometry_.disk, kTableSector, 1, "allocation table", table_.bytes, nullptr,
                              nullptr) == 0) {
            return {0, prefix + "no allocation table read soundly"};
        }
        const bool marked = id[0] == layout_.id;
        const bool starts = table_.bytes[0] == 0x00;
        int valid = 0;
        for (int c = 0; c < layout_.clusters; ++c) {
            const Link l = table_.link(c);
            valid += l.kind != LinkKind::Invalid && (l.kind != LinkKind::Next || l.value < layout_.clusters) ? 1 : 0;
        }
        readSystemSectors(disk, geometry_.disk, kDirectorySector, kDirectorySectors, "directory", directory_, nullptr,
                          nullptr);
        int used = 0;
        int sensible = 0;
        forEachEntry(directory_, kEntryBytes, [&](const unsigned char* entry) {
            if (entry[0] != 0x00) {
                ++used;
                sensible += sensibleEntry(entry, table_, layout_.clusters) ? 1 : 0;
            }
        });
        Evidence evidence;
        evidence.score = (marked ? 30 : 0) + (starts ? 10 : 0) + 25 * valid / layout_.clusters +
                         (used == 0 ? (directory_[0] == 0xFF ? 15 : 0) : 35 * sensible / used);
        evidence.reason = prefix + (marked ? "ID sector says '" : "ID sector does not say '") +
                          static_cast<char>(layout_.id) + "', " + std::to_string(valid) + " of " +
                          std::to_string(layout_.clusters) + " table entries valid, " + std::to_string(sensible) +
                          " of " + std::to_string(used) + " directory entries sensible";
        return evidence;
    }

    void list(SectorReader& disk, const NameRules& rules, FileListing& out) override
    {
        Area system{AreaKind::System, {}};
        Area tables{AreaKind::AllocationTable, {}};
        Area directory{AreaKind::Directory, {}};
        std::vector<unsigned char> id;
        readSystemSectors(disk, geometry_.disk, kIdSector, 1, "ID", id, &system, &out.damage);
        readSystemSectors(disk, geometry_.disk, kTableSector, 1, "allocation table", table_.bytes, &tables,
                          &out.damage);
        readSystemSectors(disk, geometry_.disk, kDirectorySector, kDirectorySectors, "directory", directory_,
                          &directory, &out.damage);
        out.areas = {system, tables, directory};
        const std::uint64_t clusterBytes = static_cast<std::uint64_t>(layout_.sectorsPerCluster) * kSectorBytes;
        listDirectory(directory_, kEntryBytes, table_, clusterBytes, out,
                      [&](const unsigned char* entry, NamesInFolder& names, ClusterOwners& owners) {
                          listEntry(entry, rules, names, owners, out);
                      });
        out.kind = "f-basic";
        out.name = std::string("F-BASIC ") + layout_.name;
    }

private:
    void listEntry(const unsigned char* entry, const NameRules& rules, NamesInFolder& names,
                   ClusterOwners& owners, FileListing& out)
    {
        FileEntry file;
        file.storedNameHex = hexOf(entry, 8);
        file.path = names.unique(
            safeName(decodeJisX0201(trimmed(std::string_view(reinterpret_cast<const char*>(entry), 8))), "", rules));
        static const char* const kTypes[] = {"basic", "data", "machine-code"};
        file.type = entry[11] <= 2 ? kTypes[entry[11]] : "unknown";
        file.attributes.push_back(entry[12] == 0xFF ? "ascii" : "binary");
        if (entry[13] == 0xFF) {
            file.attributes.push_back("random-access");
        }
        owners.paths.push_back(file.path);
        if (entry[0] == 0x00) {
            file.state = FileState::Deleted;
            out.files.push_back(std::move(file));
            return;
        }
        const Chain chain = followChain(table_, entry[14], static_cast<int>(out.files.size()), owners, file.damage);
        appendPieces(file, chain, geometry_, -1);
        settle(file);
        out.files.push_back(std::move(file));
    }

    FLayout layout_;
    ClusterGeometry geometry_;
    FTable table_;
    std::vector<unsigned char> directory_;
};

}  // namespace

std::vector<std::unique_ptr<FileSystemReader>> fBasicReaders()
{
    std::vector<std::unique_ptr<FileSystemReader>> readers;
    readers.push_back(std::make_unique<FReader>(FLayout{"2D", 40, 8, 152, 'S'}));
    readers.push_back(std::make_unique<FReader>(FLayout{"2DD", 80, 16, 156, 'E'}));
    return readers;
}
