#include "d88_writer.h"

#include "image_formats.h"

#include <d88image/d88_format.h>

#include <algorithm>
#include <cstring>

using namespace d88format;

namespace {

void putU16(unsigned char* at, std::uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void putU32(unsigned char* at, std::uint32_t value)
{
    putU16(at, value);
    putU16(at + 2, value >> 16);
}

std::uint64_t trackRecordBytes(const BlockGeometry& geometry, int track)
{
    return static_cast<std::uint64_t>(geometry.layout(track).sectors) *
           (kRecordHeaderSize + static_cast<std::uint64_t>(geometry.sectorBytes(track)));
}

}  // namespace

std::uint64_t d88Size(const BlockGeometry& geometry)
{
    std::uint64_t size = kDiskHeaderSize;
    for (int t = 0; t < geometry.tracks(); ++t) {
        size += trackRecordBytes(geometry, t);
    }
    return size;
}

void writeD88(const unsigned char* raw, const BlockGeometry& geometry, const DiskLabel& label, ByteSink& sink)
{
    unsigned char header[kDiskHeaderSize] = {};
    std::memcpy(header + kDiskNameOffset, label.name.data(), std::min<std::size_t>(label.name.size(), kDiskNameLength));
    header[kWriteProtectOffset] = label.writeProtect ? 0x10 : 0x00;
    header[kMediaTypeOffset] = static_cast<unsigned char>(mediaFor(geometry));
    // A valid geometry has at most 164 tracks of at most 255 x 16 KiB: the
    // whole disk stays far below 4 GiB.
    putU32(header + kDiskSizeOffset, static_cast<std::uint32_t>(d88Size(geometry)));
    std::uint64_t offset = kDiskHeaderSize;
    for (int t = 0; t < geometry.tracks(); ++t) {
        putU32(header + kTrackTableOffset + 4 * t, static_cast<std::uint32_t>(offset));
        offset += trackRecordBytes(geometry, t);
    }
    sink.write(header, sizeof header);
    for (int t = 0; t < geometry.tracks(); ++t) {
        const TrackLayout& layout = geometry.layout(t);
        const int bytes = geometry.sectorBytes(t);
        for (int s = 0; s < layout.sectors; ++s) {
            unsigned char record[kRecordHeaderSize] = {};
            record[0] = static_cast<unsigned char>(t / geometry.heads);
            record[1] = static_cast<unsigned char>(t % geometry.heads);
            record[2] = static_cast<unsigned char>(geometry.firstR + s);
            record[3] = static_cast<unsigned char>(layout.sizeCode);
            putU16(record + kSectorCountOffset, static_cast<std::uint32_t>(layout.sectors));
            record[kDensityOffset] = layout.single ? 0x40 : 0x00;
            putU16(record + kDataLengthOffset, static_cast<std::uint32_t>(bytes));
            sink.write(record, sizeof record);
            sink.write(raw, static_cast<std::size_t>(bytes));
            raw += bytes;
        }
    }
}
