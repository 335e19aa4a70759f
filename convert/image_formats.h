// The image formats d88convert reads and writes, and the raw images of the
// field by their sizes, in one table each: which extension names which
// format (and, for some, a geometry), and which geometry each known raw
// size stands for.
#ifndef CONVERT_IMAGE_FORMATS_H
#define CONVERT_IMAGE_FORMATS_H

#include "block_geometry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ImageFormat {
    D88,
    Raw,  // the sectors track by track, nothing else
    Fdi,  // raw after a 4,096-byte header that gives the geometry
};

// A raw image of a known size.
struct RawKind {
    const char* name;      // "2D", "PC-98 2HD", "720 KB", ...
    BlockGeometry geometry;
    int fatMedia;          // the media byte a FAT file system of the kind has, or -1 when it has none
};

// Every known raw kind, in the order they are told.
const std::vector<RawKind>& rawKinds();
// The kinds whose raw image holds size bytes.
std::vector<const RawKind*> kindsOfSize(std::uint64_t size);

// The format a path's extension names (case aside), with the raw kind it
// names when it names one; false for an extension of none.
bool formatOfPath(const std::string& path, ImageFormat& format, const RawKind*& named);
// The format --to names: "d88", "raw", "fdi", or an extension of one
// ("hdm", "2d", ...); false for none.
bool formatNamed(const std::string& word, ImageFormat& format, const RawKind*& named);
// The extension a file of the format takes when nothing else names one.
const char* defaultExtension(ImageFormat format);

// "a raw 2D image (40 x 2 x 16 x 256)", and the like.
std::string kindWords(const RawKind& kind);

// Whether the first bytes of a file of size bytes can begin a D88 image:
// a header's write-protect and media bytes of the values the format has, a
// disk size that can hold the header, and a first track (when there is
// one) that starts after the header and within that size. A cut-short
// image still passes; a raw image's first sector rarely does.
bool plausibleD88Header(std::uint64_t size, const unsigned char* first, std::size_t count);

// Which raw kinds a file of size bytes, beginning with the count bytes at
// first, may be: "a raw 2D image (40 x 2 x 16 x 256)" (kinds that share the
// size joined by "or"); empty when its size is no known raw size or its
// first bytes may begin a D88 image.
std::string rawKindOf(std::uint64_t size, const unsigned char* first, std::size_t count);

// The D88 media byte for a disk of the geometry: 2HD for tracks of more
// than 5,000 bytes, else 2D or 2DD (1D or 1DD on one side) by its cylinders.
int mediaFor(const BlockGeometry& geometry);

#endif
