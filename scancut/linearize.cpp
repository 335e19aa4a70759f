#include "linearize.h"

#include <d88image/d88image.h>

#include "image_buffer.h"

#include <algorithm>

namespace {

constexpr int kMaxIdsPerTrack = 16;
// A data-length field holds at most 65,535; from size code 9 on the nominal
// size exceeds it and the sector's whole data is taken.
constexpr int kLargestSectorData = 65535;

static_assert(sizeof(SectorId) == 4, "listSectorIds writes 4-byte IDs");

int sectorLimit(int n)
{
    return n >= 9 ? kLargestSectorData : 128 << n;
}

// An exchange sort by R: equal numbers keep the order they were listed in,
// as a stored track's duplicates should.
void sortBySectorNumber(SectorId* ids, int count)
{
    for (int pass = 0; pass < count - 1; ++pass) {
        for (int p = 0; p < count - 1; ++p) {
            if (ids[p].r > ids[p + 1].r) {
                std::swap(ids[p], ids[p + 1]);
            }
        }
    }
}

}  // namespace

int linearizeTrack(D88Image& reader, int track, unsigned char* buffer, int written)
{
    SectorId ids[kMaxIdsPerTrack];
    const int count = reader.listSectorIds(track, reinterpret_cast<unsigned char*>(ids), sizeof ids) / 4;
    sortBySectorNumber(ids, count);
    for (int i = 0; i < count && written < kImageBufferSize; ++i) {
        const SectorId& id = ids[i];
        const int room = kImageBufferSize - written;
        written += reader.readSector(track, id.c, id.h, id.r, id.n, buffer + written, std::min(sectorLimit(id.n), room));
    }
    return written;
}

void linearizeDisk(D88Image& reader, int index, unsigned char* buffer)
{
    reader.selectDisk(index);  // a failed selection leaves every track unusable
    int written = 0;
    for (int t = 0; t < kTracksLaidIn; ++t) {
        written = linearizeTrack(reader, t, buffer, written);
    }
}
