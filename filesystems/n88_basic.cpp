// N88-BASIC (PC-8801; PC-98 N88-BASIC(86) on 2HD). One system track holds
// the directory, the ID sector and three copies of the allocation table:
//
//   layout  geometry            system track  directory  ID    tables      cluster            reserved
//   2D      40 x 2 x 16 x 256   C 18 H 1      R 1-12     R 13  R 14-16     8 sectors (half a  74, 75
//                                                                          track side)
//   2DD     80 x 2 x 16 x 256   C 40 H 0      R 1-12     R 13  R 14-16     16 (a track side)  80
//   2HD     77 x 2 x 26 x 256   C 35 H 0      R 1-22     R 23  R 24-26     26 (a track side)  0, 1, 70
//
// Cluster c starts at logical sector c x its sectors. A table holds a byte
// per cluster: 0x00-0x9F the next cluster, 0xC0 + n the last cluster with n
// of its sectors used, 0xFD bad, 0xFE reserved for the system, 0xFF free.
// A directory entry is 16 bytes: name 6, extension 3, attribute, start
// cluster, 5 unused; a first byte of 0x00 marks it deleted, 0xFF ends the
// directory. N88-BASIC stores no size: a file is its chain's sectors.
#include "file_system_reader.h"

#include <algorithm>

namespace {

struct N88Layout {
    const char* name;
    int cylinders;
    int sectorsPerTrack;
    int clusters;
    int sectorsPerCluster;
    int systemTrack;  // track side of the system track
    int directorySectors;
    std::vector<int> reserved;
};

constexpr int kSectorBytes = 256;
constexpr int kEntryBytes = 16;
constexpr int kTableCopies = 3;

enum : unsigned char { kEndOfDirectory = 0xFF, kDeletedEntry = 0x00, kFree = 0xFF, kReserved = 0xFE, kBad = 0xFD };

// The three allocation tables read as one: each cluster's entry is what
// most copies read soundly say.
class N88Table final : public ClusterTable {
public:
    explicit N88Table(const N88Layout& layout) : layout_(layout) {}
    int firstCluster() const override { return 0; }
    int clusterCount() const override { return layout_.clusters; }
    Link link(int cluster) const override
    {
        const int v = entries[static_cast<std::size_t>(cluster)];
        // 0x00-0xBF name a cluster; past the disk's last, the walk says so.
        if (v < 0xC0) {
            return {LinkKind::Next, v};
        }
        if (v > 0xC0 && v <= 0xC0 + layout_.sectorsPerCluster) {
            return {LinkKind::Last, v - 0xC0};
        }
        if (v == kFree) {
            return {LinkKind::Free, v};
        }
        if (v == kReserved) {
            return {LinkKind::Reserved, v};
        }
        return {v == kBad ? LinkKind::Bad : LinkKind::Invalid, v};
    }
    bool valid(int cluster) const
    {
        const Link l = link(cluster);
        return l.kind != LinkKind::Invalid && (l.kind != LinkKind::Next || l.value < layout_.clusters);
    }

    std::vector<unsigned char> entries;
    std::vector<int> disagreeing;  // clusters whose sound copies differ
    int soundCopies = 0;

private:
    const N88Layout& layout_;
};

bool printable(const unsigned char* name) { return printableName(name, 9, false); }

// Sectors of 256 bytes; on 2HD, track 0 holds 26 of 128 in single density.
BlockGeometry diskGeometry(const N88Layout& layout)
{
    BlockGeometry geometry = BlockGeometry::uniform(layout.cylinders, 2, layout.sectorsPerTrack, 1);
    if (layout.sectorsPerTrack == 26) {
        geometry.firstTrack = {26, 0, true};
    }
    return geometry;
}

class N88Reader final : public FileSystemReader {
public:
    explicit N88Reader(N88Layout layout)
        : layout_(std::move(layout)), geometry_{diskGeometry(layout_), 0, 0, layout_.sectorsPerCluster},
          table_(layout_)
    {
    }

