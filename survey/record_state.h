// What a record holds, judged once for every report: the map colours each
// record by it and the JSON report lists it beside the record. A record has
// one state, the first of these that applies.
#ifndef D88INFO_RECORD_STATE_H
#define D88INFO_RECORD_STATE_H

#include "image_facts.h"

#include <cstddef>
#include <vector>

enum class RecordState : unsigned char {
    Missing,    // the file ends before the record's data
    Short,      // the file ends inside the record's data
    BadStatus,  // the controller status says the sector read badly when dumped
    Duplicate,  // an earlier record of the track has the same C, H, R and N
    Deleted,    // the deleted-data mark, or the status that says so
    Empty,      // the data length is 0
    OddLength,  // the data length is not 128 << N
    Whole,
};
constexpr std::size_t kRecordStateCount = 8;

// "missing", "short", "bad-status", "duplicate", "deleted", "empty",
// "odd-length", "whole".
const char* stateName(RecordState state);

// The state of each of the first count records of a track, in stored
// order (a record's state depends only on the records before it); states
// is overwritten.
void recordStates(const RecordFacts* records, std::size_t count, std::vector<RecordState>& states);

#endif
