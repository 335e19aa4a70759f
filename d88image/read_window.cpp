// Positioned reads for the reader: served from a window of the file held in
// memory, refilled only when a read leaves it. The results are those of
// seeking and reading the file itself, to the byte, at its end too.
#include "d88image.h"

#include <algorithm>
#include <climits>
#include <cstring>

std::size_t D88Image::readDirect(std::uint64_t position, unsigned char* dest, std::size_t count)
{
    if (file_ == nullptr || count == 0) {
        return 0;
    }
    // Reads that follow one another need no seek. A position that the
    // platform's seek cannot express lies past the end of any file it can
    // open.
    if (!filePositionKnown_ || position != filePosition_) {
        filePositionKnown_ = false;
        if (position > static_cast<std::uint64_t>(LONG_MAX) ||
            std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) {
            return 0;
        }
    }
    const std::size_t got = std::fread(dest, 1, count, file_);
    filePositionKnown_ = !std::ferror(file_);
    filePosition_ = position + got;
    return got;
}

// Makes the window start at start, keeping what it already holds from there
// on and reading only the rest.
void D88Image::fillWindow(std::uint64_t start)
{
    const std::uint64_t windowEnd = windowStart_ + windowLength_;
    std::size_t kept = 0;
    if (start >= windowStart_ && start < windowEnd) {
        kept = static_cast<std::size_t>(windowEnd - start);
        std::memmove(window_, window_ + (start - windowStart_), kept);
    }
    const std::size_t wanted = kWindowSize - kept;
    const std::size_t got = readDirect(start + kept, window_ + kept, wanted);
    windowStart_ = start;
    windowLength_ = kept + got;
    windowAtEnd_ = got < wanted;
}

// A walk over a track passes its start as the anchor: when a read leaves
// the window, the window is made to start there if the read then fits, so
// that the walk's next pass from the start of the track is served too.
// Returns how many of the count bytes from position the window then holds:
// all of them, or what the file has before its end.
std::size_t D88Image::windowFor(std::uint64_t position, std::size_t count, std::uint64_t anchor)
{
    const std::uint64_t windowEnd = windowStart_ + windowLength_;
    const bool startsInside = position >= windowStart_ && position <= windowEnd;
    if (!startsInside || (position + count > windowEnd && !windowAtEnd_)) {
        const bool anchorFits = anchor <= position && position + count - anchor <= kWindowSize;
        fillWindow(anchorFits ? anchor : position);
    }
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, windowStart_ + windowLength_ - position));
}

// The count bytes from position, in place in the window until the next read;
// null when the file does not hold them all.
const unsigned char* D88Image::peek(std::uint64_t position, std::size_t count, std::uint64_t anchor)
{
    if (file_ == nullptr || count > kWindowSize || windowFor(position, count, anchor) < count) {
        return nullptr;
    }
    return window_ + (position - windowStart_);
}

std::size_t D88Image::readAt(std::uint64_t position, unsigned char* dest, std::size_t count, std::uint64_t anchor)
{
    if (file_ == nullptr || count == 0) {
        return 0;
    }
    if (count > kWindowSize) {
        return readDirect(position, dest, count);
    }
    const std::size_t copied = windowFor(position, count, anchor);
    std::memcpy(dest, window_ + (position - windowStart_), copied);
    return copied;
}
