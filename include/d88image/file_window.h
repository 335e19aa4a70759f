// Positioned reads of one file through a fixed window of it held in memory.
// A read inside the window costs no call to the operating system; one that
// leaves it refills the window, keeping what it already holds. Every read
// yields exactly the bytes the file holds at that position, and fewer (or
// none) where the file ends: never bytes of an earlier fill. The file is
// taken not to change while it is open (what the window holds is not read
// again). It knows nothing of what the file contains and allocates nothing.
#ifndef D88IMAGE_FILE_WINDOW_H
#define D88IMAGE_FILE_WINDOW_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

class FileWindow {
public:
    static constexpr std::size_t kSize = 32 * 1024;

    FileWindow() = default;
    ~FileWindow();
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    // Opens name for binary reading, closing any file held first. False when
    // it cannot be opened.
    bool open(const char* name);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    // Whether a read or a seek has failed other than by meeting the end of
    // the file (a directory, an I/O error, a file that cannot seek), since
    // the file was opened; error() is the error number of the first such
    // failure, or 0.
    bool failed() const { return error_ != 0; }
    int error() const { return error_; }

    // Reads count bytes from position straight from the file, leaving the
    // window as it is; for reads that would only push useful bytes out of it.
    // Returns the bytes read: fewer than count where the file ends.
    std::size_t readDirect(std::uint64_t position, unsigned char* dest, std::size_t count);

    // Copies count bytes from position into dest; returns how many the file
    // holds there. anchor is a position at or before position that the
    // caller will come back to (the start of a track being walked): a refill
    // starts there when the read then still fits the window.
    std::size_t read(std::uint64_t position, unsigned char* dest, std::size_t count, std::uint64_t anchor);

    // The count bytes from position, in place in the window until the next
    // call; null when the file does not hold them all or count exceeds the
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

    void noteFailure();

    std::FILE* file_ = nullptr;
    int error_ = 0;
    std::uint64_t filePosition_ = 0;  // where the stream stands, when known
    bool filePositionKnown_ = false;
    unsigned char bytes_[kSize] = {};
    std::uint64_t start_ = 0;      // file position of bytes_[0]
    std::size_t length_ = 0;       // bytes of the file held from start_
    bool endsAtFileEnd_ = false;   // the file ends where the held bytes do
};

#endif
