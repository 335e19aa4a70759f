// Every reader operation over an arbitrary image: each disk selected, every
// track index from -1 to 165 listed, each listed sector read alone and as a
// run, and one more read with IDs, limits and a sector range taken from the
// input's last bytes. Destination buffers are exactly as large as the limit
// passed, so a byte written past it shows under the sanitizers.
#include "fuzz_support.h"

#include <d88image/d88image.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kRunBytes = 3000;  // crosses sector boundaries and ends mid-sector

// Parameters read from the end of the input, zero where it is too short.
class Parameters {
public:
    Parameters(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    int byte(std::size_t k) const { return k < size_ ? data_[size_ - 1 - k] : 0; }
    int signedByte(std::size_t k) const { return static_cast<signed char>(byte(k)); }
    int word(std::size_t k) const { return static_cast<std::int16_t>(byte(k) | byte(k + 1) << 8); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

void readListedSectors(D88Image& reader, int track)
{
    SectorId ids[16];
    const int count = reader.listSectorIds(track, reinterpret_cast<unsigned char*>(ids), sizeof ids) / 4;
    for (int i = 0; i < count; ++i) {
        const SectorId& id = ids[i];
        std::vector<unsigned char> sector(1024);
        reader.readSector(track, id.c, id.h, id.r, id.n, sector.data(), static_cast<int>(sector.size()));
        std::vector<unsigned char> run(kRunBytes);
        reader.readRun(track, id.c, id.h, id.r, id.n, run.data(), kRunBytes);
    }
}

void readWithInputIds(D88Image& reader, const Parameters& p)
{
    const int track = p.word(2);
    const int max = p.word(4) & 0x7FFF;
    std::vector<unsigned char> dest(static_cast<std::size_t>(max));
    reader.readSector(track, p.byte(6), p.byte(7), p.byte(8), p.signedByte(9), dest.data(), max);
    reader.readRun(track, p.byte(6), p.byte(7), p.byte(8), p.signedByte(9), dest.data(), max);
    std::vector<unsigned char> ids(static_cast<std::size_t>(p.byte(10)));
    reader.listSectorIds(track, ids.data(), p.byte(10));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Parameters p(data, size);
    D88Image reader;
    if (!reader.open(writeInputFile(data, size))) {
        return 0;
    }
    reader.setSectorRange(p.signedByte(0), p.signedByte(1));
    // Every disk, and the indexes just outside the range.
    for (int d = -1; d <= reader.diskCount(); ++d) {
        reader.selectDisk(d);
        if (std::strlen(reader.diskName()) > 16 || reader.mediaType() > 255) {
            __builtin_trap();
        }
        for (int t = -1; t <= 165; ++t) {
            readListedSectors(reader, t);
        }
        readWithInputIds(reader, p);
    }
    reader.open();
    if (reader.selectDisk(0) || reader.diskCount() != 0) {
        __builtin_trap();
    }
    return 0;
}
