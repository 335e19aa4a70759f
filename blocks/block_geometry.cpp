#include "block_geometry.h"

#include <d88image/d88_format.h>

namespace {

constexpr int kLargestSizeCode = 7;

bool validLayout(const TrackLayout& layout, int firstR)
{
    return layout.sectors >= 1 && layout.sectors <= 255 && layout.sizeCode >= 0 &&
           layout.sizeCode <= kLargestSizeCode && firstR + layout.sectors - 1 <= 255;
}

std::string layoutWords(const TrackLayout& layout)
{
    return std::to_string(layout.sectors) + " x " + std::to_string(128 << layout.sizeCode);
}

}  // namespace

BlockGeometry BlockGeometry::uniform(int cylinders, int heads, int sectors, int sizeCode, int firstR)
{
    BlockGeometry geometry;
    geometry.cylinders = cylinders;
    geometry.heads = heads;
    geometry.track = {sectors, sizeCode, false};
    geometry.firstTrack = geometry.track;
    geometry.firstR = firstR;
    return geometry;
}

bool BlockGeometry::valid() const
{
    return cylinders >= 1 && cylinders <= 255 && heads >= 1 && heads <= 2 &&
           cylinders * heads <= d88format::kTrackCount && firstR >= 0 && validLayout(track, firstR) &&
           validLayout(firstTrack, firstR);
}

std::uint64_t BlockGeometry::trackBytes(int t) const
{
    return static_cast<std::uint64_t>(layout(t).sectors) * static_cast<std::uint64_t>(sectorBytes(t));
}

std::uint64_t BlockGeometry::totalBytes() const
{
    return tracks() == 0 ? 0 : trackBytes(0) + trackBytes(1) * static_cast<std::uint64_t>(tracks() - 1);
}

long long BlockGeometry::sectorCount() const
{
    return tracks() == 0 ? 0 : firstTrack.sectors + static_cast<long long>(track.sectors) * (tracks() - 1);
}

bool BlockGeometry::operator==(const BlockGeometry& other) const
{
    return cylinders == other.cylinders && heads == other.heads && track == other.track &&
           firstTrack == other.firstTrack && firstR == other.firstR;
}

bool locateSector(const BlockGeometry& geometry, long long k, SectorPlace& place)
{
    if (k < 0 || k >= geometry.sectorCount()) {
        return false;
    }
    if (k < geometry.firstTrack.sectors) {
        place.track = 0;
        place.index = static_cast<int>(k);
        place.offset = static_cast<std::uint64_t>(k) * static_cast<std::uint64_t>(geometry.sectorBytes(0));
    } else {
        const long long rest = k - geometry.firstTrack.sectors;
        place.track = 1 + static_cast<int>(rest / geometry.track.sectors);
        place.index = static_cast<int>(rest % geometry.track.sectors);
        place.offset = geometry.trackBytes(0) + static_cast<std::uint64_t>(rest) *
                                                    static_cast<std::uint64_t>(geometry.sectorBytes(1));
    }
    place.c = place.track / geometry.heads;
    place.h = place.track % geometry.heads;
    place.r = geometry.firstR + place.index;
    place.n = geometry.layout(place.track).sizeCode;
    return true;
}

int sizeCodeOf(int bytes)
{
    for (int n = 0; n <= kLargestSizeCode; ++n) {
        if (bytes == 128 << n) {
            return n;
        }
    }
    return -1;
}

std::string geometryWords(const BlockGeometry& geometry)
{
    std::string words = std::to_string(geometry.cylinders) + " x " + std::to_string(geometry.heads) + " x " +
                        layoutWords(geometry.track);
    if (!(geometry.firstTrack == geometry.track)) {
        words += ", track 0 " + layoutWords(geometry.firstTrack) + (geometry.firstTrack.single ? " FM" : "");
    }
    return words;
}
