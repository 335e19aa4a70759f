// Judging a listing's files in the course of a walk of the disk, track by
// track: the pieces on a track are read when the walk has just read that
// track, so that the reader still holds it and listing the disk reads the
// image no further. Whatever no track of the walk judged (a piece without a
// place, a track the walk passed over) is judged at the end.
#ifndef FILESYSTEMS_TRACK_JUDGE_H
#define FILESYSTEMS_TRACK_JUDGE_H

#include "file_listing.h"

#include <cstddef>
#include <vector>

class TrackJudge {
public:
    // listing is judged in place and must outlive this object.
    explicit TrackJudge(FileListing& listing);

    // Judges the pieces on track not judged yet.
    void track(SectorReader& disk, int track);

    // Judges every piece not judged yet and settles each file's state.
    void finish(SectorReader& disk);

private:
    struct PieceAt {
        int track;
        std::size_t file;
        std::size_t piece;
        bool judged;
    };
    void judge(SectorReader& disk, PieceAt& at);

    FileListing& listing_;
    std::vector<PieceAt> pieces_;  // in the order of their tracks
};

#endif
