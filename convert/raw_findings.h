// What a raw image of a disk could not hold as the D88 image held it,
// kind by kind, each with its places: a table of the kinds (key, words),
// places kept up to a bound and counted beyond it, so that a hostile image
// cannot grow the list.
#ifndef CONVERT_RAW_FINDINGS_H
#define CONVERT_RAW_FINDINGS_H

#include <cstddef>
#include <string>
#include <vector>

enum class Finding {
    Missing,     // no such sector: zeros in its place
    CutShort,    // the file ends inside it: its bytes, then zeros
    OddLength,   // a data length other than its size's: zeros after, or bytes left out
    OtherSize,   // of another size code: left out, zeros in its place
    BadStatus,   // read badly when dumped: copied
    Deleted,     // deleted-marked: copied
    Extra,       // a record the geometry has no place for: left out
    Duplicate,   // another record of a sector's number: left out
};
constexpr std::size_t kFindingKinds = 8;

struct FindingWords {
    const char* key;   // "missing", ... as the JSON names it
    const char* text;  // "sectors missing, filled with zeros"
};
FindingWords findingWords(Finding kind);

// A run of sectors, R first..last of each track from track to lastTrack.
struct SectorRun {
    int track;
    int lastTrack;
    int first;
    int last;
};

class RawFindings {
public:
    static constexpr std::size_t kRunsKept = 256;  // per kind

    // Notes sector r of track, in the order of a raw image: track after
    // track, R ascending within each.
    void add(Finding kind, int track, int r);
    // After the last add: joins the last run to the one before where both
    // cover the same numbers of consecutive tracks.
    void finish();
    bool exact() const;
    std::size_t count(Finding kind) const { return kinds_[static_cast<std::size_t>(kind)].count; }
    const std::vector<SectorRun>& runs(Finding kind) const { return kinds_[static_cast<std::size_t>(kind)].runs; }
    // Runs of the kind not kept.
    std::size_t runsLeftOut(Finding kind) const { return kinds_[static_cast<std::size_t>(kind)].runsLeftOut; }

    // One line per kind found: "d88convert: 16 sectors missing, filled with
    // zeros: track 3 R 1-16, ... and 4 more", at most runsShown runs each.
    std::string lines(const char* program, std::size_t runsShown) const;

private:
    struct Kind {
        std::size_t count = 0;
        std::vector<SectorRun> runs;
        std::size_t runsLeftOut = 0;
    };
    static void joinLastTwo(Kind& kind);

    Kind kinds_[kFindingKinds];
};

#endif
