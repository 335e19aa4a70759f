#include "whole_file.h"
#include "last_error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

#ifdef _WIN32
// Windows' rename refuses to replace an existing file; MoveFileEx does it
// when asked, and refuses when not.
int moveInto(const char* from, const char* to, bool replace)
{
    if (MoveFileExA(from, to, replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0) {
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

int openExclusive(const char* path)
{
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
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
int moveInto(const char* from, const char* to, bool replace)
{
    if (!replace) {
        if (::link(from, to) == 0) {
            ::unlink(from);
            return 0;
        }
        if (errno == EEXIST) {
            return EEXIST;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EXDEV && errno != EMLINK) {
            return lastError();
        }
    }
    return std::rename(from, to) == 0 ? 0 : lastError();
}

int openExclusive(const char* path)
{
    return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
            return lastError();
        }
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return 0;
}

int closeFile(int fd)
{
    errno = 0;
    return closeDescriptor(fd) == 0 ? 0 : lastError();
}

// A path that holds name in folder, with room for a suffix of up to
// extra characters; null when memory runs out. Freed by the caller.
char* makePath(const char* folder, const char* prefix, const char* name, std::size_t extra)
{
    const char* separator = separatorAfter(folder);
    const std::size_t length = std::strlen(folder) + std::strlen(separator) + std::strlen(prefix) + std::strlen(name);
    char* path = static_cast<char*>(std::malloc(length + extra + 1));
    if (path != nullptr) {
        std::snprintf(path, length + 1, "%s%s%s%s", folder, separator, prefix, name);
    }
    return path;
}

// A name of our own beside the final one, not in use: it starts with a dot
// and ends in the process's and a running number. path is the caller's to
// free (null when memory ran out).
int openTemporary(const char* folder, const char* name, char*& path)
{
    static unsigned serial = 0;
    constexpr std::size_t kSuffix = 40;  // ".part-" and two numbers
    path = makePath(folder, ".", name, kSuffix);
    if (path == nullptr) {
        errno = ENOMEM;
        return -1;
    }
    const std::size_t end = std::strlen(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::snprintf(path + end, kSuffix + 1, ".part-%ld-%u", static_cast<long>(getpid()), ++serial);
        errno = 0;
        const int fd = openExclusive(path);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

const char* separatorAfter(const char* folder)
{
    const std::size_t length = std::strlen(folder);
    if (length == 0) {
        return "";
    }
    const char last = folder[length - 1];
#ifdef _WIN32
    const bool separated = last == '/' || last == '\\' || last == ':';
#else
    const bool separated = last == '/';
#endif
    return separated ? "" : "/";
}

int beginWholeFile(WholeFileWriter& file, const char* folder, const char* name)
{
    file.fd = openTemporary(folder, name, file.temporary);
    file.error = file.fd < 0 ? lastError() : 0;
    if (file.fd < 0) {
        // Nothing of ours to remove: the name tried last may be another's.
        std::free(file.temporary);
        file.temporary = nullptr;
    }
    return file.error;
}

void writeWholeFilePart(WholeFileWriter& file, const unsigned char* data, std::size_t size)
{
    if (file.error == 0) {
        file.error = writeAll(file.fd, data, size);
    }
}

int endWholeFile(WholeFileWriter& file, const char* folder, const char* name, bool replace)
{
    int error = file.error;
    if (file.fd >= 0) {
        const int closed = closeFile(file.fd);
        error = error != 0 ? error : closed;
        file.fd = -1;
    }
    if (error == 0) {
        char* finalPath = makePath(folder, "", name, 0);
        error = finalPath == nullptr ? ENOMEM : moveInto(file.temporary, finalPath, replace);
        std::free(finalPath);
    }
    if (error != 0 && file.temporary != nullptr) {
        std::remove(file.temporary);
    }
    std::free(file.temporary);
    file.temporary = nullptr;
    file.error = error;
    return error;
}

int writeFileWhole(const char* folder, const char* name, const unsigned char* data, std::size_t size, bool replace)
{
    WholeFileWriter file;
    if (beginWholeFile(file, folder, name) == 0) {
        writeWholeFilePart(file, data, size);
    }
    return endWholeFile(file, folder, name, replace);
}
