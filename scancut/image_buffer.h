// The buffer every disk is laid into and scanned in: 77 cylinders x 2 heads
// x 8 sectors x 1024 bytes. It is zero at start and never cleared, so a
// shorter disk leaves the end of the previous one in place.
#ifndef SCANCUT_IMAGE_BUFFER_H
#define SCANCUT_IMAGE_BUFFER_H

constexpr int kBlockSize = 1024;
constexpr int kBufferBlocks = 77 * 2 * 8;
constexpr int kImageBufferSize = kBufferBlocks * kBlockSize;

extern unsigned char imageBuffer[kImageBufferSize];

#endif
