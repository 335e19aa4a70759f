// Writes the sample images into a folder: synthetic disks in the standard
// two-sided high-density layout (77 cylinders, 8 sectors of 1024 bytes per
// track) with deterministic pseudo-random content of our own.
#include "image_builder.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kLastTrack = 153;  // 77 cylinders x 2 heads
constexpr int kSectorsPerTrack = 8;

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample <output folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    if (!d88build::writeFile(folder + "/three-disks.d88", threeDiskSet())) {
        std::fprintf(stderr, "make_sample: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
