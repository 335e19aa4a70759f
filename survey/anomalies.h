// What is wrong with an image, found as its survey goes: each track's
// records as the walk visits them, each disk, and the image as a whole.
#ifndef SURVEY_ANOMALIES_H
#define SURVEY_ANOMALIES_H

#include "anomaly_kinds.h"
#include "image_facts.h"

#include <string>
#include <vector>

// The anomalies of one image; past a limit only counted, so that a hostile
// image cannot make the list grow without end.
class AnomalyList {
public:
    static constexpr std::size_t kLimit = 10000;
    void add(Anomaly anomaly);
    // An anomaly of kind, with its key and severity from the kinds' table.
    void add(AnomalyKind kind, std::string message, int disk, int track, long long position);
    std::vector<Anomaly>& items() { return items_; }
    std::size_t leftOut() const { return leftOut_; }
    bool anyDamage() const { return damage_ > 0; }
    // Anomalies that are damage added so far, those left out included.
    std::size_t damageCount() const { return damage_; }

private:
    std::vector<Anomaly> items_;
    std::size_t leftOut_ = 0;
    std::size_t damage_ = 0;
};

// Watches the records of one track as its walk visits them, then reports
// what it saw, one anomaly per kind and track. One checker serves a disk's
// tracks in turn; begin starts the next.
//
// Old converters wrote the sector count with its bytes swapped (16 as
// 0x1000). The field's readers take such a count back, and so does the
// checker when the track bears it out: its first count >> 8 records carry
// that count and one C and H, and the record after them (if the walk meets
// one) belongs to another track. Only those records are then checked, and
// the count is a note: the walk runs on past them, but a sector of the
// track is found on it all the same.
class TrackChecker {
public:
    // Records of one anomaly kind on the track: how many, and the first.
    struct Tally {
        std::size_t count = 0;
        SectorRecord first{};
        std::size_t firstIndex = 0;
        std::uint32_t present = 0;
    };
    // All that the checker keeps of a track's records once it is closed, so
    // that a walk met again (tracks that start at the same place) can be
    // checked without walking it again.
    struct Seen {
        std::size_t visited = 0;
        int firstCount = -1;
        SectorId firstId{};
        std::uint64_t nextHeader = 0;  // where the record after the last one visited starts
        std::size_t swapped = 0;       // a count that reads as swapped: the records it would give the track
        bool swapConfirmed = false;    // the records bear the swapped count out
        std::uint64_t trackEnd = 0;    // where the track's own records end
        Tally countMismatch, lengthMismatch, longSector, duplicate, shortSector, empty, badStatus, deleted, zeroCount;
        // The records that are the track's own.
        std::size_t trackRecords() const { return swapConfirmed ? swapped : visited; }
    };

    TrackChecker(const DiskFacts& disk, std::uint64_t fileSize) : disk_(disk), fileSize_(fileSize) {}
    void begin(int track);
    void record(const RecordFacts& facts);
    // After the last record: finds the duplicates.
    void close();
    const Seen& seen() const { return seen_; }
    // Takes what was seen of an earlier, identical walk, in place of begin,
    // record and close.
    void adopt(int track, const Seen& seen);
    void finish(const TrackFacts& track, AnomalyList& anomalies);

private:
    void note(Tally& tally, const SectorRecord& record, std::uint32_t present = 0);
    bool ownRecord(const SectorRecord& record, std::size_t index);
    void walkEnd(const TrackFacts& track, AnomalyList& anomalies);
    void add(AnomalyList& anomalies, AnomalyKind kind, const std::string& message, long long position) const;

    const DiskFacts& disk_;
    std::uint64_t fileSize_;
    int track_ = 0;
    Seen seen_;
    struct Placed {
        std::uint32_t id;  // C, H, R, N in one number
        std::size_t place;
        std::uint64_t position;
        bool operator<(const Placed& other) const { return id != other.id ? id < other.id : place < other.place; }
    };
    std::vector<Placed> ids_;  // each record's ID, place on the track and position
};

// Checks a disk once its tracks are surveyed: its header, its size, the
// tracks the end of the file cuts off, whether it has any track at all.
class DiskChecker {
public:
    DiskChecker(const DiskFacts& disk, std::uint64_t fileSize) : disk_(disk), fileSize_(fileSize) {}
    void track(const TrackFacts& track);
    // An entry of the track table that holds the disk's size.
    void notTrack(int entry);
    void finish(AnomalyList& anomalies);

private:
    const DiskFacts& disk_;
    std::uint64_t fileSize_;
    bool anyTrack_ = false;   // the table names a track
    bool anyUsable_ = false;
    std::vector<int> unused_;  // entries that hold the disk's size
    std::vector<int> lost_;  // tracks that start at or past the end of the file
    std::vector<int> cut_;   // tracks the end of the file cuts short
};

// A disk indexed again at an earlier disk's offset: one anomaly for it, in
// place of all that the earlier disk's own checks found.
void checkRepeatedDisk(const DiskFacts& disk, AnomalyList& anomalies);

// What follows the last disk that is not zero bytes read as a header.
struct ImageEnd {
    int lastDisk = -1;       // that disk; -1 when every disk indexed is blank
    std::uint64_t end = 0;   // where it ends by its size
    int blankDisks = 0;      // blank headers the chain indexed after it
    bool zeros = false;      // the file holds only zero bytes from end on
};

// Checks the image as a whole: no disk at all, bytes after the last disk.
void checkImage(const ImageFacts& image, const ImageEnd& imageEnd, AnomalyList& anomalies);

// "3, 5, 70-153": track numbers, ascending, with runs joined.
std::string trackRanges(const std::vector<int>& tracks);

#endif
