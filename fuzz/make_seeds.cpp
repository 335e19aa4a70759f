// Writes the seed inputs for the fuzz entry points into a folder: small
// disks of each kind, multi-disk sets and the damaged images the tests
// describe, each only as large as it needs to be.
#include "file_system_builder.h"
#include "image_builder.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

Disk kindDisk(int firstR, const std::vector<int>& tracks, std::uint32_t seed)
{
    Disk disk;
    for (int t : tracks) {
        disk.track(t, d88build::standardTrack(t, firstR, 8, seed));
    }
    return disk;
}

Disk programDisk() { return kindDisk(16, {0, 1}, 1); }
Disk scenarioDisk() { return kindDisk(32, {1, 16, 17, 18, 19, 20}, 2); }
Disk eventDisk() { return kindDisk(48, {1, 3, 6, 7, 48, 49, 85}, 3); }

Bytes scanDisk()
{
    Bytes content = d88build::scanFiller(24, 4);
    const Bytes file = d88build::scanFile(3, 5);
    std::copy(file.begin(), file.end(), content.begin() + 6 * 1024);
    return d88build::linearDisk(content, 1).build();
}

Bytes endlessCounts()
{
    std::vector<Record> records(40, Record{0, 1, 0, 0, 65535, {}});
    records[5] = {0, 1, 32, 3, 65535, Bytes(1024, 7)};
    Disk disk;
    disk.track(1, records);
    for (int t = 0; t < 164; ++t) {
        disk.trackOffset(t, 0x2B0);
    }
    return disk.build();
}

// Disks of a file system, of only the tracks their tables and files use,
// to stay small: an N88-BASIC 2D disk with a fragmented file and a loop, a
// Hu-BASIC 2D disk with a file of a stated size and one of none, and an
// F-BASIC 2D disk with a fragmented file.
Bytes n88Disk()
{
    d88build::N88Volume volume("2D");
    volume.file("GAME  BAS", 0x80, {2, 5, 0}, 3, 1);
    volume.file("LOOP", 0x01, {1}, 8, 2);
    volume.link(1, 1);
    return volume.image.disk(volume.media, {0, 1, 2, 37}).build();
}

Bytes huDisk()
{
    d88build::HuVolume volume("2D");
    volume.file("GAME", "Bin", 0x01, {2, 3}, 0, 4200, 1);
    volume.file("NOTE", "Asc", 0x04, {4}, 2, 0, 2);
    return volume.image.disk(volume.media, {0, 1, 2, 3, 4}).build();
}

Bytes fDisk()
{
    d88build::FVolume volume("2D");
    volume.file("PROG", 0, false, {0, 3}, 5, 1);
    return volume.image.disk(volume.media, {0, 2, 3, 4, 5}).build();
}

std::vector<std::pair<std::string, Bytes>> seeds()
{
    Bytes truncated = scenarioDisk().build();
    truncated.resize(truncated.size() / 2 + 7);
    Bytes oddSizes = Disk()
                         .track(0, {{0, 0, 1, 0, 4, Bytes(200, 1)},
                                    {0, 0, 2, 9, 4, Bytes(700, 2)},
                                    {0, 0, 2, 9, 4, Bytes(10, 3)},
                                    {0, 0, 3, 255, 0, Bytes(5, 4)}})
                         .build();
    return {
        {"empty", {}},
        {"short-header", Bytes(687, 0)},
        {"program", programDisk().build()},
        {"scenario", scenarioDisk().build()},
        {"event", eventDisk().build()},
        {"three-kinds", d88build::concat({programDisk().build(), scenarioDisk().build(), eventDisk().build()})},
        {"size-zero", d88build::concat({programDisk().build(), eventDisk().diskSize(0).build()})},
        {"size-huge", programDisk().diskSize(0xFFFFFFFFu).build()},
        {"truncated", truncated},
        {"odd-sizes", oddSizes},
        {"endless-counts", endlessCounts()},
        {"scan", d88build::concat({scanDisk(), scanDisk()})},
        {"n88-basic", n88Disk()},
        {"hu-basic", huDisk()},
        {"f-basic", fDisk()},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <output folder>\n");
        return 1;
    }
    for (const auto& [name, bytes] : seeds()) {
        if (!d88build::writeFile(std::string(argv[1]) + "/" + name, bytes)) {
            std::fprintf(stderr, "make_seeds: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
