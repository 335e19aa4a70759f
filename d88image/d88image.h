// Reader of D88 floppy-disk image files: a D88 file holds one or more disk
// images back to back; each disk starts with a 688-byte header carrying its
// name, media type, size and a table of 164 track offsets, and each track is
// a chain of sector records (a 16-byte header followed by the sector data).
//
// The reader never writes the image and never loads it whole: every call
// reads only what it needs, through a fixed window of the file held in
// memory, so that walking a track again costs no further reads from the
// operating system. Nothing is remembered about tracks. Nothing throws; every
// failure is a false or a byte count of 0. All values taken from the file are
// bounded before use, so a damaged or hostile image only makes reads fail.
#ifndef D88IMAGE_D88IMAGE_H
#define D88IMAGE_D88IMAGE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Little-endian field decoding, byte by byte, independent of the host.
int readU16le(const unsigned char* bytes);
std::uint32_t readU32le(const unsigned char* bytes);

// The four ID bytes recorded with a sector: cylinder, head, sector number
// and size code (nominal size 128 << N bytes).
struct SectorId {
    unsigned char c;
    unsigned char h;
    unsigned char r;
    unsigned char n;
};

// One open D88 file. The object holds its read window (32 KiB) inside it.
class D88Image {
public:
    static constexpr int kMaxDisks = 64;
    static constexpr int kTrackCount = 164;
    static constexpr int kDiskHeaderSize = 0x2B0;
    static constexpr int kSectorHeaderSize = 16;
    static constexpr int kNameLength = 16;
    static constexpr std::size_t kWindowSize = 32 * 1024;

    D88Image();
    ~D88Image();
    D88Image(const D88Image&) = delete;
    D88Image& operator=(const D88Image&) = delete;

    // Opens the file for binary reading and indexes its disks by following
    // each header's disk size (at most 64 disks). A stream already held is
    // closed first and no disk is current afterwards. False when the file
    // cannot be opened or reading it fails other than by its end (a
    // directory, an I/O error); the disk count then stays as it was and no
    // stream is held. A file shorter than one header opens with 0 disks.
    bool open(const char* name);

    // Closes the stream, sets the disk count to 0 and the media type to -1;
    // always true. The current disk's name, size and tracks stay as they were.
    bool open();

    // Closes the stream if one is open; nothing else changes.
    void close();

    // Number of disks indexed by the last successful open(name); 0 before.
    int diskCount() const;

    // Makes disk index current, reading its header. False when no stream is
    // open, index is outside 0..diskCount()-1 or its header cannot be read
    // whole; no disk is current then.
    bool selectDisk(int index);

    // The current disk's name (at most 16 bytes as stored, NUL-terminated);
    // empty when no disk is current. Rewritten by the next selectDisk.
    const char* diskName() const;

    // The current disk's media type byte, or -1 when no disk is current.
    int mediaType() const;

    // Copies the data of the first sector on track whose ID is (c, h, r, n)
    // into dest, at most max bytes. A track is usable when its index is
    // 0..163 and its offset non-zero and within the disk's size; its records
    // are walked as their sector counts say, to the end of the file and
    // 65,536 records at most. Returns the bytes copied: 0 when the track is
    // unusable or the sector is missing or empty; fewer than asked when the
    // file ends inside the sector's data.
    int readSector(int track, int c, int h, int r, int n, unsigned char* dest, int max);

    // Reads total bytes of consecutive sectors from the given ID on, in steps
    // of one sector, wrapping from the last to the first sector number of the
    // range onto the next track (the other head, then the next cylinder).
    // Returns the bytes of the steps read in full; a short step stops the run.
    int readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total);

    // Sets the sector numbers readRun wraps between (initially 1 and 16);
    // they stay in force across selectDisk.
    void setSectorRange(int first, int last);

    // Writes the ID of each record of track, in stored order, 4 bytes each,
    // while at least 4 of capacity bytes remain. Returns the bytes written;
    // 0 for an unusable track. A record header cut short by the end of the
    // file ends the list.
    int listSectorIds(int track, unsigned char* out, int capacity);

private:
    bool trackStart(int track, std::uint64_t& position) const;
    std::size_t readAt(std::uint64_t position, unsigned char* dest, std::size_t count, std::uint64_t anchor);
    const unsigned char* peek(std::uint64_t position, std::size_t count, std::uint64_t anchor);
    std::size_t windowFor(std::uint64_t position, std::size_t count, std::uint64_t anchor);
    std::size_t readDirect(std::uint64_t position, unsigned char* dest, std::size_t count);
    void fillWindow(std::uint64_t start);
    void clearCurrentDisk();

    std::FILE* file_ = nullptr;
    std::uint64_t filePosition_ = 0;  // where the stream stands, when known
    bool filePositionKnown_ = false;
    unsigned char window_[kWindowSize];
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;  // bytes of the file held from windowStart_
    bool windowAtEnd_ = false;      // the file ends where the window does
    int diskCount_ = 0;
    int firstSector_ = 1;
    int lastSector_ = 16;
    std::uint64_t diskOffsets_[kMaxDisks] = {};
    std::uint32_t currentDiskSize_ = 0;
    std::int64_t currentDiskOffset_ = -1;
    std::uint32_t trackOffsets_[kTrackCount] = {};
    int mediaType_ = -1;
    char diskName_[kNameLength + 1] = {};
};

#endif
