// The sector level: finding sectors of the current disk by their recorded
// ID, reading runs of consecutive sectors and listing a track's IDs.
#include "d88image.h"

#include <algorithm>

namespace {
constexpr int kSectorCountOffset = 0x04;
constexpr int kDataLengthOffset = 0x0E;

// A 16-bit sector count announces at most 65,535 records; a walk whose
// records never agree on where the track ends stops after this many, so no
// single call can be made to read through a whole large file.
constexpr int kMaxRecordsPerWalk = 65536;

bool idMatches(const unsigned char* header, int c, int h, int r, int n)
{
    return header[0] == c && header[1] == h && header[2] == r && header[3] == n;
}

// 128 << n for any n a caller may pass, without overflow; size codes beyond
// 31 already exceed every byte count an int can ask for. A negative code
// matches no sector, so any non-zero step serves.
long long nominalSectorSize(int n)
{
    if (n < 0) {
        return 1;
    }
    return 128LL << std::min(n, 32);
}
}  // namespace

bool D88Image::trackStart(int track, std::uint64_t& position) const
{
    if (file_ == nullptr || currentDiskOffset_ < 0 || track < 0 || track >= kTrackCount) {
        return false;
    }
    const std::uint32_t offset = trackOffsets_[track];
    if (offset == 0 || offset > currentDiskSize_) {
        return false;
    }
    position = static_cast<std::uint64_t>(currentDiskOffset_) + offset;
    return true;
}

int D88Image::readSector(int track, int c, int h, int r, int n, unsigned char* dest, int max)
{
    std::uint64_t start = 0;
    if (!trackStart(track, start)) {
        return 0;
    }
    std::uint64_t position = start;
    for (int i = 0; i < kMaxRecordsPerWalk; ++i) {
        const unsigned char* header = peek(position, kSectorHeaderSize, start);
        if (header == nullptr) {
            return 0;
        }
        // Each record's own count is trusted; a count of 0 ends the track
        // before its ID is even looked at.
        const int count = readU16le(header + kSectorCountOffset);
        if (count == 0) {
            return 0;
        }
        const int length = readU16le(header + kDataLengthOffset);
        if (idMatches(header, c, h, r, n)) {
            const int wanted = std::min(length, std::max(max, 0));
            // A sector cut short by the end of the file yields what is there.
            return static_cast<int>(
                readAt(position + kSectorHeaderSize, dest, static_cast<std::size_t>(wanted), start));
        }
        if (i == count - 1) {
            return 0;
        }
        position += kSectorHeaderSize + static_cast<std::uint64_t>(length);
    }
    return 0;
}

int D88Image::readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total)
{
    const long long nominal = nominalSectorSize(n);
    int sum = 0;
    while (sum < total) {
        const int step = static_cast<int>(std::min<long long>(nominal, total - sum));
        if (readSector(track, c, h, r, n, dest + sum, step) < step) {
            return sum;  // a short step's partial data may stand in dest, uncounted
        }
        sum += step;
        if (r == lastSector_) {
            // The track index follows the wrap independently of c and h.
            ++track;
            if (h == 0) {
                h = 1;
            } else {
                h = 0;
                ++c;
            }
            r = firstSector_;
        } else {
            ++r;
        }
    }
    return sum;
}

void D88Image::setSectorRange(int first, int last)
{
    firstSector_ = first;
    lastSector_ = last;
}

int D88Image::listSectorIds(int track, unsigned char* out, int capacity)
{
    std::uint64_t start = 0;
    if (!trackStart(track, start)) {
        return 0;
    }
    std::uint64_t position = start;
    int written = 0;
    // Unlike readSector there is no test for a count of 0: such a track is
    // listed until the capacity is used up (or the file ends).
    for (int i = 0; capacity - written >= 4; ++i) {
        const unsigned char* header = peek(position, kSectorHeaderSize, start);
        if (header == nullptr) {
            break;
        }
        std::copy(header, header + 4, out + written);
        written += 4;
        if (i == readU16le(header + kSectorCountOffset) - 1) {
            break;
        }
        position += kSectorHeaderSize + static_cast<std::uint64_t>(readU16le(header + kDataLengthOffset));
    }
    return written;
}
