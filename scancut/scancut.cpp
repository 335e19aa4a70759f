// scancut: lays each of the first two disks of a D88 file into a buffer and
// writes every data file found there by its header as KX000, KX001, ...
#include "scancut.h"

#include <d88image/d88image.h>

#include "block_scan.h"
#include "linearize.h"

#include <cstdio>

namespace {

constexpr int kDisksTaken = 2;

// "ファイルをオープンできません\n"
const char kOpenFailedMessage[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93"
    "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\n";

}  // namespace

int runScancut(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Usage: scancut [d88file]\n", stderr);
        return 1;
    }
    D88Image reader;  // closed on every way out, by its destructor at the latest
    if (!reader.open(argv[1])) {
        std::fputs(kOpenFailedMessage, stderr);
        return 1;
    }
    int counter = 0;  // numbering runs on from one disk to the next
    bool allWritten = true;
    for (int i = 0; i < reader.diskCount() && i < kDisksTaken; ++i) {
        linearizeDisk(reader, i);
        allWritten = scanBlocks(counter) && allWritten;
    }
    reader.close();
    return allWritten ? 0 : 2;
}
