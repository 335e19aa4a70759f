// What a survey of an image finds, handed to a report piece by piece: the
// image, each disk, each track of a disk, and at the end what is wrong with
// it and what the cutters would write from it.
#ifndef SURVEY_IMAGE_FACTS_H
#define SURVEY_IMAGE_FACTS_H

#include <d88image/d88image.h>

#include "file_listing.h"
#include "table_cut.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A hostile image can hold tens of thousands of records on every track of
// every disk; a report lists at most this many of a track's records, and
// this many in all for one image, and says how many it left out.
constexpr std::size_t kRecordsListedPerTrack = 1024;
constexpr std::size_t kRecordsListedPerImage = 200000;

struct ImageFacts {
    std::string path;
    bool readable = false;
    std::string error;  // why the image could not be read
    std::uint64_t size = 0;
    int diskCount = 0;
};

// A disk's format as the field describes one: cylinders x heads, sectors
// per track and their size, taken from the tracks that hold records (see
// GeometryTally).
struct Geometry {
    int cylinders = 0;    // distinct cylinder bytes among the tracks' first records
    int heads = 0;        // distinct head bytes among them
    int sectors = 0;      // records per track on most tracks
    int sectorSize = 0;   // 128 << N of those tracks' first records, in bytes; 0 for N past 15
    int tracks = 0;       // tracks that hold records
    int otherTracks = 0;  // of them, those of another format: the disk is mixed when there are any
};

struct DiskFacts {
    int index = 0;
    std::uint64_t offset = 0;
    std::string name;  // the stored bytes up to the first NUL, at most 16
    std::string nameText;      // name decoded from Shift-JIS, as UTF-8
    bool nameDecoded = false;  // false: name is not Shift-JIS text (nameText is empty)
    int media = -1;
    int writeProtect = -1;
    std::uint32_t size = 0;
    std::uint64_t bytesPresent = 0;  // of size, how many the file holds
    DiskKind kind = DiskKind::None;
    std::string kindNote;  // for a disk of no known kind: what track 1 holds
    // The disk's own file system as the file-system way lists it (found or
    // not); null before it has looked.
    std::shared_ptr<const FileListing> fileSystem;
    // The header's length: 0x2B0, or 0x2A0 for the variant whose track
    // table has 160 entries (track 0 starts right after them).
    int headerSize = d88format::kDiskHeaderSize;
    int trackEntries = d88format::kTrackCount;  // entries the header's table holds
    // Of them, those that hold the disk's size: no track starts at the
    // disk's end, and some tools mark unused entries so. They are not read
    // as tracks.
    int unusedEntries = 0;
    int sameAs = -1;     // indexed again at the offset of this earlier disk (a size of 0)
    bool blank = false;  // every header field is zero: zero bytes read as a header
};

// Entries in the track table of a header of the given size.
inline int tableEntries(int headerSize)
{
    return (headerSize - d88format::kTrackTableOffset) / d88format::kTrackEntrySize;
}

// Whether an entry of the disk's track table is read as a track: it is one
// the header holds, and not one that holds the disk's size.
inline bool readAsTrack(const DiskFacts& disk, int entry, std::uint32_t offset)
{
    return entry < disk.trackEntries && (disk.size == 0 || offset != disk.size);
}

// 128 << n, the nominal size of size code n in bytes; -1 for a code past
// 15, a size that no data length reaches.
inline long long nominalSize(int n)
{
    return n >= 0 && n < 16 ? 128LL << n : -1;
}

// Whether the record's status says the sector read badly when the disk was
// dumped: any status but 0 and 0x10, which says the controller met the
// deleted-data mark and the sector read well.
inline bool readBadly(const SectorRecord& record)
{
    return record.status != 0 && record.status != 0x10;
}

// Whether the record carries the deleted-data mark, or the status that says so.
inline bool deletedData(const SectorRecord& record)
{
    return record.deleted != 0 || record.status == 0x10;
}

struct RecordFacts {
    SectorRecord record;
    std::uint32_t present;  // of the record's data length, the bytes the file holds
};

