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
    DiskScan scan(buffer, layout);
    for (int i = 0; i < reader.diskCount() && progress.disks < kScanDisksTaken; ++i, ++progress.disks) {
        reader.selectDisk(i);  // a failed selection leaves every track unusable
        scan.begin(i);
        for (int t = 0; t < kTracksLaidIn; ++t) {
            scan.track(reader, t);
        }
        // Numbering runs on from one disk to the next.
        allWritten = scan.finish(progress.counter, sink) && allWritten;
    }
    return allWritten;
}

void DiskScan::begin(int disk)
{
    disk_ = disk;
    written_ = 0;
    if (layout_ != nullptr) {
        layout_->beginDisk(disk);
    }
}

void DiskScan::track(D88Image& reader, int track)
{
    if (track >= kTracksLaidIn) {
        return;
    }
    reader.setReadObserver(layout_);
    written_ = linearizeTrack(reader, track, buffer_, written_);
    reader.setReadObserver(nullptr);
}

bool DiskScan::finish(int& counter, OutputSink& sink)
{
    return scanBlocks(buffer_, disk_, counter, sink);
}
