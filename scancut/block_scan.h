#ifndef SCANCUT_BLOCK_SCAN_H
#define SCANCUT_BLOCK_SCAN_H

#include "output_sink.h"

// Examines blocks 0..1223 of buffer (kImageBufferSize bytes, disk disk laid
// in) as possible file starts and hands each file found to sink as KX000,
// KX001, ... numbered from counter, which it advances by one per file.
// Returns false when the sink failed a file.
bool scanBlocks(const unsigned char* buffer, int disk, int& counter, OutputSink& sink);

#endif
