#include "disk_sets.h"

#include <d88image/d88image.h>

#include <algorithm>

bool SetLayout::exact() const
{
    if (zeroSize || trailing != 0 || disks.empty()) {
        return false;
    }
    return std::none_of(disks.begin(), disks.end(), [](const DiskRange& disk) { return disk.cutShort; });
}

SetLayout setLayout(D88Image& reader, std::uint64_t size)
{
    SetLayout layout;
    std::uint64_t end = 0;
    for (int i = 0; i < reader.diskCount() && reader.selectDisk(i); ++i) {
        DiskRange disk;
        disk.offset = reader.diskOffset(i);
        const std::uint64_t stored = reader.diskSize();
        if (stored == 0) {
            layout.zeroSize = true;
            disk.size = size - disk.offset;
            layout.disks.push_back(disk);
            return layout;
        }
        disk.size = std::min(stored, size - disk.offset);
        disk.cutShort = disk.size < stored;
        end = disk.offset + disk.size;
        layout.disks.push_back(disk);
    }
    layout.trailing = size - std::min(size, end);
    return layout;
}

bool copyBytes(ByteSource& source, std::uint64_t offset, std::uint64_t size, ByteSink& sink)
{
    unsigned char buffer[64 * 1024];
    while (size > 0) {
        const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof buffer));
        const std::size_t got = source.read(offset, buffer, step);
        sink.write(buffer, got);
        if (got < step) {
            return false;
        }
        offset += got;
        size -= got;
    }
    return true;
}
