// What a d88_image handle holds: the image's name and, for one opened from
// memory, the caller's bytes; the reader over it, the facts of its disks
// read at open, which disk is selected, and the details of the last call.
#ifndef C_API_IMAGE_HANDLE_H
#define C_API_IMAGE_HANDLE_H

#include <d88image/d88.h>
#include <d88image/d88image.h>

#include <string>
#include <vector>

struct d88_image {
    std::string name;  // the path, or the name given with the bytes
    bool inMemory = false;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    D88Image reader;
    std::vector<d88_disk> disks;
    int selected = -1;
    std::string error;
};

// Records the details of a failed call on image and returns status.
d88_status fail(d88_image* image, d88_status status, std::string details);

// Clears the last call's details and returns D88_OK.
d88_status succeed(d88_image* image);

// The error number of the reader's first failed read, or failing that of
// the last call that set errno, or EIO: a failure always has a reason.
int readerErrorNumber(const D88Image& reader);

#endif
