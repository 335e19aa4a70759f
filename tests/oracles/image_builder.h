// Builds D88 images in memory, for tests and sample images: disks, tracks
// and sector records with explicit ID bytes, counts, lengths and data, plus
// overrides that make an image damaged on purpose.
#ifndef ORACLES_IMAGE_BUILDER_H
#define ORACLES_IMAGE_BUILDER_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace d88build {

using Bytes = std::vector<unsigned char>;

struct Record {
    int c;
    int h;
    int r;
    int n;
    int count;            // sector-count field
    Bytes data;
    int lengthField = -1; // data-length field; -1 takes data.size()
    int density = 0;
    int deleted = 0;
    int status = 0;
};

// Deterministic pseudo-random bytes; different seeds give different runs.
Bytes pattern(std::uint32_t seed, std::size_t size);

// count records numbered firstR.. for track index t (C = t / 2, H = t % 2),
// size code 3, 1024 data bytes each from pattern(seed + R).
std::vector<Record> standardTrack(int t, int firstR, int count, std::uint32_t seed);

// count records of track 0 numbered 1.., each saying count, with data of
// pseudo-random lengths below 3000 bytes, but for record longR, which is
// longer than the reader's window.
std::vector<Record> varyingLengthTrack(int count, int longR);

class Disk {
public:
    Disk& name(const std::string& text);
    Disk& media(int type);
    Disk& writeProtect(int value);
    // The header's length: 0x2B0, or 0x2A0 for the variant of older tools
    // whose track table has 160 entries.
    Disk& headerSize(std::size_t bytes);
    Disk& track(int index, std::vector<Record> records);
    // Stores value in track table entry index instead of the real offset.
    Disk& trackOffset(int index, std::uint32_t value);
    // Stores value in the disk-size field instead of the real size.
    Disk& diskSize(std::uint32_t value);

    Bytes build() const;

private:
    std::string name_;
    int media_ = 0x20;
    int writeProtect_ = 0;
    std::size_t headerSize_ = 0x2B0;
    std::map<int, std::vector<Record>> tracks_;
    std::map<int, std::uint32_t> offsetOverrides_;
    bool sizeOverridden_ = false;
    std::uint32_t size_ = 0;
};

// A disk of tracks 0..lastTrack, each with count records from firstR.
Disk standardDisk(int firstR, int count, int lastTrack, std::uint32_t seed);

// A disk whose tracks 0, 1, ... carry content in stored order, 8 sectors of
// 1024 bytes a track numbered from firstR; the last track is padded with
// zeros.
Disk linearDisk(const Bytes& content, int firstR);

// blocks of 1024 bytes that never look like a data file to a block scan:
// each block's first byte is odd (no valid first offset) and its last byte
// non-zero (no end mark).
Bytes scanFiller(std::size_t blocks, std::uint32_t seed);

// A data file of blocks 1024-byte blocks (3 or more) as a block scan finds
// it: six ascending offsets, the last pointing into its last block, filler
// blocks, and zeros ending the last block.
Bytes scanFile(std::size_t blocks, std::uint32_t seed);

// The data of the given records, one after the other.
Bytes dataOf(const std::vector<Record>& records);

Bytes concat(const std::vector<Bytes>& parts);
// Up to size bytes from offset from; fewer where bytes end sooner.
Bytes slice(const Bytes& bytes, std::size_t from, std::size_t size);
void putU16(Bytes& bytes, std::size_t at, int value);
void putU32(Bytes& bytes, std::size_t at, std::uint32_t value);
bool writeFile(const std::string& path, const Bytes& bytes);

}  // namespace d88build

#endif
