#include <d88image/file_window.h>

#include <algorithm>
#include <cstring>

bool FileWindow::open(const char* name)
{
    close();
    fromMemory_ = false;
    return file_.open(name);
}

bool FileWindow::open(const unsigned char* data, std::size_t size)
{
    close();
    fromMemory_ = true;
    return memory_.open(data, size);
}

void FileWindow::close()
{
    file_.close();
    memory_.close();
    start_ = 0;
    length_ = 0;
    endsAtFileEnd_ = false;
}

std::size_t FileWindow::readDirect(std::uint64_t position, unsigned char* dest, std::size_t count)
{
    return fromMemory_ ? memory_.read(position, dest, count) : file_.read(position, dest, count);
}

bool FileWindow::covers(std::uint64_t position, std::size_t count) const
{
    const std::uint64_t end = start_ + length_;
    return position >= start_ && position <= end && (position + count <= end || endsAtFileEnd_);
}

// Makes the window start at start, keeping what it already holds from there
// on and reading only the rest.
void FileWindow::fill(std::uint64_t start)
{
    const std::uint64_t end = start_ + length_;
    std::size_t kept = 0;
    if (start >= start_ && start < end) {
        kept = static_cast<std::size_t>(end - start);
        std::memmove(bytes_, bytes_ + (start - start_), kept);
    }
    const std::size_t wanted = kSize - kept;
    const std::size_t got = readDirect(start + kept, bytes_ + kept, wanted);
    start_ = start;
    length_ = kept + got;
    endsAtFileEnd_ = got < wanted;
}

// How many of the count bytes from position the window holds after a
// refill where needed: all of them, what the file has before its end, or
// none when the file ends before position.
std::size_t FileWindow::available(std::uint64_t position, std::size_t count, std::uint64_t anchor)
{
    if (!covers(position, count)) {
        const bool anchorFits = anchor <= position && position - anchor + count <= kSize;
        fill(anchorFits ? anchor : position);
    }
    const std::uint64_t end = start_ + length_;
    if (position < start_ || position >= end) {
        return 0;
    }
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, end - position));
}

const unsigned char* FileWindow::peekAfterFill(std::uint64_t position, std::size_t count, std::uint64_t anchor)
{
    if (!isOpen() || count > kSize || available(position, count, anchor) < count) {
        return nullptr;
    }
    return bytes_ + (position - start_);
}

std::size_t FileWindow::read(std::uint64_t position, unsigned char* dest, std::size_t count, std::uint64_t anchor)
{
    if (!isOpen() || count == 0) {
        return 0;
    }
    if (count > kSize) {
        return readDirect(position, dest, count);
    }
    const std::size_t held = available(position, count, anchor);
    if (held > 0) {
        std::memcpy(dest, bytes_ + (position - start_), held);
    }
    return held;
}
