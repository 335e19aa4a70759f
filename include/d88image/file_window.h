// Positioned reads of one image through a fixed window of it held in
// memory. The image is a file opened by name or a caller's buffer (see
// <d88image/image_source.h>); the window treats both alike, so that every
// read gives the same bytes from either: a buffer too is copied into the
// window rather than handed out in place, so that one refill path serves
// both and whatever tests or fuzzes one form covers it. A read inside the
// window costs no call to the operating system; one that leaves it refills
// the window, keeping what it already holds. Every read yields exactly the
// bytes the image holds at that position, and fewer (or none) where it
// ends: never bytes of an earlier fill. The image is taken not to change
// while it is open (what the window holds is not read again). It knows
// nothing of what the image contains and allocates nothing.
#ifndef D88IMAGE_FILE_WINDOW_H
#define D88IMAGE_FILE_WINDOW_H

#include <d88image/image_source.h>

#include <cstddef>
#include <cstdint>

class FileWindow {
public:
    static constexpr std::size_t kSize = 32 * 1024;

    FileWindow() = default;
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    // Opens name for binary reading, closing any image held first. False when
    // it cannot be opened.
    bool open(const char* name);
    // Reads the size bytes at data, closing any image held first; they are
    // not copied and must outlive the opening. False when data is null and
    // size is not 0.
    bool open(const unsigned char* data, std::size_t size);
    void close();
    bool isOpen() const { return fromMemory_ ? memory_.isOpen() : file_.isOpen(); }
    // Whether a read or a seek has failed other than by meeting the end of
    // the file (a directory, an I/O error, a file that cannot seek), since
    // the file was opened; error() is the error number of the first such
    // failure, or 0; both stay so after close, until the next open. Reading
    // memory never fails.
    bool failed() const { return error() != 0; }
    int error() const { return fromMemory_ ? 0 : file_.error(); }

    // Reads count bytes from position straight from the image, leaving the
    // window as it is; for reads that would only push useful bytes out of it.
    // Returns the bytes read: fewer than count where the image ends.
    std::size_t readDirect(std::uint64_t position, unsigned char* dest, std::size_t count);

    // Copies count bytes from position into dest; returns how many the image
    // holds there. anchor is a position at or before position that the
    // caller will come back to (the start of a track being walked): a refill
    // starts there when the read then still fits the window.
    std::size_t read(std::uint64_t position, unsigned char* dest, std::size_t count, std::uint64_t anchor);

    // The count bytes from position, in place in the window until the next
    // call; null when the image does not hold them all or count exceeds the
    // window.
    const unsigned char* peek(std::uint64_t position, std::size_t count, std::uint64_t anchor)
    {
        // Most peeks are of record headers the window already holds.
        if (position >= start_ && position - start_ <= length_ && count <= length_ - (position - start_)) {
            return bytes_ + (position - start_);
        }
        return peekAfterFill(position, count, anchor);
    }

private:
    const unsigned char* peekAfterFill(std::uint64_t position, std::size_t count, std::uint64_t anchor);
    std::size_t available(std::uint64_t position, std::size_t count, std::uint64_t anchor);
    bool covers(std::uint64_t position, std::size_t count) const;
    void fill(std::uint64_t start);

    FileSource file_;
    MemorySource memory_;
    bool fromMemory_ = false;  // which of the two the last open chose
    unsigned char bytes_[kSize] = {};
    std::uint64_t start_ = 0;      // image position of bytes_[0]
    std::size_t length_ = 0;       // bytes of the image held from start_
    bool endsAtFileEnd_ = false;   // the image ends where the held bytes do
};

#endif
