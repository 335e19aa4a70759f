#include "image_file.h"

#include "image_path.h"

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
