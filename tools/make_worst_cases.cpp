// Writes crafted worst-case images into a folder, for the benchmark of the
// cost of hostile input: walks that no sector count ends, a disk chain that
// stands still, a track of zero-length records and tens of MiB of them.
#include "image_builder.h"

#include <d88image/d88_format.h>

#include <cstdio>
#include <string>
#include <vector>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

constexpr int kTracks = d88format::kTrackCount;
constexpr int kRecords = 65600;

// Every track of the disk starts at the same record chain.
Disk everyTrackAt(const std::vector<Record>& records)
{
    Disk disk;
    disk.track(0, records);
    for (int t = 1; t < kTracks; ++t) {
        disk.trackOffset(t, d88format::kDiskHeaderSize);
    }
    return disk;
}

// A Scenario Disk by its probe sector, after which no record count ever
// ends a walk: counts of 65535 end one only at record 65534, which says 1.
// Every sector sought elsewhere costs the longest walk there is.
Bytes endlessCounts()
{
    std::vector<Record> records(kRecords, Record{0, 0, 0, 0, 65535, {}});
    records[0] = {0, 1, 32, 3, 65535, {0x5A}};
    records[65534].count = 1;
    return everyTrackAt(records).build();
}

// 65,536 zero-length records on every track, counts as a full track says.
Bytes zeroLengthTrack()
{
    return everyTrackAt(std::vector<Record>(65536, Record{0, 1, 0, 0, 65535, {}})).build();
}

// A disk size of 0: the same disk is indexed 64 times.
Bytes standingChain()
{
    return d88build::standardDisk(32, 8, 153, 7).diskSize(0).build();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_worst_cases <output folder>\n");
        return 1;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const Bytes endless = endlessCounts();
    std::vector<Bytes> sixtyFour(64, endless);
    const bool written = d88build::writeFile(folder + "endless-counts.d88", endless) &&
                         d88build::writeFile(folder + "zero-length-track.d88", zeroLengthTrack()) &&
                         d88build::writeFile(folder + "standing-chain.d88", standingChain()) &&
                         d88build::writeFile(folder + "endless-counts-64-disks.d88", d88build::concat(sixtyFour));
    if (!written) {
        std::fprintf(stderr, "make_worst_cases: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
