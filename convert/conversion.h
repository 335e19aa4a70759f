// The conversions, for the program and the front ends alike: a disk of a
// D88 image to a raw (or .fdi) image, and a raw image to a D88 image of one
// disk. Each writes into the caller's sink and says what it did; nothing
// here names a file to write.
#ifndef CONVERT_CONVERSION_H
#define CONVERT_CONVERSION_H

#include "byte_sink.h"
#include "d88_writer.h"
#include "image_file.h"
#include "raw_findings.h"
#include "raw_geometry.h"

#include <string>

struct ToRawResult {
    bool converted = false;
    std::string error;       // when not: why, in a sentence about the image
    int diskCount = 0;
    BlockGeometry geometry;  // the raw image's
    RawFindings findings;    // what it could not hold as the D88 image held it
};

// Writes disk (-1: the only one) of image as a raw image of format (Raw or
// Fdi) under the given geometry, or else the one the disk has; nothing is
// written when it fails.
ToRawResult convertToRaw(const ImageInput& image, int disk, ImageFormat format, const BlockGeometry* given,
                         ByteSink& sink);

struct ToD88Result {
    bool converted = false;
    GeometryChoice choice;   // the geometry and what chose it, or why none was
};

// Writes the D88 image of the raw image of size bytes at data, of format
// (Raw or Fdi), named as named says (the kind its extension names, or
// null), under the given geometry or else the one its evidence names;
// firstR (-1: 1) numbers each track's sectors.
ToD88Result convertToD88(const unsigned char* data, std::size_t size, ImageFormat format, const RawKind* named,
                         const BlockGeometry* given, int firstR, const DiskLabel& label, ByteSink& sink);

#endif
