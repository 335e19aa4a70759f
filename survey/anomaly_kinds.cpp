#include "anomaly_kinds.h"

namespace {

constexpr AnomalyKindRow kKinds[] = {
    {AnomalyKind::Truncated, "truncated", true,
     "the file ends inside a disk's declared size, and tracks are lost or cut short"},
    {AnomalyKind::SizeBeyondFile, "size-beyond-file", false,
     "a disk's size reaches past the end of the file, but every track lies whole in the file"},
    {AnomalyKind::TrailingZeros, "trailing-zeros", false,
     "zero bytes follow the end of the last disk (the chain may read them as empty disk headers)"},
    {AnomalyKind::TrailingBytes, "trailing-bytes", false,
     "bytes follow the end of the last disk, too few for a disk header: nothing reads them"},
    {AnomalyKind::TrailingData, "trailing-data", true,
     "a disk header's worth of bytes or more, not all zero, follow the last disk the chain reaches"},
    {AnomalyKind::NoDisks, "no-disks", true,
     "the file holds no whole disk header, or only zero bytes where the first should be"},
    {AnomalyKind::DiskSizeZero, "disk-size-zero", true,
     "a disk's size is 0: the chain indexes it again up to 64 times"},
    {AnomalyKind::DiskRepeated, "disk-repeated", true,
     "a disk is an earlier one again, as a size of 0 makes the chain stand still"},
    {AnomalyKind::DiskSizeShort, "disk-size-short", true, "a disk's size is less than its own header"},
    {AnomalyKind::NoTracks, "no-tracks", true, "no track of a disk lies within its size"},
    {AnomalyKind::BlankDisk, "no-tracks", false, "a disk's track table names no track: a blank disk"},
    {AnomalyKind::ShortHeader, "short-header", false,
     "the disk has the 672-byte header of older tools, with 160 track entries"},
    {AnomalyKind::UnusedEntries, "unused-entries", false,
     "track-table entries hold the disk's size, where no track can start; they are not read as tracks"},
    {AnomalyKind::TrackOffsetOutOfRange, "track-offset-out-of-range", true,
     "a track's offset lies beyond its disk's size; it is not read"},
    {AnomalyKind::TrackOffsetInHeader, "track-offset-in-header", true,
     "a track's offset points into the disk's own header"},
    {AnomalyKind::WalkPastEndOfFile, "walk-past-end-of-file", true,
     "the walk over a track needs a record header the file does not hold whole"},
    {AnomalyKind::WalkLimit, "walk-limit", true, "a track's records never reach their sector count"},
    {AnomalyKind::ZeroCount, "zero-count", true, "a record's sector count is 0, which ends every search by ID there"},
    {AnomalyKind::CountMismatch, "count-mismatch", true, "the records of a track disagree on the sector count"},
    {AnomalyKind::ByteSwappedCount, "byte-swapped-count", false,
     "a track's sector count is stored with its bytes swapped, and its records bear that out"},
    {AnomalyKind::LengthMismatch, "length-mismatch", true, "a record holds less data than 128 << N"},
    {AnomalyKind::LongSector, "long-sector", false,
     "a record holds more data than 128 << N; reads take the first 128 << N"},
    {AnomalyKind::DuplicateId, "duplicate-id", true,
     "two records of a track have the same C, H, R and N; the second cannot be read by ID"},
    {AnomalyKind::ShortSector, "short-sector", true, "the end of the file cuts a sector's data short"},
    {AnomalyKind::RecordsBeyondDisk, "records-beyond-disk", true, "a track's records run past the end of its disk"},
    {AnomalyKind::BadStatus, "bad-status", true,
     "a record's controller status says the disk read badly when it was dumped"},
    {AnomalyKind::EmptySector, "empty-sector", false, "a record has no data; it reads as missing"},
    {AnomalyKind::DeletedData, "deleted-data", false,
     "a record carries the deleted-data mark, or the status 0x10 that says so"},
    {AnomalyKind::FileSystemDamage, "file-system-damage", true,
     "a disk's file system is damaged: copies of its allocation table disagree, or its directory or table cannot be read whole"},
    {AnomalyKind::FileDamage, "file-damage", true,
     "a file's entry or chain is faulty: its attribute reads as no type, or its chain of clusters loops, leaves the disk, runs into a free or reserved cluster, is shared with another file, or disagrees with the file's size"},
};

constexpr std::size_t kCount = sizeof kKinds / sizeof kKinds[0];
constexpr bool inKindOrder()
{
    for (std::size_t i = 0; i < kCount; ++i) {
        if (static_cast<std::size_t>(kKinds[i].kind) != i) {
            return false;
        }
    }
    return kCount == static_cast<std::size_t>(AnomalyKind::FileDamage) + 1;
}
static_assert(inKindOrder(), "a row for each kind, in the order of AnomalyKind");

}  // namespace

const AnomalyKindRow& anomalyKind(AnomalyKind kind)
{
    return kKinds[static_cast<std::size_t>(kind)];
}

std::size_t anomalyKindCount()
{
    return kCount;
}

const AnomalyKindRow& anomalyKindAt(std::size_t index)
{
    return kKinds[index];
}

const char* severityName(bool damage)
{
    return damage ? "damage" : "note";
}
