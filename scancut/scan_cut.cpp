#include "scan_cut.h"

#include <d88image/d88image.h>

#include "block_scan.h"
#include "linearize.h"

namespace {
constexpr int kDisksTaken = 2;
}  // namespace

bool scanImage(D88Image& reader, unsigned char* buffer, OutputSink& sink)
{
    ScanProgress progress;
    return scanDisks(reader, buffer, sink, progress);
}

bool scanDisks(D88Image& reader, unsigned char* buffer, OutputSink& sink, ScanProgress& progress)
{
    bool allWritten = true;
    for (int i = 0; i < reader.diskCount() && progress.disks < kDisksTaken; ++i, ++progress.disks) {
        linearizeDisk(reader, i, buffer);
        // Numbering runs on from one disk to the next.
        allWritten = scanBlocks(buffer, i, progress.counter, sink) && allWritten;
    }
    return allWritten;
}
