#include "image_path.h"
#include "last_error.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>

namespace {
#ifdef _WIN32
// The 64-bit form, so that a size beyond 2 GiB is told as it is.
using FileStatus = struct _stat64;
int statusOf(const char* path, FileStatus& status)
{
    return _stat64(path, &status);
}
constexpr unsigned kTypeBits = _S_IFMT;
constexpr unsigned kRegular = _S_IFREG;
constexpr unsigned kDirectory = _S_IFDIR;
#else
using FileStatus = struct stat;
int statusOf(const char* path, FileStatus& status)
{
    return ::stat(path, &status);
}
constexpr unsigned kTypeBits = S_IFMT;
constexpr unsigned kRegular = S_IFREG;
constexpr unsigned kDirectory = S_IFDIR;
#endif
}  // namespace

PathStatus imagePathStatus(const char* path)
{
    FileStatus status{};
    errno = 0;
    if (statusOf(path, status) != 0) {
        return {PathKind::Unreadable, lastError(), 0};
    }
    const unsigned type = static_cast<unsigned>(status.st_mode) & kTypeBits;
    if (type == kRegular) {
        return {PathKind::Regular, 0, static_cast<std::uint64_t>(status.st_size)};
    }
    return {type == kDirectory ? PathKind::Directory : PathKind::Other, 0, 0};
}
