#include "block_disk.h"

#include <algorithm>
#include <cstring>

namespace {

// The same rules as the survey's: status 0x10 says the controller met the
// deleted-data mark and the sector read well.
unsigned recordFlags(const SectorRecord& record)
{
    unsigned flags = 0;
    if (record.status != 0 && record.status != 0x10) {
        flags |= kSectorBadStatus;
    }
    if (record.deleted != 0 || record.status == 0x10) {
        flags |= kSectorDeleted;
    }
    return flags;
}

}  // namespace

const TrackRecords& BlockDisk::records(int track)
{
    records_.load(reader_, track);
    return records_;
}

SectorSource BlockDisk::read(long long k, unsigned char* dest, std::size_t capacity)
{
    SectorPlace place;
    if (!locateSector(geometry_, k, place)) {
        SectorSource none;
        none.flags = kSectorMissing;
        return none;
    }
    const std::size_t nominal = static_cast<std::size_t>(geometry_.sectorBytes(place.track));
    const SectorId sought{static_cast<unsigned char>(place.c), static_cast<unsigned char>(place.h),
                          static_cast<unsigned char>(place.r), static_cast<unsigned char>(place.n)};
    records_.load(reader_, place.track);
    return take(place.track, sought, records_.findSector(place.c, place.h, place.r, place.n), dest,
                {nominal, std::min(capacity, nominal)});
}

SectorSource BlockDisk::readById(int track, SectorId id, unsigned char* dest, std::size_t capacity)
{
    records_.load(reader_, track);
    // No data length reaches the size of a code past 9: 128 << 15 stands for all.
    const std::size_t nominal = static_cast<std::size_t>(128) << std::min<int>(id.n, 15);
    return take(track, id, records_.find(id), dest, {nominal, std::min(capacity, nominal)});
}

SectorSource BlockDisk::take(int track, SectorId sought, int index, unsigned char* dest, Span span)
{
    std::memset(dest, 0, span.size);
    SectorSource source;
    source.track = track;
    source.sought = sought;
    if (index < 0) {
        source.flags = kSectorMissing;
        return source;
    }
    const SectorRecord& record = records_.records()[static_cast<std::size_t>(index)];
    source.found = true;
    source.record = record;
    source.flags = recordFlags(record) | (records_.sameId(index) > 1 ? kSectorDuplicate : 0u);
    if (record.id.n != sought.n) {
        source.flags |= kSectorOtherSize;
        return source;
    }
    if (static_cast<std::size_t>(record.length) != span.nominal) {
        source.flags |= kSectorOtherLength;
    }
    const int wanted = static_cast<int>(std::min(span.size, static_cast<std::size_t>(record.length)));
    source.held = reader_.readRecordData(track, record, dest, wanted);
    if (source.held < wanted) {
        source.flags |= kSectorCutShort;
    }
    return source;
}