    int sizeCode() const override { return 1; }
    Evidence examine(SectorReader& disk) override;
    void list(SectorReader& disk, const NameRules& rules, FileListing& out) override;

private:
    long systemSector(int r) const { return static_cast<long>(layout_.systemTrack) * layout_.sectorsPerTrack + r - 1; }
    void readTables(SectorReader& disk, Area* area, std::vector<Damage>* damage);
    void listEntry(SectorReader& disk, const unsigned char* entry, const NameRules& rules, NamesInFolder& names,
                   ClusterOwners& owners, FileListing& out);

    N88Layout layout_;
    ClusterGeometry geometry_;
    N88Table table_;
    std::vector<unsigned char> directory_;
    int soundDirectorySectors_ = 0;
};

void N88Reader::readTables(SectorReader& disk, Area* area, std::vector<Damage>* damage)
{
    const int firstTable = layout_.directorySectors + 2;
    std::vector<unsigned char> copies[kTableCopies];
    bool sound[kTableCopies];
    table_.soundCopies = 0;
    for (int k = 0; k < kTableCopies; ++k) {
        sound[k] = readSystemSectors(disk, geometry_.disk, systemSector(firstTable + k), 1, "allocation table",
                                     copies[k], area, damage) == 1;
        table_.soundCopies += sound[k] ? 1 : 0;
    }
    table_.entries.assign(static_cast<std::size_t>(layout_.clusters), kFree);
    table_.disagreeing.clear();
    for (int c = 0; c < layout_.clusters; ++c) {
        std::vector<unsigned char> said;
        for (int k = 0; k < kTableCopies; ++k) {
            if (sound[k]) {
                said.push_back(copies[k][static_cast<std::size_t>(c)]);
            }
        }
        if (said.empty()) {
            // No copy read soundly: the first copy's bytes, whatever is left of them.
            table_.entries[static_cast<std::size_t>(c)] = copies[0][static_cast<std::size_t>(c)];
            continue;
        }
        const bool agree = std::all_of(said.begin(), said.end(), [&](unsigned char v) { return v == said[0]; });
        if (!agree) {
            table_.disagreeing.push_back(c);
        }
        // The majority of three, else the first sound copy.
        unsigned char chosen = said[0];
        if (said.size() == 3 && said[1] == said[2]) {
            chosen = said[1];
        }
        table_.entries[static_cast<std::size_t>(c)] = chosen;
    }
}

Evidence N88Reader::examine(SectorReader& disk)
{
    readTables(disk, nullptr, nullptr);
    const std::string prefix = std::string("N88-BASIC ") + layout_.name + ": ";
    if (table_.soundCopies == 0) {
        return {0, prefix + "no allocation table read soundly"};
    }
    Evidence evidence;
    const bool reservedMarked = std::all_of(layout_.reserved.begin(), layout_.reserved.end(), [&](int c) {
        return table_.entries[static_cast<std::size_t>(c)] == kReserved;
    });
    int valid = 0;
    for (int c = 0; c < layout_.clusters; ++c) {
        valid += table_.valid(c) ? 1 : 0;
    }
    soundDirectorySectors_ = readSystemSectors(disk, geometry_.disk, systemSector(1), layout_.directorySectors,
                                               "directory", directory_, nullptr, nullptr);
    int used = 0;
    int sensible = 0;
    forEachEntry(directory_, kEntryBytes, [&](const unsigned char* entry) {
        if (entry[0] == kDeletedEntry) {
            return;
        }
        ++used;
        const int start = entry[10];
        sensible += printable(entry) && (entry[9] & 0x0C) == 0 && start < layout_.clusters &&
                            table_.link(start).kind != LinkKind::Free
                        ? 1
                        : 0;
    });
    const int directory = used == 0 ? (directory_[0] == 0xFF ? 15 : 0) : 25 * sensible / used;
    evidence.score = (reservedMarked ? 40 : 0) + 25 * valid / layout_.clusters + (table_.disagreeing.empty() ? 10 : 0) +
                     directory;
    evidence.reason = prefix + (reservedMarked ? "system clusters marked reserved" : "system clusters not so marked") +
                      ", " + std::to_string(valid) + " of " + std::to_string(layout_.clusters) +
                      " table entries valid, " + std::to_string(sensible) + " of " + std::to_string(used) +
                      " directory entries sensible";
    return evidence;
}

void N88Reader::listEntry(SectorReader& disk, const unsigned char* entry, const NameRules& rules,
                          NamesInFolder& names, ClusterOwners& owners, FileListing& out)
{
    const std::string_view stored(reinterpret_cast<const char*>(entry), 9);
    FileEntry file;
    file.storedNameHex = hexOf(entry, 9);
    file.path = names.unique(safeName(decodeJisX0201(trimmed(stored.substr(0, 6))),
                                      decodeJisX0201(trimmed(stored.substr(6, 3))), rules));
    const int attribute = entry[9];
    file.type = attribute & 0x80 ? "basic" : attribute & 0x01 ? "machine-code" : "ascii";
    static const AttributeWord kWords[] = {{0x10, "write-protected"}, {0x20, "encrypted"}, {0x40, "verify"}};
    attributeWords(attribute, kWords, file.attributes);
    if (entry[0] == kDeletedEntry) {
        // Deleting frees the chain: nothing tells the file's clusters now.
        file.state = FileState::Deleted;
        out.files.push_back(std::move(file));
        owners.paths.push_back(out.files.back().path);
        return;
    }
    if (attribute & 0x0C) {
        file.damage.push_back({"attribute no rule reads", "attribute 0x" + hexOf(entry + 9, 1)});
    }
    const int index = static_cast<int>(out.files.size());
    owners.paths.push_back(file.path);
    const Chain chain = followChain(table_, entry[10], index, owners, file.damage);
    appendPieces(file, chain, geometry_, -1);
    if (file.type == "machine-code" && !file.pieces.empty() && file.pieces[0].placed && file.pieces[0].bytes >= 4) {
        unsigned char head[kSectorBytes];
        if (disk.read(file.pieces[0].place, head, kSectorBytes).copied >= 4) {
            file.loadAddress = readU16le(head);
            file.endAddress = readU16le(head + 2);
        }
    }
    settle(file);
    out.files.push_back(std::move(file));
}

void N88Reader::list(SectorReader& disk, const NameRules& rules, FileListing& out)
{
    Area directory{AreaKind::Directory, {}};
    Area system{AreaKind::System, {}};
    Area tables{AreaKind::AllocationTable, {}};
    readSystemSectors(disk, geometry_.disk, systemSector(1), layout_.directorySectors, "directory", directory_,
                      &directory, &out.damage);
    std::vector<unsigned char> id;
    readSystemSectors(disk, geometry_.disk, systemSector(layout_.directorySectors + 1), 1, "ID", id, &system,
                      &out.damage);
    readTables(disk, &tables, &out.damage);
    if (!table_.disagreeing.empty()) {
        out.damage.push_back({"allocation table copies disagree", clusterList(table_.disagreeing)});
    }
    out.areas = {system, directory, tables};

    const std::uint64_t clusterBytes = static_cast<std::uint64_t>(layout_.sectorsPerCluster) * kSectorBytes;
    listDirectory(directory_, kEntryBytes, table_, clusterBytes, out,
                  [&](const unsigned char* entry, NamesInFolder& names, ClusterOwners& owners) {
                      listEntry(disk, entry, rules, names, owners, out);
                  });
    out.kind = "n88-basic";
    out.name = std::string("N88-BASIC ") + layout_.name;
}

}  // namespace

std::vector<std::unique_ptr<FileSystemReader>> n88BasicReaders()
{
    std::vector<std::unique_ptr<FileSystemReader>> readers;
    readers.push_back(std::make_unique<N88Reader>(N88Layout{"2D", 40, 16, 160, 8, 37, 12, {74, 75}}));
    readers.push_back(std::make_unique<N88Reader>(N88Layout{"2DD", 80, 16, 160, 16, 80, 12, {80}}));
    readers.push_back(std::make_unique<N88Reader>(N88Layout{"2HD", 77, 26, 154, 26, 70, 22, {0, 1, 70}}));
    return readers;
}
