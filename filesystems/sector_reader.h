// The sectors a file system reads, through the block layer: each found by
// its place (the track and the ID sought), each read giving its bytes and
// what is wrong with them in one word. File systems number their sectors
// logically under a geometry; placeOf turns such a number into its place.
#ifndef FILESYSTEMS_SECTOR_READER_H
#define FILESYSTEMS_SECTOR_READER_H

#include "block_disk.h"

#include <d88image/d88image.h>

// What is wrong with one sector a file needs, the first of these that
// applies.
enum class SectorFault : unsigned char {
    None,
    Missing,    // no record of that ID on the track, or none of its bytes in the file
    Short,      // the file holds fewer of its bytes than its size code says
    BadStatus,  // the drive reported an error when the disk was dumped
    Deleted,    // the deleted-data mark
};

// "", "missing", "short", "bad-status", "deleted".
const char* faultName(SectorFault fault);

// One read: the bytes copied into the caller's buffer (the rest of the
// sector is lacking) and the sector's fault.
struct SectorRead {
    int copied;
    SectorFault fault;
    std::uint64_t position = 0;  // in the file, of the record read; 0 when none was found
};

class SectorReader {
public:
    // Reads the sector at place into dest, at most max bytes.
    virtual SectorRead read(const SectorPlace& place, unsigned char* dest, int max) = 0;

protected:
    ~SectorReader() = default;
};

// The current disk of an open reader through the block layer, each sector
// found by its ID as the reader's readSector finds it.
class BlockSectors final : public SectorReader {
public:
    explicit BlockSectors(D88Image& image);
    SectorRead read(const SectorPlace& place, unsigned char* dest, int max) override;

private:
    BlockDisk disk_;
};

// The place of logical sector k under geometry; a place on no track (-1),
// which reads as missing, for k outside the disk.
SectorPlace placeOf(const BlockGeometry& geometry, long long k);

#endif
