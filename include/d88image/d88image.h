// Reader of D88 floppy-disk image files: a D88 file holds one or more disk
// images back to back; each disk starts with a 688-byte header carrying its
// name, media type, size and a table of 164 track offsets, and each track is
// a chain of sector records (a 16-byte header followed by the sector data).
// The layout is in <d88image/d88_format.h>.
//
// The reader reads a file by name or a caller's buffer, with the same
// results. It never writes the image and never loads it whole: every call
// reads only what it needs, through a window of the image (FileWindow) held
// inside the object, so that walking a track again costs no further reads
// from the operating system. Nothing is remembered about tracks. Nothing
// throws and nothing is allocated; every failure is a false or a byte count
// of 0. All values taken from the file are bounded before use, so a damaged
// or hostile image only makes reads fail.
#ifndef D88IMAGE_D88IMAGE_H
#define D88IMAGE_D88IMAGE_H

#include <d88image/d88_format.h>
#include <d88image/file_window.h>

#include <cstddef>
#include <cstdint>

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

// One sector record as a track walk meets it: where its header lies in the
// file and the header's fields.
struct SectorRecord {
    std::uint64_t position;  // file offset of the 16-byte header; data follows
    SectorId id;
    int count;    // the record's sector-count field
    int density;  // 0x00 double, 0x40 single
    int deleted;  // 0x10 when the deleted-data mark is set
    int status;   // controller status of the dump's read, 0 when it read well
    int length;   // data length field
};

// Why a walk over a track's records ended.
enum class WalkEnd {
    Unusable,   // no usable track: nothing was read
    Count,      // a record's position equalled its sector count - 1
    ZeroCount,  // a record's sector count was 0 (that record was visited)
    EndOfFile,  // the next record header is not all in the file
    Limit,      // 65,536 records without an end
    Stopped,    // the visitor asked to stop
};

// Receives each record of a walk; returns false to stop the walk there.
class RecordVisitor {
public:
    virtual bool visit(const SectorRecord& record) = 0;

protected:
    ~RecordVisitor() = default;
};

// Told of each sector a search by ID looks for (readSector, and so each step
// of readRun): the track, the ID sought (each number as the byte it is
// compared with), the record found, or null when the search reached none,
// and the bytes copied from it. The record is valid during the call only.
class ReadObserver {
public:
    virtual void sectorRead(int track, SectorId id, const SectorRecord* found, int copied) = 0;

protected:
    ~ReadObserver() = default;
};

// One open D88 file.
class D88Image {
public:
    static constexpr int kMaxDisks = d88format::kMaxDisks;
    static constexpr int kTrackCount = d88format::kTrackCount;
    static constexpr int kDiskHeaderSize = d88format::kDiskHeaderSize;
    static constexpr int kSectorHeaderSize = d88format::kRecordHeaderSize;
    static constexpr int kNameLength = d88format::kDiskNameLength;
    static constexpr std::size_t kWindowSize = FileWindow::kSize;
    // A 16-bit sector count announces at most 65,535 records; a walk whose
    // records never agree on where the track ends stops after this many.
    static constexpr int kMaxRecordsPerWalk = 65536;

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

    // As open(name), over the size bytes at data instead of a file: the
    // same disks and the same results, byte for byte, read without a call
    // to the operating system. The bytes are not copied: they must stay
    // valid and unchanged until the reader is closed, opened again or
    // destroyed. False only when data is null and size is not 0, as for a
    // file that cannot be opened; an empty buffer, which may be null, opens
    // with 0 disks.
    bool openMemory(const unsigned char* data, std::size_t size);

    // Closes the stream, sets the disk count to 0 and the media type to -1;
    // always true. The current disk's name, size and tracks stay as they were.
    bool open();

    // Closes the stream if one is open; nothing else changes.
    void close();

    // Whether a read of the file has failed since open(name) other than by
    // meeting its end (an I/O error): reads then gave less than the file
    // holds. readError() is the error number, or 0. Never after openMemory.
    bool readFailed() const { return window_.failed(); }
    int readError() const { return window_.error(); }

    // Number of disks indexed by the last successful open(name) or
    // openMemory; 0 before.
    int diskCount() const;

    // File offset of the header of indexed disk index; 0 outside the count.
    std::uint64_t diskOffset(int index) const;

    // Makes disk index current, reading its header. False when no stream is
    // open, index is outside 0..diskCount()-1 or its header cannot be read
    // whole; no disk is current then.
    bool selectDisk(int index);

    // The current disk's name (at most 16 bytes as stored, NUL-terminated);
    // empty when no disk is current. Rewritten by the next selectDisk.
    const char* diskName() const;

    // The current disk's media type byte, or -1 when no disk is current.
    int mediaType() const;

    // The current disk's write-protect byte, or -1 when no disk is current.
    int writeProtect() const;

    // The current disk's size field; 0 when no disk is current.
    std::uint32_t diskSize() const;

    // Entry track of the current disk's track table (0 = absent); 0 for an
    // index outside 0..163 or when no disk is current.
    std::uint32_t trackOffset(int track) const;

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

    // As above; copied is also given the bytes that reached dest, the whole
    // steps and what the step that fell short delivered before the run
    // stopped.
    int readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total, int& copied);

    // Sets the sector numbers readRun wraps between (initially 1 and 16);
    // they stay in force across selectDisk.
    void setSectorRange(int first, int last);

    // Sets the observer told of each sector read; null, the default, for
    // none. It stays in force until set again, across open and selectDisk;
    // it changes no result.
    void setReadObserver(ReadObserver* observer) { observer_ = observer; }

    // Writes the ID of each record of track, in stored order, 4 bytes each,
    // while at least 4 of capacity bytes remain. Returns the bytes written;
    // 0 for an unusable track. A record header cut short by the end of the
    // file ends the list.
    int listSectorIds(int track, unsigned char* out, int capacity);

    // Walks the records of track exactly as readSector does when looking for
    // a sector that is not there, handing each to visitor; says why it ended.
    WalkEnd walkTrack(int track, RecordVisitor& visitor);

    // Copies the data of record, one that a walk of track of the current
    // disk handed out, into dest, at most max bytes and its data length:
    // what readSector copies of it, without walking the track again.
    // Returns the bytes copied, fewer where the file ends; 0 for an unusable
    // track or a record that lies before the track's start.
    int readRecordData(int track, const SectorRecord& record, unsigned char* dest, int max);

private:
    bool indexDisks();
    bool trackStart(int track, std::uint64_t& position) const;
    template <typename Visitor>
    WalkEnd walk(int track, bool zeroCountEnds, long long limit, Visitor& visitor);
    void clearCurrentDisk();

    FileWindow window_;
    int diskCount_ = 0;
    int firstSector_ = 1;
    int lastSector_ = 16;
    ReadObserver* observer_ = nullptr;
    std::uint64_t diskOffsets_[kMaxDisks] = {};
    std::uint32_t currentDiskSize_ = 0;
    std::int64_t currentDiskOffset_ = -1;
    std::uint32_t trackOffsets_[kTrackCount] = {};
    int mediaType_ = -1;
    int writeProtect_ = -1;
    char diskName_[kNameLength + 1] = {};
};

#endif
