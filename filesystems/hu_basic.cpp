// Hu-BASIC (X1, X1turbo; S-OS disks share its layout). Sectors of 256
// bytes; a cluster is 16 of them, cluster c starting at logical sector 16 c.
//
//   layout  geometry            allocation table         directory            clusters  reserved
//   2D      40 x 2 x 16 x 256   C 0 H 0 R 15             C 0 H 1 R 1-16       80        0, 1
//   2HD     77 x 2 x 26 x 256   C 0 H 1 R 3-4 (sectors   C 0 H 1 R 7-22       250       0, 1, 2
//                               28, 29)
//
// A table entry: 0x00 free; 0x80-0x8F the last cluster, its low nibble the
// index of the last sector used; anything else the next cluster. On 2HD
// each of the two table sectors holds 128 clusters, the low seven bits of
// each entry in bytes 0x00-0x7F and the bits from the eighth up in
// 0x80-0xFF. A formatted table starts 0x01, 0x8F.
//
// A directory entry is 32 bytes: attribute (type 0x01 binary, 0x02 BASIC,
// 0x04 or 0x08 ASCII, 0x80 folder; 0x10 hidden, 0x20 verify, 0x40 read-only;
// 0x00 deleted, 0xFF end of the directory), name 13 and extension 3 (space-padded), password (0x20 for
// none), size, load and exec addresses (16-bit little-endian each), the
// date in BCD (year, month << 4 | weekday with the month in binary, day,
// hour, minute), and the start cluster (bits 16-23 at 0x1D, bits 0-15 at
// 0x1E). A file is its size's bytes; where the size is 0 (ASCII files may
// store none), its chain up to the last sector used.
#include "file_system_reader.h"

#include <algorithm>

namespace {

struct HuLayout {
    const char* name;
    int sectorsPerTrack;
    int clusters;
    int reserved;
    long tableSector;
    int tableSectors;
    long directorySector;
};

constexpr int kSectorsPerCluster = 16;
constexpr int kDirectorySectors = 16;
constexpr int kEntryBytes = 32;
constexpr int kSectorBytes = 256;

class HuTable final : public ClusterTable {
public:
    explicit HuTable(const HuLayout& layout) : layout_(layout) {}
    int firstCluster() const override { return 0; }
    int clusterCount() const override { return layout_.clusters; }
    Link link(int cluster) const override
    {
        if (cluster < layout_.reserved) {
            return {LinkKind::Reserved, cluster};
        }
        int low = 0;
        int high = 0;
        if (layout_.tableSectors == 1) {
            low = bytes[static_cast<std::size_t>(cluster)];
        } else {
            const std::size_t at = static_cast<std::size_t>(cluster / 128 * kSectorBytes + cluster % 128);
            low = bytes[at];
            high = bytes[at + 128];
        }
        if (low >= 0x80 && low <= 0x8F) {
            return {LinkKind::Last, (low & 0x0F) + 1};
        }
        if (low == 0 && high == 0) {
            return {LinkKind::Free, 0};
        }
        if (low > 0x8F) {
            return {LinkKind::Invalid, low};
        }
        return {LinkKind::Next, layout_.tableSectors == 1 ? low : (low & 0x7F) | high << 7};
    }

    std::vector<unsigned char> bytes;

private:
    const HuLayout& layout_;
};

// BCD byte to its value, or -1.
int bcd(unsigned char b) { return (b >> 4) < 10 && (b & 15) < 10 ? (b >> 4) * 10 + (b & 15) : -1; }

// "1987-05-03 12:34" from the five date bytes; years 80-99 are 19xx.
std::string huDate(const unsigned char* d)
{
    const int year = bcd(d[0]);
    const int month = d[1] >> 4;
    const int day = bcd(d[2]);
    const int hour = bcd(d[3]);
    const int minute = bcd(d[4]);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59) {
        return "";
    }
    return std::to_string(year < 80 ? 2000 + year : 1900 + year) + "-" + twoDigits(month) + "-" + twoDigits(day) +
           " " + twoDigits(hour) + ":" + twoDigits(minute);
}

// A type bit set: binary 0x01, BASIC 0x02, ASCII 0x04 or 0x08, folder 0x80.
bool knownAttribute(int attribute) { return (attribute & 0x8F) != 0; }

class HuReader final : public FileSystemReader {
public:
    explicit HuReader(HuLayout layout)
        : layout_(layout),
          geometry_{BlockGeometry::uniform(layout_.sectorsPerTrack == 26 ? 77 : 40, 2, layout_.sectorsPerTrack, 1), 0,
                    0, kSectorsPerCluster},
          table_(layout_)
    {
    }

    int sizeCode() const override { return 1; }
    Evidence examine(SectorReader& disk) override;
    void list(SectorReader& disk, const NameRules& rules, FileListing& out) override;

private:
    void listEntry(const unsigned char* entry, const NameRules& rules, NamesInFolder& names,
                   ClusterOwners& owners, FileListing& out);

    HuLayout layout_;
    ClusterGeometry geometry_;
    HuTable table_;
    std::vector<unsigned char> directory_;
};

