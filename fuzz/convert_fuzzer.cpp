// The conversions over an arbitrary input, from memory: each disk of it as
// a raw image (and as an .fdi one), which must have its geometry's size and,
// when the disk converted exactly, make a D88 image that converts back to
// the same bytes; the input as a raw image of the geometry its size or
// evidence names, and of one taken from its last bytes, whose D88 image
// must convert back to the input's sectors; and its disks as a set, whose
// ranges must lie within it.
#include "conversion.h"
#include "disk_sets.h"

#include <d88image/d88image.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

[[noreturn]] void fault(const char* what)
{
    std::fprintf(stderr, "convert: %s\n", what);
    __builtin_trap();
}

ImageInput inMemory(const std::uint8_t* data, std::size_t size)
{
    return ImageInput("input.d88", data, size);
}

// A raw image made into a D88 image converts back to its own bytes.
void checkBackToRaw(const unsigned char* raw, const BlockGeometry& geometry, const std::vector<unsigned char>& d88)
{
    MemorySink back;
    const ToRawResult result = convertToRaw(inMemory(d88.data(), d88.size()), 0, ImageFormat::Raw, &geometry, back);
    if (!result.converted || !result.findings.exact()) {
        fault("a D88 image made from a raw one does not convert back exactly");
    }
    if (back.bytes.size() != geometry.totalBytes() || std::memcmp(back.bytes.data(), raw, back.bytes.size()) != 0) {
        fault("a raw image made into a D88 image and back differs");
    }
}

void fromRaw(const std::uint8_t* data, std::size_t size, ImageFormat format, const BlockGeometry* given)
{
    MemorySink d88;
    const ToD88Result made = convertToD88(data, size, format, nullptr, given, -1, DiskLabel(), d88);
    if (!made.converted) {
        if (!d88.bytes.empty()) {
            fault("a refused raw image wrote bytes");
        }
        return;
    }
    if (d88.bytes.size() != d88Size(made.choice.geometry) ||
        made.choice.dataOffset + made.choice.geometry.totalBytes() != size) {
        fault("a D88 image of a raw one has another size than its geometry's");
    }
    checkBackToRaw(data + made.choice.dataOffset, made.choice.geometry, d88.bytes);
}

void toRaw(const std::uint8_t* data, std::size_t size, int disk, ImageFormat format)
{
    MemorySink raw;
    const ToRawResult result = convertToRaw(inMemory(data, size), disk, format, nullptr, raw);
    const std::uint64_t header = format == ImageFormat::Fdi ? kFdiHeaderSize : 0;
    if (!result.converted) {
        return;
    }
    if (raw.bytes.size() != header + result.geometry.totalBytes()) {
        fault("a raw image has another size than its geometry's");
    }
    if (format == ImageFormat::Raw && result.findings.exact()) {
        MemorySink d88;
        writeD88(raw.bytes.data(), result.geometry, DiskLabel(), d88);
        checkBackToRaw(raw.bytes.data(), result.geometry, d88.bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto reader = std::make_unique<D88Image>();
    reader->openMemory(data, size);
    const int disks = reader->diskCount();
    const SetLayout layout = setLayout(*reader, size);
    for (const DiskRange& range : layout.disks) {
        if (range.offset > size || range.size > size - range.offset) {
            fault("a disk's range lies outside the file");
        }
    }
    // A few disks at most: a hostile input repeats one header 64 times.
    for (int d = -1; d <= disks && d < 4; ++d) {
        toRaw(data, size, d, ImageFormat::Raw);
    }
    toRaw(data, size, 0, ImageFormat::Fdi);
    fromRaw(data, size, ImageFormat::Raw, nullptr);
    fromRaw(data, size, ImageFormat::Fdi, nullptr);
    if (size >= 4) {
        const std::uint8_t* p = data + size - 4;
        BlockGeometry given = BlockGeometry::uniform(p[0] % 84, 1 + p[1] % 2, p[2] % 30, p[3] % 8, p[3] >> 7);
        if (given.valid() && given.totalBytes() <= size) {
            fromRaw(data, static_cast<std::size_t>(given.totalBytes()), ImageFormat::Raw, &given);
        }
    }
    return 0;
}
