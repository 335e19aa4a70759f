// A deliberately plain D88 reader over a whole file held in memory, for the
// tests and the fuzzers only: it follows the reading rules step by step with
// no window, no stream and no cleverness, so that the product reader can be
// compared with it operation by operation.
#ifndef ORACLES_REFERENCE_READER_H
#define ORACLES_REFERENCE_READER_H

#include <cstdint>
#include <cstddef>
#include <string>
#include <vector>

namespace d88ref {

using Bytes = std::vector<unsigned char>;

struct Record {
    std::uint64_t position;
    unsigned char c, h, r, n;
    int count, density, deleted, status, length;
};

// Walk ends, numbered as the product's WalkEnd.
enum class End { Unusable, Count, ZeroCount, EndOfFile, Limit, Stopped };

class ReferenceReader {
public:
    // The file's size bytes from data, which must outlive the reader.
    ReferenceReader(const unsigned char* data, std::size_t size);

    int diskCount() const { return static_cast<int>(disks_.size()); }
    std::uint64_t diskOffset(int index) const;
    bool selectDisk(int index);
    std::string diskName() const { return name_; }
    int mediaType() const { return media_; }
    int writeProtect() const { return protect_; }
    std::uint32_t diskSize() const { return diskSize_; }
    std::uint32_t trackOffset(int track) const;

    int readSector(int track, int c, int h, int r, int n, unsigned char* dest, int max) const;
    int readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total, int& copied) const;
    void setSectorRange(int first, int last);
    int listSectorIds(int track, unsigned char* out, int capacity) const;
    // The records readSector's walk reads, the one whose count 0 ends it
    // included, and why it ends.
    End walkTrack(int track, std::vector<Record>& records) const;

private:
    bool has(std::uint64_t position, std::uint64_t count) const;
    unsigned byteAt(std::uint64_t position) const { return data_[position]; }
    unsigned u16(std::uint64_t position) const;
    std::uint32_t u32(std::uint64_t position) const;
    bool usable(int track, std::uint64_t& start) const;
    Record recordAt(std::uint64_t position) const;

    const unsigned char* data_;
    std::size_t size_ = 0;
    std::vector<std::uint64_t> disks_;
    int first_ = 1;
    int last_ = 16;
    long long current_ = -1;
    std::uint32_t diskSize_ = 0;
    int media_ = -1;
    int protect_ = -1;
    std::string name_;
    std::vector<std::uint32_t> tracks_ = std::vector<std::uint32_t>(164, 0);
};

}  // namespace d88ref

#endif
