// The sectors a file system reads, found by their recorded ID, each read
// saying where its bytes came from and what is wrong with them. File systems
// number their sectors logically (sector k of the disk, counted track side
// by track side); a LogicalLayout turns such a number into the track and
// the ID to look for.
#ifndef FILESYSTEMS_SECTOR_SOURCE_H
#define FILESYSTEMS_SECTOR_SOURCE_H

#include <d88image/d88image.h>

// Where a sector is looked for: the track table's index and the ID sought.
struct SectorPlace {
    int track;
    SectorId id;
};

// What is wrong with one sector a file needs, the first of these that
// applies (as the survey judges records).
enum class SectorFault : unsigned char {
    None,
    Missing,    // no record of that ID on the track, or the file ends before its data
    Short,      // the record holds fewer bytes than its size code says
    BadStatus,  // the drive reported an error when the disk was dumped
    Deleted,    // the deleted-data mark
};

// "", "missing", "short", "bad-status", "deleted".
const char* faultName(SectorFault fault);

// One read: the bytes copied into the caller's buffer (the rest of the
// sector's nominal size is lacking) and the sector's fault.
struct SectorRead {
    int copied;
    SectorFault fault;
};

class SectorSource {
public:
    // Reads the sector at place into dest, at most max bytes; never more
    // than the record holds.
    virtual SectorRead read(const SectorPlace& place, unsigned char* dest, int max) = 0;

protected:
    ~SectorSource() = default;
};

// The current disk of an open reader, read as readSector finds sectors.
class ImageSectors final : public SectorSource {
public:
    explicit ImageSectors(D88Image& image) : image_(image) {}
    SectorRead read(const SectorPlace& place, unsigned char* dest, int max) override;

private:
    D88Image& image_;
};

// Logical sector k of a disk of sectorsPerTrack sectors a side, numbered
// from 1, all of size code sizeCode, on heads sides: track side k /
// sectorsPerTrack, whose track-table index is cylinder x 2 + head (the
// D88 convention, one-sided disks included).
struct LogicalLayout {
    int sectorsPerTrack;
    int heads;
    int sizeCode;

    int sectorBytes() const { return 128 << sizeCode; }
    SectorPlace place(long k) const;
};

#endif
