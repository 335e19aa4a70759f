// Split and join: the disks of a D88 file as the byte ranges they are
// stored in, found as the reader indexes them (each header's disk size is
// the distance to the next), and whether a file's disks fill it exactly, so
// that files can be joined back to back and be indexed again as they were.
#ifndef CONVERT_DISK_SETS_H
#define CONVERT_DISK_SETS_H

#include "byte_sink.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class D88Image;

struct DiskRange {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;  // the bytes the file holds of it
    bool cutShort = false;   // the file ends before its disk size does
};

struct SetLayout {
    std::vector<DiskRange> disks;
    // A disk size of 0 names the same header again: the disks end at the
    // first such, which runs to the end of the file.
    bool zeroSize = false;
    std::uint64_t trailing = 0;  // bytes after the last disk's end
    // Whether the disks fill the file exactly, each whole.
    bool exact() const;
};

// The layout of the file the reader has open, of size bytes.
SetLayout setLayout(D88Image& reader, std::uint64_t size);

// Where bytes are read from by position: a file, or memory.
class ByteSource {
public:
    // Copies up to count bytes from position; returns how many there were.
    virtual std::size_t read(std::uint64_t position, unsigned char* dest, std::size_t count) = 0;

protected:
    ~ByteSource() = default;
};

// Copies size bytes from offset of source to sink, 64 KiB at a time; false
// when the source holds fewer.
bool copyBytes(ByteSource& source, std::uint64_t offset, std::uint64_t size, ByteSink& sink);

#endif
