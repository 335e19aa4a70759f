// The geometry of a raw image, for making a D88 image of it: the one the
// caller gives, else the one the file's extension names, else the .fdi
// header's, else the one of the known raw sizes (image_formats.h) that the
// file's size is; a size two kinds share is settled by a FAT file system's
// own fields in the first sectors, or not at all. Never a guess: where the
// evidence names no single geometry the choice fails and says why.
#ifndef CONVERT_RAW_GEOMETRY_H
#define CONVERT_RAW_GEOMETRY_H

#include "image_formats.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The fields of an .fdi header: eight 32-bit little-endian numbers (0, the
// disk type, the header's size, the data's size, the sector size, sectors
// per track, heads, cylinders), then zeros to the header's size.
constexpr std::size_t kFdiHeaderSize = 4096;
constexpr int kFdiFields = 8;

struct RawFile {
    std::uint64_t size = 0;
    const unsigned char* head = nullptr;  // the file's first bytes
    std::size_t headSize = 0;             // how many: kFdiHeaderSize + 1024, or the file's size when smaller
    ImageFormat format = ImageFormat::Raw;
    const RawKind* named = nullptr;       // the kind its extension names
};

struct GeometryChoice {
    bool chosen = false;
    BlockGeometry geometry;
    std::uint64_t dataOffset = 0;  // where the sectors start in the file
    std::string from;              // what settled it: "--geometry", "the extension", ...
    std::string why;               // when none was chosen: why, in a sentence
};

// given: the caller's geometry, or null.
GeometryChoice chooseRawGeometry(const RawFile& file, const BlockGeometry* given);

// Reads "CxHxSxBYTES" ("40x2x16x256"); false when it is not four numbers of
// a valid geometry.
bool parseGeometry(const std::string& text, BlockGeometry& geometry);

// The .fdi header of a disk of the geometry.
void fdiHeader(const BlockGeometry& geometry, unsigned char* header);

#endif
