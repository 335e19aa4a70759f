// FAT12 as MS-DOS (PC-98, PC) and MSX-DOS write it on floppies. The boot
// sector (logical sector 0) carries the parameter block:
//
//   offset  size  field
//   0x0B      2   bytes per sector
//   0x0D      1   sectors per cluster
//   0x0E      2   reserved sectors (the boot sector's among them)
//   0x10      1   number of FATs
//   0x11      2   root directory entries
//   0x13      2   total sectors (0: the 32-bit count at 0x20)
//   0x15      1   media byte
//   0x16      2   sectors per FAT
//   0x18      2   sectors per track
//   0x1A      2   heads
//
// Disks whose boot sector lacks one (early PC-98 and MSX disks) are read by
// their media byte, the FAT's first byte, and the sector size, from the
// table of known layouts below. The FAT follows the reserved sectors, its
// copies one after the other, then the root directory, then cluster 2.
// Entry c of the FAT is 12 bits at byte c x 3 / 2: 0 free, 0xFF7 bad,
// 0xFF8-0xFFF last, 0xFF0-0xFF6 reserved, else the next cluster. A
// directory entry is 32 bytes: name 8, extension 3 (first byte 0xE5
// deleted, 0x00 end, 0x05 standing for 0xE5), attributes at 0x0B, the
// case of name and extension at 0x0C (0x08, 0x10: lower case), time at
// 0x16, date at 0x18, start cluster at 0x1A, size at 0x1C (32 bits).
#include "file_system_reader.h"

#include <algorithm>
#include <cctype>

namespace {

struct FatParameters {
    const char* name;
    int sizeCode;  // of the sectors: 2 for 512 bytes, 3 for 1024
    int sectorsPerTrack;
    int heads;
    int sectorsPerCluster;
    int reservedSectors;
    int fats;
    int sectorsPerFat;
    int rootEntries;
    long totalSectors;
    int media;
};

// Layouts by media byte, for boot sectors without a parameter block.
const FatParameters kKnownLayouts[] = {
    {"PC-98 2HD", 3, 8, 2, 1, 1, 2, 2, 192, 1232, 0xFE},
    {"2DD 640 KB", 2, 8, 2, 2, 1, 2, 2, 112, 1280, 0xFB},
    {"2DD 720 KB", 2, 9, 2, 2, 1, 2, 3, 112, 1440, 0xF9},
    {"1DD 360 KB", 2, 9, 1, 2, 1, 2, 2, 112, 720, 0xF8},
    {"1DD 320 KB", 2, 8, 1, 2, 1, 2, 1, 112, 640, 0xFA},
    {"2D 360 KB", 2, 9, 2, 2, 1, 2, 2, 112, 720, 0xFD},
    {"2D 320 KB", 2, 8, 2, 2, 1, 2, 1, 112, 640, 0xFF},
    {"2HD 1.44 MB", 2, 18, 2, 1, 1, 2, 9, 224, 2880, 0xF0},
};

// No floppy of the field holds more than this; a parameter block that says
// more is not believed.
constexpr long kMostBytes = 4L << 20;
constexpr int kMaxClusters = 4084;
constexpr int kEntryBytes = 32;
constexpr int kMaxDepth = 16;

class FatTable final : public ClusterTable {
public:
    int firstCluster() const override { return 2; }
    int clusterCount() const override { return clusters + 2; }
    Link link(int cluster) const override
    {
        const int v = entry(cluster);
        if (v == 0) {
            return {LinkKind::Free, 0};
        }
        if (v >= 0xFF8) {
            return {LinkKind::Last, 0};
        }
        if (v == 0xFF7) {
            return {LinkKind::Bad, v};
        }
        if (v >= 0xFF0) {
            return {LinkKind::Reserved, v};
        }
        return v == 1 ? Link{LinkKind::Invalid, v} : Link{LinkKind::Next, v};
    }
    int entry(int cluster) const { return entryOf(bytes, cluster); }
    static int entryOf(const std::vector<unsigned char>& table, int cluster)
    {
        const std::size_t at = static_cast<std::size_t>(cluster) * 3 / 2;
        if (at + 1 >= table.size()) {
            return 0;
        }
        const int pair = table[at] | table[at + 1] << 8;
        return cluster & 1 ? pair >> 4 : pair & 0xFFF;
    }

