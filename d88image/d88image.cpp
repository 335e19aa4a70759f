// The container level: opening the image, indexing its disks and making one
// current.
#include <d88image/d88image.h>

#include <cstring>

using namespace d88format;

D88Image::D88Image() = default;

D88Image::~D88Image()
{
    close();
}

void D88Image::close()
{
    window_.close();
}

void D88Image::clearCurrentDisk()
{
    currentDiskOffset_ = -1;
    currentDiskSize_ = 0;
    mediaType_ = -1;
    writeProtect_ = -1;
    std::memset(trackOffsets_, 0, sizeof trackOffsets_);
    std::memset(diskName_, 0, sizeof diskName_);
}

bool D88Image::open(const char* name)
{
    close();
    clearCurrentDisk();
    return window_.open(name) && indexDisks();
}

bool D88Image::openMemory(const unsigned char* data, std::size_t size)
{
    close();
    clearCurrentDisk();
    return window_.open(data, size) && indexDisks();
}

bool D88Image::indexDisks()
{
    // Each header's disk size is also the distance to the next header. The
    // sum is kept in 64 bits: 64 sizes of up to 4 GiB cannot wrap it. A size
    // of 0 indexes the same header again until the disk limit.
    std::uint64_t position = 0;
    int count = 0;
    while (count < kMaxDisks) {
        unsigned char header[kDiskHeaderSize];
        diskOffsets_[count] = position;
        // Read past the window: a file of many disks would otherwise fill it
        // at every header, and only the sizes matter here.
        if (window_.readDirect(position, header, sizeof header) < sizeof header) {
            break;
        }
        position += readU32le(header + kDiskSizeOffset);
        ++count;
    }
    if (window_.failed()) {
        // Not an image that ends early but a file that cannot be read at all
        // (a directory, an I/O error): report it as not opened.
        close();
        return false;
    }
    diskCount_ = count;
    return true;
}

bool D88Image::open()
{
    close();
    diskCount_ = 0;
    mediaType_ = -1;
    writeProtect_ = -1;
    return true;
}

int D88Image::diskCount() const
{
    return diskCount_;
}

std::uint64_t D88Image::diskOffset(int index) const
{
    return index >= 0 && index < diskCount_ ? diskOffsets_[index] : 0;
}

bool D88Image::selectDisk(int index)
{
    if (!window_.isOpen()) {
        return false;
    }
    clearCurrentDisk();
    if (index < 0 || index >= diskCount_) {
        return false;
    }
    unsigned char header[kDiskHeaderSize];
    if (window_.read(diskOffsets_[index], header, sizeof header, diskOffsets_[index]) < sizeof header) {
        return false;  // the file changed since it was indexed
    }
    currentDiskOffset_ = static_cast<std::int64_t>(diskOffsets_[index]);
    for (int t = 0; t < kTrackCount; ++t) {
        trackOffsets_[t] = readU32le(header + kTrackTableOffset + 4 * t);
    }
    mediaType_ = header[kMediaTypeOffset];
    writeProtect_ = header[kWriteProtectOffset];
    currentDiskSize_ = readU32le(header + kDiskSizeOffset);
    // As a bounded string copy: up to the first NUL, the rest NUL-filled.
    const unsigned char* stored = header + kDiskNameOffset;
    for (int i = 0; i < kDiskNameLength && stored[i] != 0; ++i) {
        diskName_[i] = static_cast<char>(stored[i]);
    }
    return true;
}

const char* D88Image::diskName() const
{
    return diskName_;
}

int D88Image::mediaType() const
{
    return mediaType_;
}

int D88Image::writeProtect() const
{
    return writeProtect_;
}

std::uint32_t D88Image::diskSize() const
{
    return currentDiskSize_;
}

std::uint32_t D88Image::trackOffset(int track) const
{
    return track >= 0 && track < kTrackCount ? trackOffsets_[track] : 0;
}
