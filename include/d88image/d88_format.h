// The layout of a D88 file, in one place. All multi-byte fields are
// little-endian and are decoded byte by byte.
//
// A file holds disks back to back. Each disk opens with a 688-byte header:
//
//   offset  size  field
//   0x00     16   name, NUL-padded; bytes as stored, no character set implied
//   0x10     10   (not used by the reader)
//   0x1A      1   write protect: 0x00 writable, 0x10 protected
//   0x1B      1   media type: 0x00 2D, 0x10 2DD, 0x20 2HD
//   0x1C      4   disk size in bytes, header included: also the distance
//                 from this header to the next disk's
//   0x20    656   track table: 164 offsets of u32, counted from the start of
//                 this header; entry t is track t (cylinder x 2 + head on
//                 two-sided media), 0 when the track is absent
//
// Older tools wrote a 672-byte header whose table has 160 entries: its
// first track starts at 0x2A0, where entries 160-163 would be.
//
// A track is a chain of sector records, each a 16-byte header followed by
// that sector's data; the next record starts right after the data:
//
//   offset  size  field
//   0x00      1   C, cylinder byte of the sector ID
//   0x01      1   H, head byte
//   0x02      1   R, sector number
//   0x03      1   N, size code: the nominal size is 128 << N bytes
//   0x04      2   number of sectors in this track, u16 (each record has its
//                 own; nothing makes them agree)
//   0x06      1   density: 0x00 double, 0x40 single
//   0x07      1   deleted-data mark: 0x10 when the sector was deleted
//   0x08      1   controller status of the read that made the dump, 0 = ok
//   0x09      5   (not used)
//   0x0E      2   data length in bytes, u16: how many data bytes follow
#ifndef D88IMAGE_D88_FORMAT_H
#define D88IMAGE_D88_FORMAT_H

namespace d88format {

constexpr int kDiskHeaderSize = 0x2B0;
constexpr int kDiskNameOffset = 0x00;
constexpr int kDiskNameLength = 16;
constexpr int kWriteProtectOffset = 0x1A;
constexpr int kMediaTypeOffset = 0x1B;
constexpr int kDiskSizeOffset = 0x1C;
constexpr int kTrackTableOffset = 0x20;
constexpr int kTrackEntrySize = 4;  // one u32 offset
constexpr int kTrackCount = 164;
constexpr int kShortDiskHeaderSize = 0x2A0;  // the older header, of 160 entries
constexpr int kMaxDisks = 64;

constexpr int kRecordHeaderSize = 16;
constexpr int kSectorCountOffset = 0x04;
constexpr int kDensityOffset = 0x06;
constexpr int kDeletedOffset = 0x07;
constexpr int kStatusOffset = 0x08;
constexpr int kDataLengthOffset = 0x0E;

static_assert(kTrackTableOffset + kTrackEntrySize * kTrackCount == kDiskHeaderSize, "the track table ends the disk header");
static_assert(kTrackTableOffset + kTrackEntrySize * 160 == kShortDiskHeaderSize, "the older header's table of 160 entries ends it");

}  // namespace d88format

#endif
