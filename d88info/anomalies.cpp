#include "anomalies.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace {

// MinGW's C library formats as the C standard says only when asked to, and
// says which way its headers chose.
#if defined(__MINGW_PRINTF_FORMAT)
#define D88_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define D88_PRINTF_FORMAT printf
#endif

std::string format(const char* pattern, ...) __attribute__((format(D88_PRINTF_FORMAT, 1, 2)));

std::string format(const char* pattern, ...)
{
    char text[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

std::string idText(const SectorRecord& record)
{
    return format("C %d H %d R %d N %d", record.id.c, record.id.h, record.id.r, record.id.n);
}

std::string plural(std::size_t count, const char* one, const char* many)
{
    return format("%zu %s", count, count == 1 ? one : many);
}

}  // namespace

void AnomalyList::add(Anomaly anomaly)
{
    anyDamage_ = anyDamage_ || anomaly.damage;
    if (items_.size() >= kLimit) {
        ++leftOut_;
        return;
    }
    items_.push_back(std::move(anomaly));
}

void TrackChecker::begin(int track)
{
    track_ = track;
    seen_.visited = 0;
    seen_.firstCount = -1;
    seen_.nextHeader = 0;
    // What a tally holds beside its count is read only when it counts.
    for (Tally* tally : {&seen_.countMismatch, &seen_.lengthMismatch, &seen_.duplicate, &seen_.shortSector,
                         &seen_.empty, &seen_.badStatus, &seen_.deleted, &seen_.zeroCount}) {
        tally->count = 0;
    }
    ids_.clear();
}

void TrackChecker::adopt(int track, const Seen& seen)
{
    track_ = track;
    seen_ = seen;
    ids_.clear();
}

void TrackChecker::note(Tally& tally, const SectorRecord& record, std::uint32_t present)
{
    if (tally.count++ == 0) {
        tally.first = record;
        tally.firstIndex = seen_.visited - 1;
        tally.present = present;
    }
}

void TrackChecker::record(const RecordFacts& facts)
{
    const SectorRecord& record = facts.record;
    ++seen_.visited;
    seen_.nextHeader = record.position + 16 + static_cast<std::uint64_t>(record.length);
    if (seen_.firstCount < 0) {
        seen_.firstCount = record.count;
    } else if (record.count != seen_.firstCount) {
        note(seen_.countMismatch, record);
    }
    if (record.count == 0) {
        note(seen_.zeroCount, record);
    }
    const long long nominal = record.id.n < 16 ? 128LL << record.id.n : -1;
    if (record.length != 0 && record.length != nominal) {
        note(seen_.lengthMismatch, record);
    }
    ids_.push_back({(std::uint32_t{record.id.c} << 24) | (std::uint32_t{record.id.h} << 16) |
                        (std::uint32_t{record.id.r} << 8) | record.id.n,
                    seen_.visited - 1, record.position});
    if (facts.present < static_cast<std::uint32_t>(record.length)) {
        note(seen_.shortSector, record, facts.present);
    }
    if (record.length == 0) {
        note(seen_.empty, record);
    }
    if (record.status != 0) {
        note(seen_.badStatus, record);
    }
    if (record.deleted != 0) {
        note(seen_.deleted, record);
    }
}

// A record whose ID an earlier record of the track already carries: by
// comparing each with those before it on a track of ordinary length, by
// sorting on a long one.
void TrackChecker::close()
{
    constexpr std::size_t kShortTrack = 32;
    const Placed* first = nullptr;
    Tally& duplicate = seen_.duplicate;
    if (ids_.size() <= kShortTrack) {
        for (std::size_t i = 1; i < ids_.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                if (ids_[j].id == ids_[i].id) {
                    ++duplicate.count;
                    first = first == nullptr ? &ids_[i] : first;
                    break;
                }
            }
        }
    } else {
        std::sort(ids_.begin(), ids_.end());
        for (std::size_t i = 1; i < ids_.size(); ++i) {
            if (ids_[i].id == ids_[i - 1].id) {
                ++duplicate.count;
                if (first == nullptr || ids_[i].place < first->place) {
                    first = &ids_[i];
                }
            }
        }
    }
    if (first != nullptr) {
        duplicate.firstIndex = first->place;
        duplicate.first.position = first->position;
        duplicate.first.id = {static_cast<unsigned char>(first->id >> 24), static_cast<unsigned char>(first->id >> 16),
                              static_cast<unsigned char>(first->id >> 8), static_cast<unsigned char>(first->id)};
    }
    ids_.clear();
}

