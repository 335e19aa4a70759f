#include "scan_cut.h"

#include <d88image/d88image.h>

#include "block_scan.h"
#include "linearize.h"

namespace {
constexpr int kDisksTaken = 2;
}  // namespace

bool scanImage(D88Image& reader, unsigned char* buffer, OutputSink& sink)
{
    int counter = 0;  // numbering runs on from one disk to the next
    bool allWritten = true;
    for (int i = 0; i < reader.diskCount() && i < kDisksTaken; ++i) {
        linearizeDisk(reader, i, buffer);
        allWritten = scanBlocks(buffer, i, counter, sink) && allWritten;
    }
    return allWritten;
}
