// The records of one track of a reader's current disk, walked once and
// kept, so that reading each sector of a track costs one walk of it rather
// than one per sector. The walk is the reader's own (walkTrack), so at most
// 65,536 records are kept; only the records a search by ID can reach count
// (the walk's last record, when its sector count of 0 ended it, does not).
#ifndef BLOCKS_TRACK_RECORDS_H
#define BLOCKS_TRACK_RECORDS_H

#include <d88image/d88image.h>

#include <vector>

class TrackRecords {
public:
    // Walks track of the reader's current disk, unless it is the track last
    // walked since forget().
    void load(D88Image& reader, int track);
    // Drops what is kept: the next load walks again (after selectDisk).
    void forget() { track_ = -1; }

    const std::vector<SectorRecord>& records() const { return records_; }
    WalkEnd end() const { return end_; }

    // The first record whose ID is id, as the reader's readSector finds it;
    // -1 when there is none.
    int find(SectorId id) const;
    // The first record numbered r of size code n, preferring one whose C and
    // H are c and h; else the first numbered r of any size code; -1 when no
    // record is numbered r.
    int findSector(int c, int h, int r, int n) const;
    // How many records have the ID of record index.
    int sameId(int index) const;

private:
    // Indices of records_ grouped by R, in stored order within each group:
    // those numbered r are byR_[first_[r]] .. byR_[first_[r + 1] - 1]. A
    // search looks at the records of one number only, so reading every
    // sector of a track costs one pass over its records however many it has.
    void group();

    std::vector<SectorRecord> records_;
    std::vector<int> byR_;
    int first_[257] = {};
    WalkEnd end_ = WalkEnd::Unusable;
    int track_ = -1;
};

#endif