void TrackChecker::add(AnomalyList& anomalies, const char* kind, bool damage, const std::string& message,
                       long long position) const
{
    anomalies.add({kind, damage, format("disk %d track %d: ", disk_.index, track_) + message, disk_.index, track_,
                   position});
}

void TrackChecker::finish(const TrackFacts& track, AnomalyList& anomalies)
{
    const std::uint64_t start = disk_.offset + track.offset;
    const long long tableEntry = static_cast<long long>(disk_.offset) + 0x20 + 4LL * track_;
    if (!track.usable) {
        add(anomalies, "track-offset-out-of-range", true,
            format("its offset 0x%x lies beyond the disk's size of %u bytes; the track is not read", track.offset,
                   disk_.size),
            tableEntry);
        return;
    }
    if (track.offset < 0x2B0) {
        add(anomalies, "track-offset-in-header", true,
            format("its offset 0x%x points into the disk's own header", track.offset), tableEntry);
    }
    if (start >= fileSize_) {
        return;  // lost to the end of the file: told once for the whole disk
    }
    const auto at = [](const Tally& tally) { return static_cast<long long>(tally.first.position); };
    switch (track.end) {
    case WalkEnd::EndOfFile: {
        const std::uint64_t header = seen_.visited == 0 ? start : seen_.nextHeader;
        add(anomalies, "walk-past-end-of-file", true,
            format("after %zu %s the walk needs a record header at 0x%llx, which the file does not hold whole",
                   seen_.visited, seen_.visited == 1 ? "record" : "records", static_cast<unsigned long long>(header)),
            static_cast<long long>(header));
        break;
    }
    case WalkEnd::Limit:
        add(anomalies, "walk-limit", true,
            format("its records never reach their sector count; the walk stops after %zu records", seen_.visited),
            static_cast<long long>(start));
        break;
    case WalkEnd::ZeroCount:
        add(anomalies, "zero-count", true,
            format("record %zu (%s) has a sector count of 0, which ends every search by ID there: it cannot be "
                   "read",
                   seen_.zeroCount.firstIndex, idText(seen_.zeroCount.first).c_str()),
            at(seen_.zeroCount));
        break;
    default:
        break;
    }
    if (seen_.countMismatch.count > 0) {
        add(anomalies, "count-mismatch", true,
            format("its records disagree on the sector count: %d at the first record, %d at record %zu", seen_.firstCount,
                   seen_.countMismatch.first.count, seen_.countMismatch.firstIndex),
            at(seen_.countMismatch));
    }
    if (seen_.lengthMismatch.count > 0) {
        add(anomalies, "length-mismatch", true,
            plural(seen_.lengthMismatch.count, "record holds", "records hold") +
                format(" a data length other than 128 << N (the first, %s, holds %d bytes)",
                       idText(seen_.lengthMismatch.first).c_str(), seen_.lengthMismatch.first.length),
            at(seen_.lengthMismatch));
    }
    if (seen_.duplicate.count > 0) {
        add(anomalies, "duplicate-id", true,
            plural(seen_.duplicate.count, "record repeats", "records repeat") +
                format(" the ID of an earlier one (the first, record %zu, %s); a read by ID finds only the earlier",
                       seen_.duplicate.firstIndex, idText(seen_.duplicate.first).c_str()),
            at(seen_.duplicate));
    }
    if (seen_.shortSector.count > 0) {
        add(anomalies, "short-sector", true,
            format("the file ends inside a sector's data: %s claims %d data bytes; the file holds %u",
                   idText(seen_.shortSector.first).c_str(), seen_.shortSector.first.length, seen_.shortSector.present),
            at(seen_.shortSector));
    }
    if (seen_.badStatus.count > 0) {
        add(anomalies, "bad-status", true,
            plural(seen_.badStatus.count, "record carries", "records carry") +
                format(" a controller status other than 0, a read error when the disk was dumped (the first, %s: "
                       "0x%02x)",
                       idText(seen_.badStatus.first).c_str(), seen_.badStatus.first.status),
            at(seen_.badStatus));
    }
    if (seen_.visited > 0 && seen_.nextHeader > disk_.offset + disk_.size && track.end != WalkEnd::EndOfFile) {
        add(anomalies, "records-beyond-disk", true,
            format("its records run past the disk's end at 0x%llx, to 0x%llx",
                   static_cast<unsigned long long>(disk_.offset + disk_.size),
                   static_cast<unsigned long long>(seen_.nextHeader)),
            static_cast<long long>(disk_.offset + disk_.size));
    }
    if (seen_.empty.count > 0) {
        add(anomalies, "empty-sector", false,
            plural(seen_.empty.count, "record has", "records have") +
                format(" no data (the first, %s); it reads as missing", idText(seen_.empty.first).c_str()),
            at(seen_.empty));
    }
    if (seen_.deleted.count > 0) {
        add(anomalies, "deleted-data", false,
            plural(seen_.deleted.count, "record carries", "records carry") +
                format(" the deleted-data mark (the first, %s)", idText(seen_.deleted.first).c_str()),
            at(seen_.deleted));
    }
}

