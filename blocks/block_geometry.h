// How a disk is laid out as logical sectors: cylinders x heads tracks in
// track order (cylinder, then head: track index t = cylinder x heads +
// head), each track holding its sectors numbered from a first R in
// ascending order, all of one size code. Track 0 may have a layout of its
// own, as 2HD disks of 26 sectors whose track 0 holds 26 sectors of 128
// bytes in single density. Logical sector k is the k-th sector in that
// order, and its bytes lie at sectorOffset(k) of a raw image of the disk.
#ifndef BLOCKS_BLOCK_GEOMETRY_H
#define BLOCKS_BLOCK_GEOMETRY_H

#include <cstdint>
#include <string>

struct TrackLayout {
    int sectors = 0;
    int sizeCode = 0;     // N: sectors of 128 << N bytes
    bool single = false;  // recorded in single density (FM)
    bool operator==(const TrackLayout& other) const
    {
        return sectors == other.sectors && sizeCode == other.sizeCode && single == other.single;
    }
};

struct BlockGeometry {
    int cylinders = 0;
    int heads = 0;
    TrackLayout track;       // every track but track 0
    TrackLayout firstTrack;  // track 0
    int firstR = 1;          // R of each track's first sector

    // The same layout on every track.
    static BlockGeometry uniform(int cylinders, int heads, int sectors, int sizeCode, int firstR = 1);

    // Whether every figure is one a disk of the field can have: 1..255
    // cylinders, 1 or 2 heads, at most 164 tracks (the D88 track table),
    // 1..255 sectors of size codes 0..7 per track, R from firstR to the last
    // sector within 0..255. Every other call assumes it.
    bool valid() const;

    int tracks() const { return cylinders * heads; }
    const TrackLayout& layout(int t) const { return t == 0 ? firstTrack : track; }
    int sectorBytes(int t) const { return 128 << layout(t).sizeCode; }
    std::uint64_t trackBytes(int t) const;
    std::uint64_t totalBytes() const;  // of a raw image of the disk
    long long sectorCount() const;
    bool operator==(const BlockGeometry& other) const;
};

// Where logical sector k lies: its track, its place in the track, the ID it
// is sought by (C and H as the track's place says) and its raw offset.
struct SectorPlace {
    int track = 0;
    int index = 0;
    int c = 0, h = 0, r = 0, n = 0;
    std::uint64_t offset = 0;
};

// The place of logical sector k, or false when k is outside 0..sectorCount()-1.
bool locateSector(const BlockGeometry& geometry, long long k, SectorPlace& place);

// The size code of a sector of bytes bytes (128, 256, ... 16384), or -1.
int sizeCodeOf(int bytes);

// "40 x 2 x 16 x 256", with the first track's layout after it where it
// differs ("77 x 2 x 26 x 256, track 0 26 x 128 FM").
std::string geometryWords(const BlockGeometry& geometry);

#endif
