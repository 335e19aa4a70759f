#include "anomalies.h"
#include "report_words.h"

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

// Where track table entry t lies in its disk's header.
long long entryOffset(int t)
{
    return d88format::kTrackTableOffset + static_cast<long long>(d88format::kTrackEntrySize) * t;
}

constexpr int kShortHeader = d88format::kShortDiskHeaderSize;

std::string idText(const SectorRecord& record)
{
    return format("C %d H %d R %d N %d", record.id.c, record.id.h, record.id.r, record.id.n);
}

}  // namespace

void AnomalyList::add(Anomaly anomaly)
{
    damage_ += anomaly.damage ? 1 : 0;
    if (items_.size() >= kLimit) {
        ++leftOut_;
        return;
    }
    items_.push_back(std::move(anomaly));
}

void AnomalyList::add(AnomalyKind kind, std::string message, int disk, int track, long long position)
{
    const AnomalyKindRow& row = anomalyKind(kind);
    add({row.key, row.damage, std::move(message), disk, track, position});
}

void TrackChecker::begin(int track)
{
    track_ = track;
    seen_.visited = 0;
    seen_.firstCount = -1;
    seen_.nextHeader = 0;
    seen_.swapped = 0;
    seen_.swapConfirmed = false;
    seen_.trackEnd = 0;
    // What a tally holds beside its count is read only when it counts.
    for (Tally* tally : {&seen_.countMismatch, &seen_.lengthMismatch, &seen_.longSector, &seen_.duplicate,
                         &seen_.shortSector, &seen_.empty, &seen_.badStatus, &seen_.deleted, &seen_.zeroCount}) {
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

// Whether a record is the track's own: past a swapped count that the
// records bear out, the walk meets other tracks' records.
bool TrackChecker::ownRecord(const SectorRecord& record, std::size_t index)
{
    if (index == 0) {
        seen_.firstCount = record.count;
        seen_.firstId = record.id;
        seen_.swapped = (record.count & 0xFF) == 0 ? static_cast<std::size_t>(record.count >> 8) : 0;
        return true;
    }
    if (seen_.swapConfirmed) {
        return false;
    }
    if (seen_.swapped == 0) {
        return true;
    }
    const bool sameTrack = record.id.c == seen_.firstId.c && record.id.h == seen_.firstId.h;
    if (index < seen_.swapped) {
        if (!sameTrack || record.count != seen_.firstCount) {
            seen_.swapped = 0;
        }
        return true;
    }
    seen_.swapConfirmed = !sameTrack;
    seen_.swapped = sameTrack ? 0 : seen_.swapped;
    return !seen_.swapConfirmed;
}

void TrackChecker::record(const RecordFacts& facts)
{
    const SectorRecord& record = facts.record;
    const std::size_t index = seen_.visited++;
    seen_.nextHeader = record.position + d88format::kRecordHeaderSize + static_cast<std::uint64_t>(record.length);
    if (!ownRecord(record, index)) {
        return;
    }
    seen_.trackEnd = seen_.nextHeader;
    if (index > 0 && record.count != seen_.firstCount) {
        note(seen_.countMismatch, record);
    }
    if (record.count == 0) {
        note(seen_.zeroCount, record);
    }
    const long long nominal = nominalSize(record.id.n);
    if (record.length != 0 && (record.length < nominal || nominal < 0)) {
        note(seen_.lengthMismatch, record);
    } else if (record.length > nominal) {
        note(seen_.longSector, record);
    }
    ids_.push_back({(std::uint32_t{record.id.c} << 24) | (std::uint32_t{record.id.h} << 16) |
                        (std::uint32_t{record.id.r} << 8) | record.id.n,
                    index, record.position});
    if (facts.present < static_cast<std::uint32_t>(record.length)) {
        note(seen_.shortSector, record, facts.present);
    }
    if (record.length == 0) {
        note(seen_.empty, record);
    }
    if (readBadly(record)) {
        note(seen_.badStatus, record);
    }
    if (deletedData(record)) {
        note(seen_.deleted, record);
    }
}

// A record whose ID an earlier record of the track already carries: by
// comparing each with those before it on a track of ordinary length, by
// sorting on a long one.
void TrackChecker::close()
{
    constexpr std::size_t kShortTrack = 32;
    // A swapped count whose records the walk met all, and no more.
    if (seen_.swapped != 0 && !seen_.swapConfirmed && seen_.visited == seen_.swapped) {
        seen_.swapConfirmed = true;
    }
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

void TrackChecker::add(AnomalyList& anomalies, AnomalyKind kind, const std::string& message, long long position) const
{
    anomalies.add(kind, format("disk %d track %d: ", disk_.index, track_) + message, disk_.index, track_, position);
}

// Why the walk ended, where that is damage.
void TrackChecker::walkEnd(const TrackFacts& track, AnomalyList& anomalies)
{
    const std::uint64_t start = disk_.offset + track.offset;
    switch (track.end) {
    case WalkEnd::EndOfFile: {
        const std::uint64_t header = seen_.visited == 0 ? start : seen_.nextHeader;
        add(anomalies, AnomalyKind::WalkPastEndOfFile,
            format("after %zu %s the walk needs a record header at 0x%llx, which the file does not hold whole",
                   seen_.visited, seen_.visited == 1 ? "record" : "records", static_cast<unsigned long long>(header)),
            static_cast<long long>(header));
        break;
    }
    case WalkEnd::Limit:
        add(anomalies, AnomalyKind::WalkLimit,
            format("its records never reach their sector count; the walk stops after %zu records", seen_.visited),
            static_cast<long long>(start));
        break;
    case WalkEnd::ZeroCount:
        add(anomalies, AnomalyKind::ZeroCount,
            format("record %zu (%s) has a sector count of 0, which ends every search by ID there: it cannot be "
                   "read",
                   seen_.zeroCount.firstIndex, idText(seen_.zeroCount.first).c_str()),
            static_cast<long long>(seen_.zeroCount.first.position));
        break;
    default:
        break;
    }
}

void TrackChecker::finish(const TrackFacts& track, AnomalyList& anomalies)
{
    const std::uint64_t start = disk_.offset + track.offset;
    const long long tableEntry = static_cast<long long>(disk_.offset) + entryOffset(track_);
    if (!track.usable) {
        add(anomalies, AnomalyKind::TrackOffsetOutOfRange,
            format("its offset 0x%x lies beyond the disk's size of %u bytes; the track is not read", track.offset,
                   disk_.size),
            tableEntry);
        return;
    }
    if (track.offset < static_cast<std::uint32_t>(disk_.headerSize)) {
        add(anomalies, AnomalyKind::TrackOffsetInHeader,
            format("its offset 0x%x points into the disk's own header", track.offset), tableEntry);
    }
    if (start >= fileSize_) {
        return;  // lost to the end of the file: told once for the whole disk
    }
    const auto at = [](const Tally& tally) { return static_cast<long long>(tally.first.position); };
    if (seen_.swapConfirmed) {
        add(anomalies, AnomalyKind::ByteSwappedCount,
            format("its sector count is stored with its bytes swapped (0x%04x for %zu), as old converters wrote it: "
                   "its %zu records are read; a search for a sector it lacks runs on past it",
                   static_cast<unsigned>(seen_.firstCount), seen_.swapped, seen_.swapped),
            static_cast<long long>(start));
    } else {
        walkEnd(track, anomalies);
    }
    if (seen_.countMismatch.count > 0) {
        add(anomalies, AnomalyKind::CountMismatch,
            format("its records disagree on the sector count: %d at the first record, %d at record %zu", seen_.firstCount,
                   seen_.countMismatch.first.count, seen_.countMismatch.firstIndex),
            at(seen_.countMismatch));
    }
    if (seen_.lengthMismatch.count > 0) {
        add(anomalies, AnomalyKind::LengthMismatch,
            counted(seen_.lengthMismatch.count, "record holds", "records hold") +
                format(" less data than 128 << N (the first, %s, holds %d bytes)",
                       idText(seen_.lengthMismatch.first).c_str(), seen_.lengthMismatch.first.length),
            at(seen_.lengthMismatch));
    }
    if (seen_.duplicate.count > 0) {
        add(anomalies, AnomalyKind::DuplicateId,
            counted(seen_.duplicate.count, "record repeats", "records repeat") +
                format(" the ID of an earlier one (the first, record %zu, %s); a read by ID finds only the earlier",
                       seen_.duplicate.firstIndex, idText(seen_.duplicate.first).c_str()),
            at(seen_.duplicate));
    }
    if (seen_.shortSector.count > 0) {
        add(anomalies, AnomalyKind::ShortSector,
            format("the file ends inside a sector's data: %s claims %d data bytes; the file holds %u",
                   idText(seen_.shortSector.first).c_str(), seen_.shortSector.first.length, seen_.shortSector.present),
            at(seen_.shortSector));
    }
    if (seen_.badStatus.count > 0) {
        add(anomalies, AnomalyKind::BadStatus,
            counted(seen_.badStatus.count, "record carries", "records carry") +
                format(" a controller status that says the disk read badly when it was dumped (the first, %s: "
                       "0x%02x, %s)",
                       idText(seen_.badStatus.first).c_str(), seen_.badStatus.first.status,
                       statusMeaning(seen_.badStatus.first.status)),
            at(seen_.badStatus));
    }
    const std::uint64_t recordsEnd = seen_.swapConfirmed ? seen_.trackEnd : seen_.nextHeader;
    if (seen_.visited > 0 && recordsEnd > disk_.offset + disk_.size &&
        (seen_.swapConfirmed || track.end != WalkEnd::EndOfFile)) {
        add(anomalies, AnomalyKind::RecordsBeyondDisk,
            format("its records run past the disk's end at 0x%llx, to 0x%llx",
                   static_cast<unsigned long long>(disk_.offset + disk_.size),
                   static_cast<unsigned long long>(recordsEnd)),
            static_cast<long long>(disk_.offset + disk_.size));
    }
    if (seen_.longSector.count > 0) {
        add(anomalies, AnomalyKind::LongSector,
            counted(seen_.longSector.count, "record holds", "records hold") +
                format(" more data than 128 << N (the first, %s, holds %d bytes), as dumps of long sectors do; "
                       "a read takes the first 128 << N",
                       idText(seen_.longSector.first).c_str(), seen_.longSector.first.length),
            at(seen_.longSector));
    }
    if (seen_.empty.count > 0) {
        add(anomalies, AnomalyKind::EmptySector,
            counted(seen_.empty.count, "record has", "records have") +
                format(" no data (the first, %s); it reads as missing", idText(seen_.empty.first).c_str()),
            at(seen_.empty));
    }
    if (seen_.deleted.count > 0) {
        add(anomalies, AnomalyKind::DeletedData,
            counted(seen_.deleted.count, "record carries", "records carry") +
                format(" the deleted-data mark, or the status 0x10 that says so (the first, %s)",
                       idText(seen_.deleted.first).c_str()),
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

void DiskChecker::notTrack(int entry)
{
    if (entry < disk_.trackEntries) {
        unused_.push_back(entry);
    }
}

void DiskChecker::finish(AnomalyList& anomalies)
{
    const int d = disk_.index;
    const long long at = static_cast<long long>(disk_.offset);
    if (disk_.headerSize != d88format::kDiskHeaderSize) {
        anomalies.add(AnomalyKind::ShortHeader,
                       format("disk %d: its header is the %d-byte variant, with %d track entries and track 0 at "
                              "0x%x; the bytes of entries %d-%d are its first record's, not read as tracks",
                              d, kShortHeader, tableEntries(kShortHeader), kShortHeader, tableEntries(kShortHeader),
                              d88format::kTrackCount - 1),
                       d, -1, at + disk_.headerSize);
    }
    if (!unused_.empty()) {
        anomalies.add(AnomalyKind::UnusedEntries,
                       format("disk %d: track-table entr%s ", d, unused_.size() == 1 ? "y" : "ies") +
                           trackRanges(unused_) +
                           format(" hold%s the disk's size, 0x%x, where no track starts, as some tools mark entries "
                                  "not used; not read as tracks",
                                  unused_.size() == 1 ? "s" : "", disk_.size),
                       d, -1, at + entryOffset(unused_.front()));
    }
    if (disk_.size == 0) {
        anomalies.add(AnomalyKind::DiskSizeZero,
                       format("disk %d: its size is 0, so the chain of disks stands still and indexes it again "
                              "up to the limit of 64 disks",
                              d),
                       d, -1, at + d88format::kDiskSizeOffset);
    } else if (disk_.size < static_cast<std::uint32_t>(disk_.headerSize)) {
        anomalies.add(AnomalyKind::DiskSizeShort,
                       format("disk %d: its size, %u bytes, is less than its own %d-byte header, so the next disk "
                              "starts inside it",
                              d, disk_.size, disk_.headerSize),
                       d, -1, at + d88format::kDiskSizeOffset);
    }
    if (disk_.bytesPresent < disk_.size && anyUsable_ && lost_.empty() && cut_.empty()) {
        // Only the last disk can reach past the file, and a reader of it
        // misses nothing when every track lies whole inside.
        anomalies.add(AnomalyKind::SizeBeyondFile,
                       format("disk %d: its size says %u bytes, %llu more than the file holds; every track lies "
                              "whole in the file",
                              d, disk_.size, static_cast<unsigned long long>(disk_.size - disk_.bytesPresent)),
                       d, -1, at + d88format::kDiskSizeOffset);
    } else if (disk_.bytesPresent < disk_.size) {
        std::string message = format("disk %d: the file ends %llu bytes into it, where its size says %u", d,
                                     static_cast<unsigned long long>(disk_.bytesPresent), disk_.size);
        if (!lost_.empty()) {
            message += "; lost: track" + std::string(lost_.size() > 1 ? "s " : " ") + trackRanges(lost_);
        }
        if (!cut_.empty()) {
            message += "; cut short: track" + std::string(cut_.size() > 1 ? "s " : " ") + trackRanges(cut_);
        }
        anomalies.add(AnomalyKind::Truncated, message, d, -1, static_cast<long long>(fileSize_));
    }
    // A table that names no track at all is a blank, unformatted disk, as
    // the field's tools write one: nothing to read, and nothing lost.
    if (!anyTrack_) {
        anomalies.add(AnomalyKind::BlankDisk, format("disk %d: its track table names no track: a blank disk", d), d, -1,
                       at + d88format::kTrackTableOffset);
    } else if (!anyUsable_) {
        anomalies.add(AnomalyKind::NoTracks,
                       format("disk %d: no track has an offset within the disk's size, so nothing can be read "
                              "from it",
                              d),
                       d, -1, at + d88format::kTrackTableOffset);
    }
}

void checkRepeatedDisk(const DiskFacts& disk, AnomalyList& anomalies)
{
    anomalies.add(AnomalyKind::DiskRepeated,
                   format("disk %d: disk %d again, at 0x%llx: that disk's size is 0, so the chain of disks stands "
                          "still there",
                          disk.index, disk.sameAs, static_cast<unsigned long long>(disk.offset)),
                   disk.index, -1, static_cast<long long>(disk.offset));
}

void checkImage(const ImageFacts& image, const ImageEnd& imageEnd, AnomalyList& anomalies)
{
    if (image.diskCount == 0) {
        anomalies.add(AnomalyKind::NoDisks,
                       format("the file's %llu bytes hold no whole %d-byte disk header: it is no D88 image, or "
                              "one cut short before its first disk",
                              static_cast<unsigned long long>(image.size), d88format::kDiskHeaderSize),
                       -1, -1, 0);
        return;
    }
    if (imageEnd.lastDisk < 0) {
        anomalies.add(AnomalyKind::NoDisks,
                      format("the file's first %d bytes are zero: it holds no disk header", d88format::kDiskHeaderSize),
                      -1, -1, 0);
        return;
    }
    if (image.size <= imageEnd.end) {
        return;
    }
    const unsigned long long bytes = image.size - imageEnd.end;
    const unsigned long long end = imageEnd.end;
    const long long position = static_cast<long long>(end);
    if (imageEnd.zeros) {
        std::string message =
            format("%llu zero bytes follow the end of the last disk (disk %d) at 0x%llx", bytes, imageEnd.lastDisk, end);
        if (imageEnd.blankDisks > 0) {
            message += format("; the chain of disks takes them for %d empty disk %s (disk%s %d%s)", imageEnd.blankDisks,
                              imageEnd.blankDisks == 1 ? "header" : "headers", imageEnd.blankDisks == 1 ? "" : "s",
                              imageEnd.lastDisk + 1,
                              imageEnd.blankDisks == 1
                                  ? ""
                                  : format("-%d", imageEnd.lastDisk + imageEnd.blankDisks).c_str());
        }
        anomalies.add(AnomalyKind::TrailingZeros, message, -1, -1, position);
    } else if (bytes < static_cast<unsigned long long>(d88format::kDiskHeaderSize)) {
        anomalies.add(AnomalyKind::TrailingBytes,
                       format("%llu bytes follow the end of the last disk (disk %d) at 0x%llx, too few for another "
                              "disk header: nothing reads them",
                              bytes, imageEnd.lastDisk, end),
                       -1, -1, position);
    } else {
        std::string message = format("%llu bytes follow the end of the last disk (disk %d) at 0x%llx", bytes,
                                     imageEnd.lastDisk, end);
        if (imageEnd.blankDisks > 0) {
            message += "; the chain of disks stands still at an empty header there, so nothing after it is read";
        } else if (image.diskCount == 64) {
            message += "; the chain of disks stops at 64";
        }
        anomalies.add(AnomalyKind::TrailingData, message, -1, -1, position);
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
