#include "record_state.h"

#include <algorithm>
#include <cstdint>

namespace {

std::uint32_t idKey(const SectorId& id)
{
    return (std::uint32_t{id.c} << 24) | (std::uint32_t{id.h} << 16) | (std::uint32_t{id.r} << 8) | id.n;
}

// Marks each record whose ID an earlier one carries: by comparing with
// those before on a track of ordinary length, by sorting on a long one.
void markDuplicates(const RecordFacts* records, std::size_t count, std::vector<bool>& duplicate)
{
    constexpr std::size_t kShortTrack = 32;
    duplicate.assign(count, false);
    if (count <= kShortTrack) {
        for (std::size_t i = 1; i < count; ++i) {
            const std::uint32_t key = idKey(records[i].record.id);
            for (std::size_t j = 0; j < i && !duplicate[i]; ++j) {
                duplicate[i] = idKey(records[j].record.id) == key;
            }
        }
        return;
    }
    std::vector<std::pair<std::uint32_t, std::size_t>> keys(count);
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = {idKey(records[i].record.id), i};
    }
    std::sort(keys.begin(), keys.end());
    for (std::size_t i = 1; i < count; ++i) {
        if (keys[i].first == keys[i - 1].first) {
            duplicate[keys[i].second] = true;
        }
    }
}

RecordState stateOf(const RecordFacts& facts, bool duplicate)
{
    const SectorRecord& record = facts.record;
    const long long nominal = nominalSize(record.id.n);
    if (record.length > 0 && facts.present == 0) {
        return RecordState::Missing;
    }
    if (facts.present < static_cast<std::uint32_t>(record.length)) {
        return RecordState::Short;
    }
    if (readBadly(record)) {
        return RecordState::BadStatus;
    }
    if (duplicate) {
        return RecordState::Duplicate;
    }
    if (deletedData(record)) {
        return RecordState::Deleted;
    }
    if (record.length == 0) {
        return RecordState::Empty;
    }
    return record.length == nominal ? RecordState::Whole : RecordState::OddLength;
}

}  // namespace

const char* stateName(RecordState state)
{
    static const char* const kNames[kRecordStateCount] = {"missing", "short",  "bad-status", "duplicate",
                                                          "deleted", "empty",  "odd-length", "whole"};
    return kNames[static_cast<std::size_t>(state)];
}

void recordStates(const RecordFacts* records, std::size_t count, std::vector<RecordState>& states)
{
    std::vector<bool> duplicate;
    markDuplicates(records, count, duplicate);
    states.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        states[i] = stateOf(records[i], duplicate[i]);
    }
}
