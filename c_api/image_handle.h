// What a d88_image handle holds: the image (a path, or the caller's bytes
// under a name), the reader over it, the facts of its disks read at open,
// which disk is selected, and the details of the last call.
#ifndef C_API_IMAGE_HANDLE_H
#define C_API_IMAGE_HANDLE_H

#include <d88image/d88.h>
#include <d88image/d88image.h>

#include "image_file.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct d88_disk {
    int index = 0;
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    int media = 0;
    int write_protect = 0;
    char name[17] = {};
};

struct d88_image {
    explicit d88_image(ImageInput image) : input(std::move(image)) {}

    ImageInput input;
    D88Image reader;
    std::vector<d88_disk> disks;
    int selected = -1;
    std::string error;
    int errorNumber = 0;  // the system's, behind error
};

// Records the details of a failed call on image (and the system's error
// number, when there is one) and returns status.
d88_status fail(d88_image* image, d88_status status, std::string details, int errorNumber = 0);

// As fail, the details about the image itself: "NAME: what", as the
// programs say it, or what alone when the image has no name.
d88_status failOfImage(d88_image* image, d88_status status, const std::string& what, int errorNumber = 0);

// Clears the last call's details and returns D88_OK.
d88_status succeed(d88_image* image);

// The error number of the reader's first failed read, or else the last
// call's reason (lastError).
int readerErrorNumber(const D88Image& reader);

// The int a C caller passed for an enum parameter. C lets it be any int;
// C++ may not load an enum object holding none of its values, so its bytes
// are read instead.
template <typename Enum>
int passedValue(const Enum& passed)
{
    static_assert(sizeof(Enum) == sizeof(int), "the C API's enums are passed as ints");
    int value = 0;
    std::memcpy(&value, &passed, sizeof value);
    return value;
}

#endif
