#include "image_file.h"

#include "image_path.h"

#include <d88image/d88image.h>

#include <cerrno>
#include <cstring>

std::string notAnImageFile(const std::string& path, std::uint64_t& size)
{
    const PathStatus status = imagePathStatus(path.c_str());
    switch (status.kind) {
    case PathKind::Regular:
        size = status.size;
        return "";
    case PathKind::Directory:
        return std::strerror(EISDIR);
    case PathKind::Other:
        return "not a regular file";
    case PathKind::Unreadable:
        break;
    }
    return std::strerror(status.error);
}

std::string ImageInput::notAnImage(std::uint64_t& imageSize) const
{
    if (inMemory) {
        imageSize = size;
        return "";
    }
    return notAnImageFile(path, imageSize);
}

bool ImageInput::openIn(D88Image& reader) const
{
    return inMemory ? reader.openMemory(data, size) : reader.open(path.c_str());
}