struct TrackFacts {
    int index = 0;
    std::uint32_t offset = 0;
    bool usable = false;
    WalkEnd end = WalkEnd::Unusable;
    std::size_t recordCount = 0;       // records the walk visited
    // Of them, the track's own: fewer when the track's sector count is
    // stored with its bytes swapped and the walk ran on past the track.
    std::size_t trackRecords = 0;
    bool countByteSwapped = false;     // its sector count reads as stored with its bytes swapped
    bool cutShort = false;             // the end of the file cuts the track's records short
    bool damaged = false;              // an anomaly that is damage concerns the track
    std::vector<RecordFacts> records;  // the first of them, as many as are listed
};

struct Anomaly {
    std::string kind;
    bool damage = true;  // false for what is only worth knowing
    std::string message;
    int disk = -1;  // -1 where it does not apply, as for track and position
    int track = -1;
    long long position = -1;
};

// A sector a cutter's file was read from, and the bytes of the file it gave.
struct FileSector {
    int disk = 0;
    int track = 0;
    SectorId id{};                // the ID sought
    bool found = false;           // false: the track has no such record that a read by ID reaches
    std::uint64_t position = 0;   // the record's, when found
    std::size_t fileOffset = 0;   // where its bytes go in the file
    std::size_t bytes = 0;        // how many it gave
};

// A file a cutter would write.
struct PlannedFile {
    std::string name;
    int disk = 0;
    std::size_t size = 0;
    std::size_t supplied = 0;  // leading bytes the sectors supply; the rest would be zeros
    bool written = true;       // false: the way knows of it and would not write it at all
    int firstBlock = -1;       // scancut: the buffer block it starts at
    bool replaced = false;     // a later disk writes a file of the same name
    std::string reason;        // for one not written: which sector of which track could not be read
    // Where its bytes come from, in file order: for tablecut each sector its
    // read takes, up to the first that falls short or is not found; for
    // scancut the records whose bytes its blocks hold.
    std::vector<FileSector> sectors;
};

// What becomes of a planned file: written whole, written with zeros from
// where its sectors run out, or not written.
enum class FileOutcome { Complete, ZeroPadded, NotWritten };

inline FileOutcome outcomeOf(const PlannedFile& file)
{
    return !file.written ? FileOutcome::NotWritten
           : file.supplied < file.size ? FileOutcome::ZeroPadded
                                       : FileOutcome::Complete;
}

// What one way of taking files (cutters/cutter.h) would write from an image.
struct CutFindings {
    bool recognised = false;  // it knows the image for its own: d88cut's choice takes the first that does
    std::vector<PlannedFile> files;
};

enum class ImageStatus { Ok, Damaged, Unreadable };

struct ImageSummary {
    std::string error;  // a read that failed part way, when one did
    std::uint64_t trailingBytes = 0;
    std::vector<Anomaly> anomalies;
    std::size_t anomaliesLeftOut = 0;
    std::vector<CutFindings> cuts;  // one for each way of taking files, in the order of their table, always
    ImageStatus status = ImageStatus::Ok;
    // Why the file is no D88 image at all (not_an_image.h), with status
    // Unreadable; empty when it may be one.
    std::string notAnImage;
};

// Receives a survey's findings in order: beginImage, then for each disk
// beginDisk, track for each track with an offset that is read as a track,
// endDisk; then endImage.
class ReportWriter {
public:
    virtual void beginImage(const ImageFacts& image) = 0;
    virtual void beginDisk(const DiskFacts& disk) = 0;
    virtual void track(const TrackFacts& track) = 0;
    virtual void endDisk() = 0;
    virtual void endImage(const ImageSummary& summary) = 0;

protected:
    ~ReportWriter() = default;
};

const char* mediaName(int media);           // "2HD", ... or null when unknown
// What a record's status byte says, as the field's dumpers write it: "ok"
// for 0, "data CRC error" for 0xB0, ..., "unknown" for a value they do not.
const char* statusMeaning(int status);
// Why a walk ended, as the JSON names it ("count", ..., null when the track
// was not walked) and in words for the text report.
struct WalkEndWords {
    const char* name;
    const char* text;
};
WalkEndWords walkEndWords(WalkEnd end);
const char* statusName(ImageStatus status);  // "ok", "damaged", "unreadable"
// The summary's status as the reports name it: its status's name, or
// "not-an-image" for a file that is no D88 image.
const char* statusWord(const ImageSummary& summary);

#endif
