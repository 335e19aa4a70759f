// What a path names, asked before it is opened as an image. Only a regular
// file (or a link to one) is read: a FIFO would hold the run up in its open
// until a writer came, and a device such as /dev/urandom would feed it
// without end.
#ifndef CUTTER_IO_IMAGE_PATH_H
#define CUTTER_IO_IMAGE_PATH_H

#include <cstdint>

enum class PathKind {
    Regular,
    Directory,
    Other,      // a FIFO, a device, a socket
    Unreadable  // its status cannot be had: error says why
};

struct PathStatus {
    PathKind kind;
    int error;           // the error number when Unreadable, else 0
    std::uint64_t size;  // the file's size when Regular, else 0
};

// The status of path, following links.
PathStatus imagePathStatus(const char* path);

// Whether path names a regular file, which may then be opened as an image.
inline bool isImageFile(const char* path)
{
    return imagePathStatus(path).kind == PathKind::Regular;
}

#endif
