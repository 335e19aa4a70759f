// d88convert's conversions of one disk: a disk of a D88 image to a raw
// image, a raw image to a D88 image, each written whole.
#ifndef D88CONVERT_DISK_CONVERSION_H
#define D88CONVERT_DISK_CONVERSION_H

#include "image_formats.h"
#include "options.h"
#include "run_state.h"

// Writes the disk options pick of the D88 image files[0] as files[1], in format to.
int d88ToRaw(const Options& options, ImageFormat to, Run& run);
// Writes the raw image files[0], of size bytes, of format from (its
// extension naming the kind named, or null), as the D88 image files[1].
int rawToD88(const Options& options, ImageFormat from, const RawKind* named, std::uint64_t size, Run& run);

#endif