Evidence HuReader::examine(SectorReader& disk)
{
    const std::string prefix = std::string("Hu-BASIC ") + layout_.name + ": ";
    const int sound = readSystemSectors(disk, geometry_.disk, layout_.tableSector, layout_.tableSectors,
                                        "allocation table", table_.bytes, nullptr, nullptr);
    if (sound == 0) {
        return {0, prefix + "no allocation table read soundly"};
    }
    const bool formatted = table_.bytes[0] == 0x01 && table_.bytes[1] == 0x8F;
    int valid = 0;
    for (int c = 0; c < layout_.clusters; ++c) {
        valid += table_.link(c).kind != LinkKind::Invalid ? 1 : 0;
    }
    readSystemSectors(disk, geometry_.disk, layout_.directorySector, kDirectorySectors, "directory", directory_,
                      nullptr, nullptr);
    int used = 0;
    int sensible = 0;
    forEachEntry(directory_, kEntryBytes, [&](const unsigned char* entry) {
        if (entry[0] == 0x00) {
            return;
        }
        ++used;
        const long start = entry[0x1E] | entry[0x1F] << 8 | static_cast<long>(entry[0x1D]) << 16;
        sensible += knownAttribute(entry[0]) && printableName(entry + 1, 16, true) && start < layout_.clusters &&
                            table_.link(static_cast<int>(start)).kind != LinkKind::Free
                        ? 1
                        : 0;
    });
    Evidence evidence;
    evidence.score = (formatted ? 40 : 0) + 25 * valid / layout_.clusters + (sound == layout_.tableSectors ? 10 : 0) +
                     (used == 0 ? (directory_[0] == 0xFF ? 15 : 0) : 25 * sensible / used);
    evidence.reason = prefix + (formatted ? "allocation table starts 01 8F" : "allocation table does not start 01 8F") +
                      ", " + std::to_string(valid) + " of " + std::to_string(layout_.clusters) +
                      " table entries valid, " + std::to_string(sensible) + " of " + std::to_string(used) +
                      " directory entries sensible";
    return evidence;
}

void HuReader::listEntry(const unsigned char* entry, const NameRules& rules,
                         NamesInFolder& names, ClusterOwners& owners, FileListing& out)
{
    const std::string_view stored(reinterpret_cast<const char*>(entry + 1), 16);
    FileEntry file;
    file.storedNameHex = hexOf(entry + 1, 16);
    file.path = names.unique(safeName(decodeJisX0201(trimmed(stored.substr(0, 13))),
                                      decodeJisX0201(trimmed(stored.substr(13, 3))), rules));
    const int attribute = entry[0];
    file.type = attribute & 0x80   ? "folder"
                : attribute & 0x01 ? "binary"
                : attribute & 0x02 ? "basic"
                : attribute & 0x0C ? "ascii"
                                   : "unknown";
    static const AttributeWord kWords[] = {{0x10, "hidden"}, {0x20, "verify"}, {0x40, "read-only"}};
    attributeWords(attribute, kWords, file.attributes);
    if (entry[0x11] != 0x20) {
        file.attributes.push_back("password");
    }
    file.loadAddress = readU16le(entry + 0x14);
    file.execAddress = readU16le(entry + 0x16);
    file.date = huDate(entry + 0x18);
    owners.paths.push_back(file.path);
    if (attribute == 0x00) {
        file.state = FileState::Deleted;
        out.files.push_back(std::move(file));
        return;
    }
    if (!knownAttribute(attribute)) {
        file.damage.push_back({"attribute no rule reads", "attribute 0x" + hexOf(entry, 1)});
    }
    if (attribute & 0x80) {
        // A subfolder: listed, not entered.
        file.state = FileState::Folder;
        out.files.push_back(std::move(file));
        return;
    }
    const long start = entry[0x1E] | entry[0x1F] << 8 | static_cast<long>(entry[0x1D]) << 16;
    const int size = readU16le(entry + 0x12);
    const int index = static_cast<int>(out.files.size());
    const Chain chain = followChain(table_, static_cast<int>(std::min<long>(start, 1L << 20)), index, owners,
                                    file.damage);
    appendPieces(file, chain, geometry_, size > 0 ? size : -1);
    if (chain.ended && !file.pieces.empty() && !file.pieces.back().placed) {
        file.damage.push_back({"chain ends before the size", "cluster " + std::to_string(chain.clusters.back())});
    }
    settle(file);
    out.files.push_back(std::move(file));
}

void HuReader::list(SectorReader& disk, const NameRules& rules, FileListing& out)
{
    Area tables{AreaKind::AllocationTable, {}};
    Area directory{AreaKind::Directory, {}};
    readSystemSectors(disk, geometry_.disk, layout_.tableSector, layout_.tableSectors, "allocation table",
                      table_.bytes, &tables, &out.damage);
    readSystemSectors(disk, geometry_.disk, layout_.directorySector, kDirectorySectors, "directory", directory_,
                      &directory, &out.damage);
    out.areas = {tables, directory};
    listDirectory(directory_, kEntryBytes, table_, kSectorsPerCluster * kSectorBytes, out,
                  [&](const unsigned char* entry, NamesInFolder& names, ClusterOwners& owners) {
                      listEntry(entry, rules, names, owners, out);
                  });
    out.kind = "hu-basic";
    out.name = std::string("Hu-BASIC ") + layout_.name;
}

}  // namespace

std::vector<std::unique_ptr<FileSystemReader>> huBasicReaders()
{
    std::vector<std::unique_ptr<FileSystemReader>> readers;
    readers.push_back(std::make_unique<HuReader>(HuLayout{"2D", 16, 80, 2, 14, 1, 16}));
    readers.push_back(std::make_unique<HuReader>(HuLayout{"2HD", 26, 250, 3, 28, 2, 32}));
    return readers;
}
