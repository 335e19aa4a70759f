#include "block_scan.h"

#include <d88image/d88image.h>

#include "image_buffer.h"

#include <cstdio>

namespace {

constexpr int kStartBlocks = 153 * 8;
constexpr int kHeaderWords = 6;
constexpr int kLongestFileBlocks = 12;

const unsigned char* block(const unsigned char* buffer, int b)
{
    return buffer + b * kBlockSize;
}

// A file opens with six strictly ascending 16-bit offsets, the first a
// multiple of 16 below 4096.
bool isFileHeader(const unsigned char* start)
{
    int words[kHeaderWords];
    for (int i = 0; i < kHeaderWords; ++i) {
        words[i] = readU16le(start + 2 * i);
    }
    if ((words[0] & 0xF00F) != 0) {
        return false;
    }
    for (int i = 0; i + 1 < kHeaderWords; ++i) {
        if (words[i] >= words[i + 1]) {
            return false;
        }
    }
    return true;
}

// A file's last block ends in three zero bytes of filler.
bool hasEndMark(const unsigned char* buffer, int b)
{
    const unsigned char* end = block(buffer, b) + kBlockSize - 3;
    return end[0] == 0 && end[1] == 0 && end[2] == 0;
}

// The number of blocks of the file starting at block b, or 0 when there is
// none: the end search starts in the block that holds the last offset's
// byte and gives up after 12 blocks or at the end of the buffer.
int fileBlocks(const unsigned char* buffer, int b)
{
    if (!isFileHeader(block(buffer, b))) {
        return 0;
    }
    int last = readU16le(block(buffer, b) + 2 * (kHeaderWords - 1)) / kBlockSize;
    while (last < kLongestFileBlocks && b + last < kBufferBlocks && !hasEndMark(buffer, b + last)) {
        ++last;
    }
    if (last >= kLongestFileBlocks || b + last >= kBufferBlocks) {
        return 0;
    }
    return last + 1;
}

}  // namespace

bool scanBlocks(const unsigned char* buffer, int disk, int& counter, OutputSink& sink)
{
    bool allWritten = true;
    for (int b = 0; b < kStartBlocks; ++b) {
        const int blocks = fileBlocks(buffer, b);
        if (blocks == 0) {
            continue;
        }
        char name[16];
        std::snprintf(name, sizeof name, "KX%03d", counter);
        ++counter;
        const std::size_t size = static_cast<std::size_t>(blocks) * kBlockSize;
        allWritten = sink.write({name, block(buffer, b), size, size, disk, b}) && allWritten;
    }
    return allWritten;
}
