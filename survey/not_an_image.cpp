#include "not_an_image.h"

#include <d88image/d88_format.h>

#include "image_formats.h"

namespace {

// "game.d88" for "game.2d": the name d88convert is told to write.
std::string d88NameFor(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? path.substr(0, dot) : path) + ".d88";
}

}  // namespace

std::string notAnImage(const ImageEvidence& evidence)
{
    // A raw image of a known size is told as what it is, whatever its
    // first bytes make of a header.
    const std::string raw = rawKindOf(evidence.size, evidence.first, evidence.firstCount);
    if (!raw.empty()) {
        return "not a D88 image; its size is that of " + raw + ": d88convert " + evidence.path + " " +
               d88NameFor(evidence.path) + " makes one";
    }
    if (evidence.diskCount == 0) {
        return "not a D88 image (no whole " + std::to_string(d88format::kDiskHeaderSize) + "-byte disk header)";
    }
    if (evidence.firstHeaderZero) {
        return "not a D88 image (its first " + std::to_string(d88format::kDiskHeaderSize) +
               " bytes are zero: no disk header)";
    }
    if (evidence.anyTrack && !evidence.anyTrackInFile) {
        return "not a D88 image (no track of any disk lies in the file), or one cut short after its header";
    }
    return {};
}
