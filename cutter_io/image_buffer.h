// The buffer both cutters read sector data into: 77 cylinders x 2 heads x
// 8 sectors x 1024 bytes, seen as 1232 blocks of 1 KiB.
#ifndef CUTTER_IO_IMAGE_BUFFER_H
#define CUTTER_IO_IMAGE_BUFFER_H

constexpr int kBlockSize = 1024;
constexpr int kBufferBlocks = 77 * 2 * 8;
constexpr int kImageBufferSize = kBufferBlocks * kBlockSize;

#endif