void DiskChecker::track(const TrackFacts& track)
{
    anyTrack_ = true;
    if (!track.usable) {
        return;
    }
    anyUsable_ = true;
    const std::uint64_t start = disk_.offset + track.offset;
    if (start >= fileSize_) {
        lost_.push_back(track.index);
    } else if (track.cutShort) {
        cut_.push_back(track.index);
    }
}

void DiskChecker::finish(AnomalyList& anomalies)
{
    const int d = disk_.index;
    const long long at = static_cast<long long>(disk_.offset);
    if (disk_.size == 0) {
        anomalies.add({"disk-size-zero", true,
                       format("disk %d: its size is 0, so the chain of disks stands still and indexes it again "
                              "up to the limit of 64 disks",
                              d),
                       d, -1, at + 0x1C});
    } else if (disk_.size < 0x2B0) {
        anomalies.add({"disk-size-short", true,
                       format("disk %d: its size, %u bytes, is less than its own 688-byte header, so the next disk "
                              "starts inside it",
                              d, disk_.size),
                       d, -1, at + 0x1C});
    }
    if (disk_.bytesPresent < disk_.size) {
        std::string message = format("disk %d: the file ends %llu bytes into it, where its size says %u", d,
                                     static_cast<unsigned long long>(disk_.bytesPresent), disk_.size);
        if (!lost_.empty()) {
            message += "; lost: track" + std::string(lost_.size() > 1 ? "s " : " ") + trackRanges(lost_);
        }
        if (!cut_.empty()) {
            message += "; cut short: track" + std::string(cut_.size() > 1 ? "s " : " ") + trackRanges(cut_);
        }
        anomalies.add({"truncated", true, message, d, -1, static_cast<long long>(fileSize_)});
    }
    // A table that names no track at all is a blank, unformatted disk, as
    // the field's tools write one: nothing to read, and nothing lost.
    if (!anyTrack_) {
        anomalies.add({"no-tracks", false, format("disk %d: its track table names no track: a blank disk", d), d, -1,
                       at + 0x20});
    } else if (!anyUsable_) {
        anomalies.add({"no-tracks", true,
                       format("disk %d: no track has an offset within the disk's size, so nothing can be read "
                              "from it",
                              d),
                       d, -1, at + 0x20});
    }
}

void checkImage(const ImageFacts& image, std::uint64_t endOfLastDisk, AnomalyList& anomalies)
{
    if (image.diskCount == 0) {
        anomalies.add({"no-disks", true,
                       format("the file's %llu bytes hold no whole 688-byte disk header: it is no D88 image, or "
                              "one cut short before its first disk",
                              static_cast<unsigned long long>(image.size)),
                       -1, -1, 0});
        return;
    }
    if (image.size > endOfLastDisk) {
        std::string message = format("%llu bytes follow the end of the last disk (disk %d) at 0x%llx",
                                     static_cast<unsigned long long>(image.size - endOfLastDisk),
                                     image.diskCount - 1, static_cast<unsigned long long>(endOfLastDisk));
        if (image.diskCount == 64) {
            message += "; the chain of disks stops at 64";
        } else if (image.size - endOfLastDisk < 0x2B0) {
            message += ", too few for another disk header";
        }
        anomalies.add({"trailing-data", true, message, -1, -1, static_cast<long long>(endOfLastDisk)});
    }
}

std::string trackRanges(const std::vector<int>& tracks)
{
    std::string text;
    for (std::size_t i = 0; i < tracks.size();) {
        std::size_t j = i;
        while (j + 1 < tracks.size() && tracks[j + 1] == tracks[j] + 1) {
            ++j;
        }
        if (!text.empty()) {
            text += ", ";
        }
        text += j == i ? format("%d", tracks[i]) : format("%d-%d", tracks[i], tracks[j]);
        i = j + 1;
    }
    return text;
}
