// A disk of a D88 image seen as logical sectors under a geometry (see
// block_geometry.h): what a raw image of the disk holds and what a file
// system reads. Each read fills the caller's sector with the bytes the
// image holds for it and zeros where it holds none, and says where the
// bytes came from: the record found, how many of its bytes the file holds,
// and what was wrong with it. Nothing of the image is trusted: a sector
// that is not there, lies past the end of the file, has another size or a
// data length other than its size code's is still read, as zeros where the
// image has no bytes for it, and flagged.
//
// A logical sector is sought on its track by R and the geometry's size
// code; a record whose C and H are those of the track's place is preferred,
// else the first of that number and size (C and H are only bytes of an
// ID); a record of the number but of another size is named but not read.
#ifndef BLOCKS_BLOCK_DISK_H
#define BLOCKS_BLOCK_DISK_H

#include "block_geometry.h"
#include "track_records.h"

#include <d88image/d88image.h>

#include <cstddef>

// What was wrong with a sector read, one bit each.
enum SectorFlag : unsigned {
    kSectorMissing = 1u << 0,      // no record of the number on the track: all zeros
    kSectorCutShort = 1u << 1,     // the file ends inside (or before) the record's data: the rest zeros
    kSectorOtherSize = 1u << 2,    // the record has another size code: not read, all zeros
    kSectorOtherLength = 1u << 3,  // its data length is not 128 << N: fewer bytes (zeros after) or some left out
    kSectorBadStatus = 1u << 4,    // the dump's read of it failed (status neither 0 nor 0x10)
    kSectorDeleted = 1u << 5,      // it carries the deleted-data mark (or the status that says so)
    kSectorDuplicate = 1u << 6,    // the track has another record of its ID
};

// Where a sector's bytes came from.
struct SectorSource {
    int track = 0;
    SectorId sought{};          // the ID looked for
    bool found = false;         // a record numbered so was found: record is it
    SectorRecord record{};
    int held = 0;               // bytes of the sector taken from the file; the rest of it is zeros
    unsigned flags = 0;         // SectorFlag bits; 0 when the file holds the sector exactly
    bool exact() const { return flags == 0; }
};

class BlockDisk {
public:
    // Reads the reader's current disk under geometry, which must be valid();
    // the reader must keep that disk current while this object is used.
    BlockDisk(D88Image& reader, const BlockGeometry& geometry) : reader_(reader), geometry_(geometry) {}

    const BlockGeometry& geometry() const { return geometry_; }

    // Reads logical sector k into dest, which has room for capacity bytes:
    // min(capacity, the sector's size) bytes are written. For k outside the
    // disk, nothing is written and the source says missing.
    SectorSource read(long long k, unsigned char* dest, std::size_t capacity);

    // Reads the first record of track whose ID is id, as the reader's
    // readSector finds it, into dest (min(capacity, 128 << N) bytes, zeros
    // where the file holds none).
    SectorSource readById(int track, SectorId id, unsigned char* dest, std::size_t capacity);

    // The records of track, walked once for all its sectors.
    const TrackRecords& records(int track);

private:
    struct Span {
        std::size_t nominal;  // 128 << N of the ID sought
        std::size_t size;     // of it, the bytes the caller has room for
    };
    SectorSource take(int track, SectorId sought, int index, unsigned char* dest, Span span);

    D88Image& reader_;
    BlockGeometry geometry_;
    TrackRecords records_;
};

#endif
