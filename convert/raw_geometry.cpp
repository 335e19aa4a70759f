#include "raw_geometry.h"

#include "report_words.h"

#include <d88image/d88image.h>

#include <cstdlib>

namespace {

std::string holdsWords(std::uint64_t size)
{
    return counted(size, "byte", "bytes");
}

// Whether the boot sector's parameter block names the kind's geometry, or
// the first FAT (after one reserved sector) starts with the kind's media
// byte and two bytes of 0xFF.
bool fatSays(const RawKind& kind, const unsigned char* head, std::size_t size)
{
    if (kind.fatMedia < 0) {
        return false;
    }
    const BlockGeometry& g = kind.geometry;
    const int bytes = g.sectorBytes(1);
    if (size >= 0x20 && readU16le(head + 0x0B) == bytes && readU16le(head + 0x18) == g.track.sectors &&
        readU16le(head + 0x1A) == g.heads && head[0x15] == kind.fatMedia) {
        const int total = readU16le(head + 0x13);
        return total == 0 || total == g.sectorCount();
    }
    const std::size_t fat = static_cast<std::size_t>(g.sectorBytes(0));
    return size >= fat + 3 && head[fat] == kind.fatMedia && head[fat + 1] == 0xFF && head[fat + 2] == 0xFF;
}

GeometryChoice failed(std::string why)
{
    GeometryChoice choice;
    choice.why = std::move(why);
    return choice;
}

GeometryChoice chosen(const BlockGeometry& geometry, std::uint64_t offset, std::string from)
{
    GeometryChoice choice;
    choice.chosen = true;
    choice.geometry = geometry;
    choice.dataOffset = offset;
    choice.from = std::move(from);
    return choice;
}

GeometryChoice fromFdiHeader(const RawFile& file)
{
    if (file.headSize < kFdiFields * 4) {
        return failed("it is too short for an FDI header");
    }
    std::uint32_t field[kFdiFields];
    for (int i = 0; i < kFdiFields; ++i) {
        field[i] = readU32le(file.head + 4 * i);
    }
    const std::uint32_t headerSize = field[2], dataSize = field[3];
    const int code = field[4] <= 16384 ? sizeCodeOf(static_cast<int>(field[4])) : -1;
    BlockGeometry geometry;
    if (code >= 0 && field[5] <= 255 && field[6] <= 2 && field[7] <= 255) {
        geometry = BlockGeometry::uniform(static_cast<int>(field[7]), static_cast<int>(field[6]),
                                          static_cast<int>(field[5]), code);
    }
    if (field[0] != 0 || !geometry.valid()) {
        return failed("its FDI header names no disk geometry");
    }
    if (headerSize < kFdiFields * 4 || headerSize > file.size || dataSize != file.size - headerSize ||
        dataSize != geometry.totalBytes()) {
        return failed("its FDI header (a header of " + holdsWords(headerSize) + ", " + holdsWords(dataSize) +
                      " of data, " + geometryWords(geometry) + ") does not agree with the file's " +
                      holdsWords(file.size));
    }
    return chosen(geometry, headerSize, "its FDI header");
}

GeometryChoice fromSize(const RawFile& file)
{
    const std::vector<const RawKind*> kinds = kindsOfSize(file.size);
    if (kinds.empty()) {
        return failed("its size, " + holdsWords(file.size) +
                      ", is that of no raw image d88convert knows; give the geometry with --geometry CxHxSxBYTES");
    }
    if (kinds.size() == 1) {
        return chosen(kinds.front()->geometry, 0, "its size");
    }
    std::vector<const RawKind*> settled;
    std::string all;
    for (const RawKind* kind : kinds) {
        if (fatSays(*kind, file.head, file.headSize)) {
            settled.push_back(kind);
        }
        all += (all.empty() ? "" : " or ") + kindWords(*kind);
    }
    if (settled.size() == 1) {
        return chosen(settled.front()->geometry, 0, "its size and its FAT boot sector");
    }
    return failed("its size, " + holdsWords(file.size) + ", is that of " + all +
                  ", and nothing in it tells which; give the geometry with --geometry CxHxSxBYTES");
}

}  // namespace

GeometryChoice chooseRawGeometry(const RawFile& file, const BlockGeometry* given)
{
    const std::uint64_t offset = file.format == ImageFormat::Fdi ? kFdiHeaderSize : 0;
    if (given != nullptr || file.named != nullptr) {
        const BlockGeometry& geometry = given != nullptr ? *given : file.named->geometry;
        if (file.size < offset || file.size - offset != geometry.totalBytes()) {
            return failed("it holds " + holdsWords(file.size) + ", where a raw image of " + geometryWords(geometry) +
                          (offset != 0 ? " after its header" : "") + " holds " +
                          holdsWords(geometry.totalBytes() + offset));
        }
        if (file.format == ImageFormat::Fdi && given == nullptr) {
            return fromFdiHeader(file);
        }
        return chosen(geometry, offset, given != nullptr ? "--geometry" : "its extension");
    }
    return file.format == ImageFormat::Fdi ? fromFdiHeader(file) : fromSize(file);
}

bool parseGeometry(const std::string& text, BlockGeometry& geometry)
{
    long values[4];
    const char* at = text.c_str();
    for (int i = 0; i < 4; ++i) {
        if (*at < '0' || *at > '9') {
            return false;
        }
        char* end = nullptr;
        values[i] = std::strtol(at, &end, 10);
        if (values[i] > 65536 || (i < 3 ? (*end != 'x' && *end != 'X') : *end != '\0')) {
            return false;
        }
        at = end + (i < 3 ? 1 : 0);
    }
    const int code = sizeCodeOf(static_cast<int>(values[3]));
    geometry = BlockGeometry::uniform(static_cast<int>(values[0]), static_cast<int>(values[1]),
                                      static_cast<int>(values[2]), code < 0 ? 0 : code);
    return code >= 0 && geometry.valid();
}

void fdiHeader(const BlockGeometry& geometry, unsigned char* header)
{
    for (std::size_t i = 0; i < kFdiHeaderSize; ++i) {
        header[i] = 0;
    }
    const int bytes = geometry.sectorBytes(1);
    // The disk types of the header's second field: 0x90 for 2HD of 1,024-byte
    // sectors, 0x30 for 1.44 MB, 0x10 for double-density disks.
    const std::uint32_t type = bytes == 1024 ? 0x90 : mediaFor(geometry) == 0x20 ? 0x30 : 0x10;
    const std::uint32_t field[kFdiFields] = {0,
                                             type,
                                             static_cast<std::uint32_t>(kFdiHeaderSize),
                                             static_cast<std::uint32_t>(geometry.totalBytes()),
                                             static_cast<std::uint32_t>(bytes),
                                             static_cast<std::uint32_t>(geometry.track.sectors),
                                             static_cast<std::uint32_t>(geometry.heads),
                                             static_cast<std::uint32_t>(geometry.cylinders)};
    for (int i = 0; i < kFdiFields; ++i) {
        for (int b = 0; b < 4; ++b) {
            header[4 * i + b] = static_cast<unsigned char>(field[i] >> (8 * b));
        }
    }
}