    std::vector<unsigned char> bytes;
    int clusters = 0;
};

int power(int v) { return v > 0 && (v & (v - 1)) == 0; }

// The parameter block of a boot sector read with size code n, if it
// describes a layout this reader can read.
bool parameterBlock(const unsigned char* boot, int n, FatParameters& p)
{
    const int bytesPerSector = readU16le(boot + 0x0B);
    p = {"", n, readU16le(boot + 0x18), readU16le(boot + 0x1A), boot[0x0D], readU16le(boot + 0x0E), boot[0x10],
         readU16le(boot + 0x16), readU16le(boot + 0x11), readU16le(boot + 0x13), boot[0x15]};
    if (p.totalSectors == 0) {
        p.totalSectors = static_cast<long>(readU32le(boot + 0x20) & 0x7FFFFFFF);
    }
    return bytesPerSector == 128 << n && power(p.sectorsPerCluster) && p.reservedSectors >= 1 &&
           p.reservedSectors <= 64 && p.fats >= 1 && p.fats <= 2 && p.sectorsPerFat >= 1 && p.sectorsPerFat <= 16 &&
           p.rootEntries >= 16 && p.rootEntries <= 1024 && p.media >= 0xF0 && p.sectorsPerTrack >= 1 &&
           p.sectorsPerTrack <= 64 && (p.heads == 1 || p.heads == 2) && p.totalSectors >= 16 &&
           p.totalSectors * bytesPerSector <= kMostBytes;
}

bool validShortName(const unsigned char* entry)
{
    for (int i = 0; i < 11; ++i) {
        const unsigned char b = entry[i];
        if (b < 0x20 && !(i == 0 && b == 0x05)) {
            return false;
        }
    }
    return printableName(entry, 11, true) || entry[0] == 0x05 || entry[0] == 0xE5;
}

std::string fatDate(int date, int time)
{
    const int day = date & 31;
    const int month = date >> 5 & 15;
    if (date == 0 || day == 0 || month == 0 || month > 12) {
        return "";
    }
    return std::to_string(1980 + (date >> 9)) + "-" + twoDigits(month) + "-" + twoDigits(day) + " " +
           twoDigits(time >> 11) + ":" + twoDigits(time >> 5 & 63) + ":" + twoDigits((time & 31) * 2);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class FatReader final : public FileSystemReader {
public:
    Evidence examine(SectorReader& disk) override;
    void list(SectorReader& disk, const NameRules& rules, FileListing& out) override;

private:
    long clusterBytes() const { return static_cast<long>(p_.sectorsPerCluster) * (128L << p_.sizeCode); }
    long rootSector() const { return p_.reservedSectors + static_cast<long>(p_.fats) * p_.sectorsPerFat; }
    int rootSectors() const { return (p_.rootEntries * kEntryBytes + (128 << p_.sizeCode) - 1) / (128 << p_.sizeCode); }
    bool settleLayout();
    int readTables(SectorReader& disk, Area* area, std::vector<Damage>* damage);
    void listFolder(SectorReader& disk, const std::vector<unsigned char>& entries, const std::string& prefix,
                    int depth, const NameRules& rules, FileListing& out);
    void listEntry(SectorReader& disk, const unsigned char* entry, const std::string& prefix, NamesInFolder& names,
                   int depth, const NameRules& rules, FileListing& out);

    FatParameters p_{};
    BlockGeometry disk_{};
    ClusterGeometry geometry_{};
    FatTable table_;
    std::vector<int> disagreeing_;
    std::unique_ptr<ClusterOwners> owners_;
    Area directory_{AreaKind::Directory, {}};
    long folderSectorsLeft_ = 0;
};

bool FatReader::settleLayout()
{
    const long dataSectors = p_.totalSectors - rootSector() - rootSectors();
    if (dataSectors <= 0) {
        return false;
    }
    // Clusters past what the FAT has entries for are not used (mtools
    // formats some such disks).
    const long entriesHeld = static_cast<long>(p_.sectorsPerFat) * (128L << p_.sizeCode) * 2 / 3;
    table_.clusters = static_cast<int>(
        std::min<long>({dataSectors / p_.sectorsPerCluster, kMaxClusters, entriesHeld - 2}));
    if (table_.clusters < 1) {
        return false;
    }
    // The disk's tracks: enough for its sectors, within the D88 track table.
    const long perCylinder = static_cast<long>(p_.sectorsPerTrack) * p_.heads;
    const long cylinders = std::min<long>((p_.totalSectors + perCylinder - 1) / perCylinder, 255);
    disk_ = BlockGeometry::uniform(static_cast<int>(cylinders), p_.heads, p_.sectorsPerTrack, p_.sizeCode);
    geometry_ = {disk_, rootSector() + rootSectors(), 2, p_.sectorsPerCluster};
    return disk_.valid() && disk_.sectorCount() >= p_.totalSectors;
}

// Reads the FAT copies into the table: each sector from the first copy that
// read it soundly. Returns the sound sectors of the first copy.
int FatReader::readTables(SectorReader& disk, Area* area, std::vector<Damage>* damage)
{
    std::vector<std::vector<unsigned char>> copies(static_cast<std::size_t>(p_.fats));
    std::vector<std::vector<bool>> sound(static_cast<std::size_t>(p_.fats));
    const int sectorBytes = 128 << p_.sizeCode;
    int firstSound = 0;
    for (int k = 0; k < p_.fats; ++k) {
        std::vector<unsigned char>& copy = copies[static_cast<std::size_t>(k)];
        for (int s = 0; s < p_.sectorsPerFat; ++s) {
            std::vector<unsigned char> sector;
            const long at = p_.reservedSectors + static_cast<long>(k) * p_.sectorsPerFat + s;
            const bool ok = readSystemSectors(disk, disk_, at, 1, "FAT", sector, area, damage) == 1;
            sound[static_cast<std::size_t>(k)].push_back(ok);
            copy.insert(copy.end(), sector.begin(), sector.end());
            firstSound += k == 0 && ok ? 1 : 0;
        }
    }
    table_.bytes = copies[0];
    for (int s = 0; s < p_.sectorsPerFat; ++s) {
        for (int k = 0; k < p_.fats; ++k) {
            if (sound[static_cast<std::size_t>(k)][static_cast<std::size_t>(s)]) {
                std::copy_n(copies[static_cast<std::size_t>(k)].begin() + s * sectorBytes, sectorBytes,
                            table_.bytes.begin() + s * sectorBytes);
                break;
            }
        }
    }
    disagreeing_.clear();
    if (p_.fats == 2) {
        for (int c = 0; c < table_.clusters + 2; ++c) {
            const std::size_t s = static_cast<std::size_t>(c * 3 / 2 / sectorBytes);
            const std::size_t t = static_cast<std::size_t>((c * 3 / 2 + 1) / sectorBytes);
            const bool bothSound = s < sound[0].size() && t < sound[0].size() && sound[0][s] && sound[1][s] &&
                                   sound[0][t] && sound[1][t];
            if (bothSound && FatTable::entryOf(copies[0], c) != FatTable::entryOf(copies[1], c)) {
                disagreeing_.push_back(c);
            }
        }
    }
    return firstSound;
}

Evidence FatReader::examine(SectorReader& disk)
{
    Evidence evidence;
    evidence.reason = "FAT12: no boot sector with a parameter block, and no FAT of a known media byte";
    for (const int n : {3, 2}) {
        unsigned char boot[1024] = {};
        // Track 0's first two sectors, of the size code tried.
        const SectorPlace bootPlace = placeOf(BlockGeometry::uniform(1, 1, 2, n), 0);
        const SectorRead read = disk.read(bootPlace, boot, 128 << n);
        if (read.copied < 128 << n) {
            continue;
        }
        bool fromBlock = parameterBlock(boot, n, p_) && settleLayout();
        if (fromBlock) {
            p_.name = "";
        } else {
            // No parameter block: the first FAT's media byte says the layout.
            unsigned char fat[1024] = {};
            if (disk.read(placeOf(BlockGeometry::uniform(1, 1, 2, n), 1), fat, 128 << n).copied < 3) {
                continue;
            }
            const FatParameters* known = nullptr;
            for (const FatParameters& layout : kKnownLayouts) {
                if (layout.sizeCode == n && layout.media == fat[0]) {
                    known = &layout;
                    break;
                }
            }
            if (known == nullptr) {
                continue;
            }
            p_ = *known;
            if (!settleLayout()) {
                continue;
            }
        }
        if (readTables(disk, nullptr, nullptr) == 0) {
            continue;
        }
        const bool marks = table_.bytes[0] == p_.media && table_.bytes[1] == 0xFF && table_.bytes[2] == 0xFF;
        std::vector<unsigned char> root;
        readSystemSectors(disk, disk_, rootSector(), rootSectors(), "root directory", root, nullptr, nullptr);
        int used = 0;
        int sensible = 0;
        for (std::size_t at = 0; at + kEntryBytes <= root.size() && root[at] != 0; at += kEntryBytes) {
            const unsigned char* entry = root.data() + at;
            if (entry[0] == 0xE5 || entry[0x0B] == 0x0F) {
                continue;
            }
            ++used;
            const int start = readU16le(entry + 0x1A);
            sensible += validShortName(entry) && (start == 0 || (start >= 2 && start < table_.clusters + 2)) ? 1 : 0;
        }
        const int directory = used == 0 ? (root.empty() || root[0] == 0 ? 15 : 0) : 25 * sensible / used;
        evidence.score = (fromBlock ? 40 : 25) + (marks ? 35 : 0) + directory;
        char media[8];
        std::snprintf(media, sizeof media, "0x%02X", p_.media);
        evidence.reason = std::string("FAT12: ") +
                          (fromBlock ? "boot sector's parameter block" : std::string("no parameter block; ") + p_.name +
                                                                             " by its media byte") +
                          ", media " + media + (marks ? ", FAT starts with it" : ", FAT does not start with it") +
                          ", " + std::to_string(sensible) + " of " + std::to_string(used) + " root entries sensible";
        return evidence;
    }
    return evidence;
}

void FatReader::listEntry(SectorReader& disk, const unsigned char* entry, const std::string& prefix,
                          NamesInFolder& names, int depth, const NameRules& rules, FileListing& out)
{
    FileEntry file;
    file.storedNameHex = hexOf(entry, 11);
    std::string stored(reinterpret_cast<const char*>(entry), 11);
    const bool deleted = entry[0] == 0xE5;
    if (entry[0] == 0x05) {
        stored[0] = static_cast<char>(0xE5);
    }
    std::string name = decodeShiftJisName(trimmed(std::string_view(stored).substr(0, 8)), rules);
    std::string extension = decodeShiftJisName(trimmed(std::string_view(stored).substr(8, 3)), rules);
    if (deleted && !name.empty()) {
        name = "_" + decodeShiftJisName(trimmed(std::string_view(stored).substr(1, 7)), rules);
    }
    if (entry[0x0C] & 0x08) {
        name = lowered(name);
    }
    if (entry[0x0C] & 0x10) {
        extension = lowered(extension);
    }
    file.path = prefix + names.unique(safeName(name, extension, rules));
    const int attribute = entry[0x0B];
    const bool folder = attribute & 0x10;
    file.type = folder ? "folder" : "file";
    static const AttributeWord kWords[] = {{0x01, "read-only"}, {0x02, "hidden"}, {0x04, "system"}, {0x20, "archive"}};
    attributeWords(attribute, kWords, file.attributes);
    file.date = fatDate(readU16le(entry + 0x18), readU16le(entry + 0x16));
    const int index = static_cast<int>(out.files.size());
    owners_->paths.push_back(file.path);
    if (deleted) {
        file.state = FileState::Deleted;
        out.files.push_back(std::move(file));
        return;
    }
    const int start = readU16le(entry + 0x1A);
    if (folder) {
        file.state = FileState::Folder;
        const std::size_t sharesBefore = owners_->shares.size();
        const Chain chain = followChain(table_, start, index, *owners_, file.damage);
        // A folder whose chain is broken is read as far as it goes; one that
        // shares a cluster (its own parent's, say) is not entered, so that no
        // folder is read twice.
        const bool shared = owners_->shares.size() != sharesBefore;
        const bool entered = !chain.clusters.empty() && !shared && depth < kMaxDepth;
        if (!entered && depth >= kMaxDepth) {
            file.damage.push_back({"folders nested too deep", file.path});
        }
        std::vector<unsigned char> entries;
        if (entered) {
            for (const int cluster : chain.clusters) {
                const long sectors = std::min<long>(p_.sectorsPerCluster, folderSectorsLeft_);
                folderSectorsLeft_ -= sectors;
                std::vector<unsigned char> bytes;
                readSystemSectors(disk, disk_, geometry_.sectorOf(cluster, 0), static_cast<int>(sectors),
                                  "folder", bytes, &directory_, &out.damage);
                entries.insert(entries.end(), bytes.begin(), bytes.end());
            }
        }
        const std::string inside = file.path + "/";
        out.files.push_back(std::move(file));
        if (entered) {
            listFolder(disk, entries, inside, depth + 1, rules, out);
        }
        return;
    }
    long long size = readU32le(entry + 0x1C);
    const long long most = static_cast<long long>(table_.clusters) * clusterBytes();
    if (size > most) {
        file.damage.push_back({"size larger than the disk", std::to_string(size) + " bytes"});
        size = most;
    }
    if (size > 0) {
        const Chain chain = followChain(table_, start, index, *owners_, file.damage);
        appendPieces(file, chain, geometry_, size);
        const long long needed = (size + clusterBytes() - 1) / clusterBytes();
        if (chain.ended && static_cast<long long>(chain.clusters.size()) < needed) {
            file.damage.push_back({"chain ends before the size", "cluster " + std::to_string(chain.clusters.back())});
        } else if (static_cast<long long>(chain.clusters.size()) > needed) {
            file.damage.push_back({"chain longer than the size",
                                   "cluster " + std::to_string(chain.clusters[static_cast<std::size_t>(needed)])});
        }
    }
    settle(file);
    out.files.push_back(std::move(file));
}

void FatReader::listFolder(SectorReader& disk, const std::vector<unsigned char>& entries, const std::string& prefix,
                           int depth, const NameRules& rules, FileListing& out)
{
    NamesInFolder names;
    for (std::size_t at = 0; at + kEntryBytes <= entries.size(); at += kEntryBytes) {
        const unsigned char* entry = entries.data() + at;
        if (entry[0] == 0x00) {
            return;
        }
        const int attribute = entry[0x0B];
        // Long names, the volume label, and a folder's "." and "..".
        if (attribute == 0x0F || (attribute & 0x08) || entry[0] == '.') {
            continue;
        }
        listEntry(disk, entry, prefix, names, depth, rules, out);
    }
}

void FatReader::list(SectorReader& disk, const NameRules& rules, FileListing& out)
{
    Area system{AreaKind::System, {}};
    Area tables{AreaKind::AllocationTable, {}};
    directory_ = {AreaKind::Directory, {}};
    std::vector<unsigned char> reserved;
    readSystemSectors(disk, disk_, 0, p_.reservedSectors, "boot", reserved, &system, &out.damage);
    readTables(disk, &tables, &out.damage);
    if (!disagreeing_.empty()) {
        out.damage.push_back({"FAT copies disagree", clusterList(disagreeing_)});
    }
    std::vector<unsigned char> root;
    readSystemSectors(disk, disk_, rootSector(), rootSectors(), "root directory", root, &directory_, &out.damage);
    owners_ = std::make_unique<ClusterOwners>(table_.clusters + 2);
    folderSectorsLeft_ = p_.totalSectors;
    listFolder(disk, root, "", 0, rules, out);
    nameSharedClusters(*owners_, out.files);
    out.areas = {system, tables, directory_};
    out.freeBytes = static_cast<std::uint64_t>(freeClusters(table_)) * static_cast<std::uint64_t>(clusterBytes());
    out.kind = "fat12";
    out.name = std::string("FAT12 ") + (p_.name[0] != 0 ? p_.name : "") ;
    if (p_.name[0] == 0) {
        out.name = "FAT12 " + std::to_string(p_.totalSectors * (128L << p_.sizeCode) / 1024) + " KiB";
    }
}

}  // namespace

std::unique_ptr<FileSystemReader> fat12Reader() { return std::make_unique<FatReader>(); }
