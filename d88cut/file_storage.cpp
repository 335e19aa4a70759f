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
// Windows' rename refuses to replace an existing file; MoveFileEx does it.
int replaceWith(const std::string& from, const std::string& to)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
        return 0;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
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
int replaceWith(const std::string& from, const std::string& to)
{
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

bool FileStorage::holds(const std::string& folder, const std::string& name)
{
    std::error_code error;
    return std::filesystem::symlink_status(join(folder, name), error).type() != std::filesystem::file_type::not_found;
}

int FileStorage::writeWhole(const std::string& folder, const std::string& name, const unsigned char* data,
                            std::size_t size)
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
        error = replaceWith(temporary, join(folder, name));
    }
    if (error != 0) {
        std::remove(temporary.c_str());
    }
    return error;
}
