#include "scan_cut.h"

#include <d88image/d88image.h>

#include "block_scan.h"
#include "buffer_layout.h"
#include "linearize.h"

bool scanImage(D88Image& reader, unsigned char* buffer, OutputSink& sink, BufferLayout* layout)
{
    ScanProgress progress;
    return scanDisks(reader, buffer, sink, progress, layout);
}

bool scanDisks(D88Image& reader, unsigned char* buffer, OutputSink& sink, ScanProgress& progress,
               BufferLayout* layout)
{
    bool allWritten = true;
    for (int i = 0; i < reader.diskCount() && progress.disks < kScanDisksTaken; ++i, ++progress.disks) {
        if (layout != nullptr) {
            layout->beginDisk(i);
            reader.setReadObserver(layout);
        }
        linearizeDisk(reader, i, buffer);
        reader.setReadObserver(nullptr);
        // Numbering runs on from one disk to the next.
        allWritten = scanBlocks(buffer, i, progress.counter, sink) && allWritten;
    }
    return allWritten;
}
