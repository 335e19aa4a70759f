// Writes the sample images into a folder: synthetic disks in the standard
// two-sided high-density layout (77 cylinders, 8 sectors of 1024 bytes per
// track) with deterministic pseudo-random content of our own.
#include "image_builder.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kLastTrack = 153;  // 77 cylinders x 2 heads
constexpr int kSectorsPerTrack = 8;
constexpr std::size_t kBlock = 1024;
constexpr std::size_t kDiskBytes = (kLastTrack + 1) * kSectorsPerTrack * kBlock;

// A Program, a Scenario and an Event Disk, told apart by their sector
// numbers 16..23, 32..39 and 48..55.
d88build::Bytes threeDiskSet()
{
    return d88build::concat({
        d88build::standardDisk(16, kSectorsPerTrack, kLastTrack, 1000).name("PROGRAM").build(),
        d88build::standardDisk(32, kSectorsPerTrack, kLastTrack, 2000).name("SCENARIO").build(),
        d88build::standardDisk(48, kSectorsPerTrack, kLastTrack, 3000).name("EVENT").build(),
    });
}

void placeFile(d88build::Bytes& content, std::size_t start, std::size_t blocks, std::uint32_t seed)
{
    const d88build::Bytes file = d88build::scanFile(blocks, seed);
    std::copy(file.begin(), file.end(), content.begin() + static_cast<std::ptrdiff_t>(start * kBlock));
}

// Two disks with two data files each; blocks 6 and 7 end track 0, so the
// first file spans into track 1, and the others cross track ends as well.
d88build::Bytes scanSet()
{
    d88build::Bytes first = d88build::scanFiller(kDiskBytes / kBlock, 4000);
    placeFile(first, 6, 3, 4100);
    placeFile(first, 397, 5, 4200);
    d88build::Bytes second = d88build::scanFiller(kDiskBytes / kBlock, 5000);
    placeFile(second, 30, 4, 5100);
    placeFile(second, 1100, 11, 5200);
    return d88build::concat({
        d88build::linearDisk(first, 1).name("DATA 1").build(),
        d88build::linearDisk(second, 1).name("DATA 2").build(),
    });
}

// 64 disks: where known, a Program, a Scenario and an Event Disk at
// positions 0, 1 and 2 and the other 61 of no known kind (sectors 1..8);
// otherwise the three kinds over and over.
d88build::Bytes sixtyFourDisks(bool allKnown)
{
    const int kinds[] = {16, 32, 48};
    std::vector<d88build::Bytes> disks;
    for (int i = 0; i < 64; ++i) {
        const int firstR = allKnown || i < 3 ? kinds[i % 3] : 1;
        disks.push_back(
            d88build::standardDisk(firstR, kSectorsPerTrack, kLastTrack, 6000 + static_cast<std::uint32_t>(i)).build());
    }
    return d88build::concat(disks);
}

bool writeSamples(const std::string& folder)
{
    return d88build::writeFile(folder + "/three-disks.d88", threeDiskSet()) &&
           d88build::writeFile(folder + "/scan-disks.d88", scanSet());
}

bool writeBenchImages(const std::string& folder)
{
    return d88build::writeFile(folder + "/one-disk.d88",
                               d88build::standardDisk(32, kSectorsPerTrack, kLastTrack, 2000).build()) &&
           d88build::writeFile(folder + "/two-disks.d88", scanSet()) &&
           d88build::writeFile(folder + "/64-disks-3-known.d88", sixtyFourDisks(false)) &&
           d88build::writeFile(folder + "/64-disks-all-known.d88", sixtyFourDisks(true));
}

}  // namespace

int main(int argc, char** argv)
{
    const bool bench = argc == 3 && std::string(argv[1]) == "--bench";
    if (argc != 2 && !bench) {
        std::fprintf(stderr, "usage: make_sample [--bench] <output folder>\n");
        return 1;
    }
    const std::string folder = argv[argc - 1];
    if (!(bench ? writeBenchImages(folder) : writeSamples(folder))) {
        std::fprintf(stderr, "make_sample: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
