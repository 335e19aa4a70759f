// Where a FileWindow's bytes come from: a file opened by name, or a buffer
// the caller holds in memory. Each answers one question, the bytes at a
// position, giving fewer (or none) where the image ends. Neither allocates;
// the window holds both by value and reads from the one that is open.
#ifndef D88IMAGE_IMAGE_SOURCE_H
#define D88IMAGE_IMAGE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// An unbuffered stream over a file: it seeks only when a read does not
// follow the last one, and keeps the error number of the first failure.
class FileSource {
public:
    FileSource() = default;
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // Opens name for binary reading, closing any file held first. False when
    // it cannot be opened.
    bool open(const char* name);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    // The error number of the first read or seek that failed other than by
    // meeting the end of the file since it was opened, or 0; kept after
    // close until the next open.
    int error() const { return error_; }

    std::size_t read(std::uint64_t position, unsigned char* dest, std::size_t count);

private:
    void noteFailure();

    std::FILE* file_ = nullptr;
    int error_ = 0;
    std::uint64_t position_ = 0;  // where the stream stands, when known
    bool positionKnown_ = false;
};

// The caller's bytes, read in place: nothing is copied at open, and the
// bytes must stay valid and unchanged while the source is open.
class MemorySource {
public:
    // Holds the size bytes at data. False, holding nothing, when data is null
    // and size is not 0; an empty buffer may be null.
    bool open(const unsigned char* data, std::size_t size);
    void close();
    bool isOpen() const { return open_; }

    std::size_t read(std::uint64_t position, unsigned char* dest, std::size_t count) const;

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    bool open_ = false;
};

#endif
