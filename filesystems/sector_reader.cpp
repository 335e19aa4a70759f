#include "sector_reader.h"

#include <algorithm>

namespace {

// A read by ID takes no geometry: each file system brings its own to place
// its sectors. The block disk is given the least valid one.
BlockGeometry byIdOnly() { return BlockGeometry::uniform(1, 1, 1, 0); }

SectorFault faultOf(const SectorSource& source, int wanted)
{
    if ((source.flags & (kSectorMissing | kSectorOtherSize)) != 0 || (source.held == 0 && wanted > 0)) {
        return SectorFault::Missing;
    }
    if (source.held < wanted) {
        return SectorFault::Short;
    }
    if (source.flags & kSectorBadStatus) {
        return SectorFault::BadStatus;
    }
    return source.flags & kSectorDeleted ? SectorFault::Deleted : SectorFault::None;
}

}  // namespace

const char* faultName(SectorFault fault)
{
    switch (fault) {
    case SectorFault::None:
        return "";
    case SectorFault::Missing:
        return "missing";
    case SectorFault::Short:
        return "short";
    case SectorFault::BadStatus:
        return "bad-status";
    case SectorFault::Deleted:
        return "deleted";
    }
    return "";
}

BlockSectors::BlockSectors(D88Image& image) : disk_(image, byIdOnly()) {}

SectorRead BlockSectors::read(const SectorPlace& place, unsigned char* dest, int max)
{
    if (place.track < 0 || max <= 0) {
        return {0, SectorFault::Missing};
    }
    const SectorId id{static_cast<unsigned char>(place.c), static_cast<unsigned char>(place.h),
                      static_cast<unsigned char>(place.r), static_cast<unsigned char>(place.n)};
    const SectorSource source = disk_.readById(place.track, id, dest, static_cast<std::size_t>(max));
    // A sector is whole when the file holds as many of its bytes as asked
    // for, up to its size code's.
    const int wanted = std::min(max, 128 << std::min(place.n, 7));
    return {source.held, faultOf(source, wanted), source.found ? source.record.position : 0};
}

SectorPlace placeOf(const BlockGeometry& geometry, long long k)
{
    SectorPlace place;
    if (!locateSector(geometry, k, place)) {
        place.track = -1;
    }
    return place;
}
