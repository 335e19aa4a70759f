#include <d88image/image_source.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

FileSource::~FileSource()
{
    close();
}

bool FileSource::open(const char* name)
{
    close();
    if (name == nullptr) {
        return false;
    }
    error_ = 0;
    file_ = std::fopen(name, "rb");
    if (file_ == nullptr) {
        return false;
    }
    // The window does the buffering.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    position_ = 0;
    positionKnown_ = true;
    return true;
}

void FileSource::close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    positionKnown_ = false;
}

void FileSource::noteFailure()
{
    if (error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
}

std::size_t FileSource::read(std::uint64_t position, unsigned char* dest, std::size_t count)
{
    if (file_ == nullptr || count == 0) {
        return 0;
    }
    // Reads that follow one another need no seek. A position that the
    // platform's seek cannot express lies past the end of any file it can
    // open.
    if (!positionKnown_ || position != position_) {
        positionKnown_ = false;
        if (position > static_cast<std::uint64_t>(LONG_MAX)) {
            return 0;
        }
        errno = 0;
        if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) {
            noteFailure();
            return 0;
        }
    }
    errno = 0;
    const std::size_t got = std::fread(dest, 1, count, file_);
    if (std::ferror(file_) != 0) {
        noteFailure();
        std::clearerr(file_);
        positionKnown_ = false;
        return got;
    }
    positionKnown_ = true;
    position_ = position + got;
    return got;
}

bool MemorySource::open(const unsigned char* data, std::size_t size)
{
    open_ = data != nullptr || size == 0;
    data_ = open_ ? data : nullptr;
    size_ = open_ ? size : 0;
    return open_;
}

void MemorySource::close()
{
    data_ = nullptr;
    size_ = 0;
    open_ = false;
}

std::size_t MemorySource::read(std::uint64_t position, unsigned char* dest, std::size_t count) const
{
    if (!open_ || count == 0 || position >= size_) {
        return 0;
    }
    const std::size_t got = std::min<std::size_t>(count, static_cast<std::size_t>(size_ - position));
    std::memcpy(dest, data_ + position, got);
    return got;
}
