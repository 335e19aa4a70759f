#ifndef SCANCUT_LINEARIZE_H
#define SCANCUT_LINEARIZE_H

class D88Image;

// Tracks 0..152 are laid in; track 153, the last of a standard disk, is not.
constexpr int kTracksLaidIn = 153;

// This is scancut's own rule, not the block layer's logical sectors
// (blocks/): it takes the records a track lists, not a geometry's, reads a
// duplicate ID's first record twice, closes the gap a missing or short
// sector leaves, and leaves the buffer past what it laid in as it was,
// where a block read keeps each sector in its place and fills zeros.
//
// Selects disk index and lays the data of its tracks 0..152 into buffer
// (kImageBufferSize bytes) from its first byte: track after track and,
// within a track, the first 16 listed sectors in ascending sector number.
// What does not fit the buffer is left out; bytes beyond the data laid in
// keep what they held.
void linearizeDisk(D88Image& reader, int index, unsigned char* buffer);

// One step of linearizeDisk: lays track of the current disk into buffer
// from byte written on; returns where the next track goes.
int linearizeTrack(D88Image& reader, int track, unsigned char* buffer, int written);

#endif
