// Opening and closing a handle, its disks' facts, and the statuses' words.
#include "image_handle.h"

#include "image_file.h"
#include "image_path.h"
#include "last_error.h"
#include "version.h"

#include <cerrno>
#include <cstring>
#include <new>

d88_status fail(d88_image* image, d88_status status, std::string details, int errorNumber)
{
    image->error = std::move(details);
    image->errorNumber = errorNumber;
    return status;
}

d88_status failOfImage(d88_image* image, d88_status status, const std::string& what, int errorNumber)
{
    return fail(image, status, image->input.path.empty() ? what : image->input.path + ": " + what, errorNumber);
}

d88_status succeed(d88_image* image)
{
    image->error.clear();
    image->errorNumber = 0;
    return D88_OK;
}

int readerErrorNumber(const D88Image& reader)
{
    return reader.readError() != 0 ? reader.readError() : lastError();
}

namespace {

// The facts of every disk, read once at open; no disk is selected after.
d88_status indexDisks(d88_image* image)
{
    D88Image& reader = image->reader;
    image->disks.reserve(static_cast<std::size_t>(reader.diskCount()));
    for (int i = 0; i < reader.diskCount() && reader.selectDisk(i); ++i) {
        d88_disk disk;
        disk.index = i;
        disk.offset = reader.diskOffset(i);
        disk.size = reader.diskSize();
        disk.media = reader.mediaType();
        disk.write_protect = reader.writeProtect();
        std::strncpy(disk.name, reader.diskName(), sizeof disk.name - 1);
        image->disks.push_back(disk);
    }
    reader.selectDisk(-1);
    if (reader.readFailed()) {
        image->disks.clear();
        return failOfImage(image, D88_ERR_READ,
                           std::string("cannot be read: a read failed: ") + std::strerror(reader.readError()),
                           reader.readError());
    }
    return succeed(image);
}

// The system's error number behind a path refused as no regular file: 0
// for a FIFO or a device, which the system has no number for.
int refusalNumber(const std::string& path)
{
    const PathStatus status = imagePathStatus(path.c_str());
    return status.kind == PathKind::Directory ? EISDIR : status.kind == PathKind::Unreadable ? status.error : 0;
}

// A new handle over input, with its disks indexed when it opens.
d88_status openHandle(ImageInput input, d88_image** image)
{
    if (image == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    *image = new (std::nothrow) d88_image(std::move(input));
    if (*image == nullptr) {
        return D88_ERR_MEMORY;
    }
    d88_image* opened = *image;
    std::uint64_t size = 0;
    std::string refused = opened->input.notAnImage(size);
    int number = refused.empty() ? 0 : refusalNumber(opened->input.path);
    errno = 0;
    if (refused.empty() && !opened->input.openIn(opened->reader)) {
        number = readerErrorNumber(opened->reader);
        refused = std::strerror(number);
    }
    if (!refused.empty()) {
        return failOfImage(opened, D88_ERR_OPEN, "cannot be read: " + refused, number);
    }
    return indexDisks(opened);
}

}  // namespace

extern "C" {

const char* d88_status_text(d88_status status)
{
    switch (passedValue(status)) {
    case D88_OK:
        return "success";
    case D88_ERR_ARGUMENT:
        return "an argument is null or out of range";
    case D88_ERR_MEMORY:
        return "out of memory";
    case D88_ERR_OPEN:
        return "the image cannot be opened";
    case D88_ERR_READ:
        return "a read of the image failed";
    case D88_ERR_NO_DISK:
        return "no such disk, or no disk selected";
    case D88_ERR_NOT_AN_IMAGE:
        return "not a D88 image";
    case D88_ERR_CONVERT:
        return "the conversion cannot be made";
    }
    return "unknown status";
}

const char* d88_version(void)
{
    return D88_VERSION;
}

int d88_api_version(void)
{
    return D88_API_VERSION;
}

d88_status d88_open_path(const char* path, d88_image** image)
{
    if (path == nullptr) {
        if (image != nullptr) {
            *image = nullptr;
        }
        return D88_ERR_ARGUMENT;
    }
    return openHandle(ImageInput(path), image);
}

d88_status d88_open_memory(const void* data, size_t size, const char* name, d88_image** image)
{
    if (data == nullptr && size != 0) {
        if (image != nullptr) {
            *image = nullptr;
        }
        return D88_ERR_ARGUMENT;
    }
    return openHandle(ImageInput(name != nullptr ? name : "", static_cast<const unsigned char*>(data), size), image);
}

void d88_close(d88_image* image)
{
    delete image;
}

const char* d88_image_error(const d88_image* image)
{
    return image != nullptr ? image->error.c_str() : "";
}

int d88_disk_count(const d88_image* image)
{
    return image != nullptr ? static_cast<int>(image->disks.size()) : 0;
}

int d88_image_errno(const d88_image* image)
{
    return image != nullptr ? image->errorNumber : 0;
}

const d88_disk* d88_image_disk(const d88_image* image, int index)
{
    return index >= 0 && index < d88_disk_count(image) ? &image->disks[static_cast<std::size_t>(index)] : nullptr;
}

int d88_disk_index(const d88_disk* disk)
{
    return disk != nullptr ? disk->index : 0;
}

uint64_t d88_disk_offset(const d88_disk* disk)
{
    return disk != nullptr ? disk->offset : 0;
}

uint32_t d88_disk_size(const d88_disk* disk)
{
    return disk != nullptr ? disk->size : 0;
}

int d88_disk_media(const d88_disk* disk)
{
    return disk != nullptr ? disk->media : 0;
}

int d88_disk_write_protect(const d88_disk* disk)
{
    return disk != nullptr ? disk->write_protect : 0;
}

const char* d88_disk_name(const d88_disk* disk)
{
    return disk != nullptr ? disk->name : "";
}

}  // extern "C"
