#include "storage.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

std::string join(const std::string& folder, const std::string& name)
{
    return (std::filesystem::path(folder) / name).string();
}

#ifdef _WIN32
// Windows' rename refuses to replace an existing file; MoveFileEx does it
// when asked, and refuses when not.
int moveInto(const std::string& from, const std::string& to, bool replace)
{
    if (MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0) {
        return 0;
    }
    switch (GetLastError()) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

int openExclusive(const std::string& path)
{
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

long writeSome(int fd, const unsigned char* data, std::size_t size)
{
    return _write(fd, data, size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size));
}

#define closeDescriptor _close
#else
// rename replaces whatever stands at to; a hard link is made only where
// nothing does, which keeps a name that appeared since it was checked. A
// file system without hard links falls back on the check made before.
int moveInto(const std::string& from, const std::string& to, bool replace)
{
    if (!replace) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return 0;
        }
        if (errno == EEXIST) {
            return EEXIST;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EXDEV && errno != EMLINK) {
            return errno != 0 ? errno : EIO;
        }
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int openExclusive(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

long writeSome(int fd, const unsigned char* data, std::size_t size)
{
    return static_cast<long>(::write(fd, data, size));
}

#define closeDescriptor ::close
#endif

int writeAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        errno = 0;
        const long wrote = writeSome(fd, data, size);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return errno != 0 ? errno : EIO;
        }
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return 0;
}

int closeFile(int fd)
{
    return closeDescriptor(fd) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

// A name of our own beside the final one, not in use: it starts with a dot
// and ends in the process's and a running number.
int openTemporary(const std::string& folder, const std::string& name, std::string& path)
{
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = join(folder, "." + name + ".part-" + std::to_string(static_cast<long>(getpid())) + "-" +
                                std::to_string(++serial));
        errno = 0;
        const int fd = openExclusive(path);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

int FileStorage::makeFolder(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        return error.value() != 0 ? error.value() : EIO;
    }
    if (!std::filesystem::is_directory(path, error)) {
        return ENOTDIR;
    }
    return 0;
}

Storage::Presence FileStorage::holds(const std::string& folder, const std::string& name, int& error)
{
    std::error_code status;
    const std::filesystem::file_type type = std::filesystem::symlink_status(join(folder, name), status).type();
    if (type == std::filesystem::file_type::not_found) {
        return Presence::Absent;
    }
    if (status) {
        error = status.value() != 0 ? status.value() : EIO;
        return Presence::Unknown;
    }
    return Presence::Present;
}

int FileStorage::remove(const std::string& folder, const std::string& name)
{
    return std::remove(join(folder, name).c_str()) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int FileStorage::writeWhole(const std::string& folder, const std::string& name, const unsigned char* data,
                            std::size_t size, bool replace)
{
    std::string temporary;
    const int fd = openTemporary(folder, name, temporary);
    if (fd < 0) {
        return errno != 0 ? errno : EIO;
    }
    int error = writeAll(fd, data, size);
    const int closed = closeFile(fd);
    if (error == 0) {
        error = closed;
    }
    if (error == 0) {
        error = moveInto(temporary, join(folder, name), replace);
    }
    if (error != 0) {
        std::remove(temporary.c_str());
    }
    return error;
}
