// A D88 image of one disk made from a raw image's sectors: every track of
// the geometry in track order, each sector a record with the ID of its place
// (C and H of the track, R from the geometry's first, its size code), the
// track's sector count, single density where the geometry's track is FM, no
// marks and a status of 0; the media byte from the geometry.
#ifndef CONVERT_D88_WRITER_H
#define CONVERT_D88_WRITER_H

#include "block_geometry.h"
#include "byte_sink.h"

#include <cstdint>
#include <string>

struct DiskLabel {
    std::string name;  // the bytes stored as the disk's name, at most 16
    bool writeProtect = false;
};

// The size of the D88 image of a disk of the geometry.
std::uint64_t d88Size(const BlockGeometry& geometry);

// Writes the D88 image of the disk whose raw image is the
// geometry.totalBytes() bytes at raw.
void writeD88(const unsigned char* raw, const BlockGeometry& geometry, const DiskLabel& label, ByteSink& sink);

#endif
