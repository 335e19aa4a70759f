// Builds disks that hold a file system, for the file-system tests: a disk
// seen as logical sectors (as file systems number them) made into a D88
// disk with chosen sectors damaged, a raw image (as mtools writes one) made
// into one, and small volumes of N88-BASIC, Hu-BASIC and F-BASIC whose directory,
// allocation table and files with chosen clusters each take a line.
#ifndef ORACLES_FILE_SYSTEM_BUILDER_H
#define ORACLES_FILE_SYSTEM_BUILDER_H

#include "image_builder.h"

#include <map>
#include <string>
#include <vector>

namespace d88build {

// Logical sector k is R k % sectorsPerTrack + 1 of track side
// k / sectorsPerTrack, whose track-table index is C x 2 + H.
class SectorImage {
public:
    SectorImage(int cylinders, int heads, int sectorsPerTrack, int sizeCode, unsigned char fill);
    int sectorBytes() const { return 128 << sizeCode_; }
    long sectors() const { return static_cast<long>(cylinders_) * heads_ * sectorsPerTrack_; }
    // Bytes from the start of logical sector k on, across sectors.
    void write(long k, const Bytes& data, std::size_t offset = 0);
    Bytes read(long k, std::size_t size) const;

    // Damage: the record left out, its status, the deleted-data mark, its
    // data cut to bytes (the length field says so).
    void drop(long k) { dropped_[k] = true; }
    void status(long k, int value) { status_[k] = value; }
    void deletedMark(long k) { deleted_[k] = true; }
    void cut(long k, int bytes) { cut_[k] = bytes; }
    // Track side 0 written as sectors of another size code and density
    // (N88-BASIC 2HD: 26 x 128 bytes, single density).
    void firstTrack(int sizeCode, int density) { firstSizeCode_ = sizeCode, firstDensity_ = density; }

    // The D88 disk; with only, just those track-table indexes.
    Disk disk(int media, const std::vector<int>& only = {}) const;

    static SectorImage fromRaw(const Bytes& raw, int heads, int sectorsPerTrack, int sizeCode);

private:
    int cylinders_;
    int heads_;
    int sectorsPerTrack_;
    int sizeCode_;
    int firstSizeCode_ = -1;
    int firstDensity_ = 0;
    Bytes bytes_;
    std::map<long, bool> dropped_;
    std::map<long, int> status_;
    std::map<long, bool> deleted_;
    std::map<long, int> cut_;
};

// An N88-BASIC volume, formatted: "2D", "2DD" or "2HD".
class N88Volume {
public:
    explicit N88Volume(const std::string& layout);
    // A file over clusters, the last using lastUsed sectors, its data
    // pattern(seed); its directory entry the next one. Returns its bytes.
    Bytes file(const std::string& name9, int attribute, const std::vector<int>& clusters, int lastUsed,
               std::uint32_t seed);
    // Writes a raw 16-byte entry as the next one.
    void entry(const Bytes& raw);
    // Sets a cluster's entry in every copy of the table, or in copy only.
    void link(int cluster, int value, int copy = -1);
    long sectorOf(int cluster, int index) const { return static_cast<long>(cluster) * perCluster_ + index; }
    SectorImage image;
    int media;

private:
    long systemSector(int r) const { return static_cast<long>(systemTrack_) * perTrack_ + r - 1; }
    int perTrack_;
    int perCluster_;
    int systemTrack_;
    int directorySectors_;
    int entries_ = 0;
};

// A Hu-BASIC volume, formatted: "2D" or "2HD".
class HuVolume {
public:
    explicit HuVolume(const std::string& layout);
    // A file over clusters whose last sector used in the last cluster is
    // lastIndex; size the size field (0: none); its data pattern(seed).
    // Returns the bytes the file holds: size of them, or the sectors up to
    // the last used one.
    Bytes file(const std::string& name13, const std::string& ext3, int attribute, const std::vector<int>& clusters,
               int lastIndex, int size, std::uint32_t seed, const Bytes& date = {});
    void link(int cluster, int value);
    // Writes a raw 32-byte entry as the next one.
    void entry(const Bytes& raw);
    long sectorOf(int cluster, int index) const { return static_cast<long>(cluster) * 16 + index; }
    SectorImage image;
    int media;

private:
    bool twoSectorTable_;
    long tableSector_;
    long directorySector_;
    int entries_ = 0;
};

// An F-BASIC volume, formatted: "2D" or "2DD".
class FVolume {
public:
    explicit FVolume(const std::string& layout);
    // A file over clusters, the last using lastUsed sectors, of type (0
    // BASIC, 1 data, 2 machine code), ASCII or not; its data pattern(seed).
    // Returns its bytes.
    Bytes file(const std::string& name8, int type, bool ascii, const std::vector<int>& clusters, int lastUsed,
               std::uint32_t seed);
    void link(int cluster, int value);
    long sectorOf(int cluster, int index) const { return 64 + static_cast<long>(cluster) * perCluster_ + index; }
    SectorImage image;
    int media;

private:
    int perCluster_;
    int entries_ = 0;
};

}  // namespace d88build

#endif
