// Where each byte of the scan buffer came from, so that a file found there
// can be traced to the records of the disk. As the reader's observer while
// a disk is laid in (the scanning cutter makes it so when given one), it is
// told of each sector read in turn, and laying-in puts each sector's bytes
// right after the last one's.
#ifndef SCANCUT_BUFFER_LAYOUT_H
#define SCANCUT_BUFFER_LAYOUT_H

#include <d88image/d88image.h>

#include <cstdint>
#include <vector>

class BufferLayout final : public ReadObserver {
public:
    // Bytes of the buffer that came from one record.
    struct Piece {
        int offset;  // in the buffer
        int bytes;
        int disk;
        int track;
        SectorId id;
        std::uint64_t position;  // the record's, in the file
        int from;                // where in the record's data the first byte lies
    };

    // Nothing laid in: a new image.
    void clear();
    // Disk disk is laid in from the buffer's first byte on; beyond its end
    // the buffer keeps what the disks before it left.
    void beginDisk(int disk);
    void sectorRead(int track, SectorId id, const SectorRecord* found, int copied) override;

    // The pieces that hold bytes from..from+size of the buffer, in buffer
    // order, each cut to that range. Bytes no sector gave have none.
    std::vector<Piece> piecesOf(int from, int size) const;

private:
    std::vector<Piece> laid_;   // the current disk's, in buffer order
    std::vector<Piece> under_;  // the buffer as the disks before left it
    int disk_ = 0;
    int end_ = 0;  // where the current disk's data ends
};

#endif
