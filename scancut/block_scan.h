#ifndef SCANCUT_BLOCK_SCAN_H
#define SCANCUT_BLOCK_SCAN_H

// Examines blocks 0..1223 of imageBuffer as possible file starts and writes
// each file found as KX000, KX001, ... numbered from counter, which it
// advances by one per file. Returns false when a file could not be written.
bool scanBlocks(int& counter);

#endif
