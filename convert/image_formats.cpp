#include "image_formats.h"

#include <d88image/d88_format.h>
#include <d88image/d88image.h>

#include <cctype>

namespace {

BlockGeometry twoHd26(bool fmTrackZero)
{
    BlockGeometry geometry = BlockGeometry::uniform(77, 2, 26, 1);
    if (fmTrackZero) {
        geometry.firstTrack = {26, 0, true};
    }
    return geometry;
}

// Sizes the field's raw images have. Where two share a size, a FAT file
// system's media byte may tell them apart (see raw_geometry.h).
const std::vector<RawKind> kKinds = {
    {"2D", BlockGeometry::uniform(40, 2, 16, 1), -1},
    {"320 KB", BlockGeometry::uniform(40, 2, 8, 2), 0xFF},
    {"2DD", BlockGeometry::uniform(80, 2, 16, 1), -1},
    {"PC-98 640 KB", BlockGeometry::uniform(80, 2, 8, 2), 0xFB},
    {"PC-98 2HD", BlockGeometry::uniform(77, 2, 8, 3), 0xFE},
    {"2HD 26-sector", twoHd26(true), -1},
    {"2HD 26-sector, track 0 of 256 bytes", twoHd26(false), -1},
    {"360 KB", BlockGeometry::uniform(40, 2, 9, 2), 0xFD},
    {"MSX 360 KB", BlockGeometry::uniform(80, 1, 9, 2), 0xF8},
    {"720 KB", BlockGeometry::uniform(80, 2, 9, 2), 0xF9},
    {"1.2 MB", BlockGeometry::uniform(80, 2, 15, 2), 0xF9},
    {"1.44 MB", BlockGeometry::uniform(80, 2, 18, 2), 0xF0},
};

struct Extension {
    const char* name;
    ImageFormat format;
    const char* kind;  // the raw kind it names, or null
};

const Extension kExtensions[] = {
    {"d88", ImageFormat::D88, nullptr}, {"d77", ImageFormat::D88, nullptr}, {"d68", ImageFormat::D88, nullptr},
    {"88d", ImageFormat::D88, nullptr}, {"hdm", ImageFormat::Raw, "PC-98 2HD"}, {"xdf", ImageFormat::Raw, "PC-98 2HD"},
    {"dup", ImageFormat::Raw, "PC-98 2HD"}, {"tfd", ImageFormat::Raw, nullptr}, {"2hd", ImageFormat::Raw, nullptr},
    {"2d", ImageFormat::Raw, "2D"}, {"2dd", ImageFormat::Raw, "2DD"}, {"img", ImageFormat::Raw, nullptr},
    {"ima", ImageFormat::Raw, nullptr}, {"dsk", ImageFormat::Raw, nullptr}, {"raw", ImageFormat::Raw, nullptr},
    {"fdi", ImageFormat::Fdi, nullptr},
};

const RawKind* kindNamed(const char* name)
{
    for (const RawKind& kind : kKinds) {
        if (name != nullptr && std::string(kind.name) == name) {
            return &kind;
        }
    }
    return nullptr;
}

std::string lowered(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

const std::vector<RawKind>& rawKinds()
{
    return kKinds;
}

std::vector<const RawKind*> kindsOfSize(std::uint64_t size)
{
    std::vector<const RawKind*> kinds;
    for (const RawKind& kind : kKinds) {
        if (kind.geometry.totalBytes() == size) {
            kinds.push_back(&kind);
        }
    }
    return kinds;
}

bool formatNamed(const std::string& word, ImageFormat& format, const RawKind*& named)
{
    const std::string name = lowered(word);
    for (const Extension& extension : kExtensions) {
        if (name == extension.name) {
            format = extension.format;
            named = kindNamed(extension.kind);
            return true;
        }
    }
    return false;
}

bool formatOfPath(const std::string& path, ImageFormat& format, const RawKind*& named)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return false;
    }
    return formatNamed(path.substr(dot + 1), format, named);
}

const char* defaultExtension(ImageFormat format)
{
    switch (format) {
    case ImageFormat::D88:
        return "d88";
    case ImageFormat::Fdi:
        return "fdi";
    case ImageFormat::Raw:
        break;
    }
    return "img";
}

std::string kindWords(const RawKind& kind)
{
    return std::string("a raw ") + kind.name + " image (" + geometryWords(kind.geometry) + ")";
}

bool plausibleD88Header(std::uint64_t size, const unsigned char* first, std::size_t count)
{
    if (count < static_cast<std::size_t>(d88format::kShortDiskHeaderSize)) {
        return false;
    }
    const int protect = first[d88format::kWriteProtectOffset];
    const int media = first[d88format::kMediaTypeOffset];
    const std::uint32_t diskSize = readU32le(first + d88format::kDiskSizeOffset);
    const std::uint32_t firstTrack = readU32le(first + d88format::kTrackTableOffset);
    const std::uint32_t header = d88format::kShortDiskHeaderSize;
    return size >= header && (protect == 0x00 || protect == 0x10) && media <= 0x40 && media % 0x10 == 0 &&
           diskSize >= header && (firstTrack == 0 || (firstTrack >= header && firstTrack <= diskSize));
}

std::string rawKindOf(std::uint64_t size, const unsigned char* first, std::size_t count)
{
    if (plausibleD88Header(size, first, count)) {
        return "";
    }
    std::string words;
    for (const RawKind* kind : kindsOfSize(size)) {
        words += (words.empty() ? "" : " or ") + kindWords(*kind);
    }
    return words;
}

int mediaFor(const BlockGeometry& geometry)
{
    if (geometry.trackBytes(1 % geometry.tracks()) > 5000) {
        return 0x20;
    }
    const bool eighty = geometry.cylinders > 42;
    if (geometry.heads == 1) {
        return eighty ? 0x40 : 0x30;
    }
    return eighty ? 0x10 : 0x00;
}
