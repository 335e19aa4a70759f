#include "image_file.h"

#include "image_path.h"

#include <d88image/d88image.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
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

std::size_t ImageInput::readStart(unsigned char* dest, std::size_t count) const
{
    if (inMemory) {
        const std::size_t held = std::min(count, size);
        std::copy(data, data + held, dest);
        return held;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    const std::size_t got = std::fread(dest, 1, count, file);
    std::fclose(file);
    return got;
}
