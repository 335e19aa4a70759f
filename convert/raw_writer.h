// A disk of a D88 image as a raw image: each logical sector of the geometry
// in order (see block_disk.h), zeros where the image holds no bytes for it,
// and every sector that the raw image cannot hold as the D88 image held it
// noted in the findings, with the records no logical sector takes (on the
// geometry's tracks and on any track past them).
#ifndef CONVERT_RAW_WRITER_H
#define CONVERT_RAW_WRITER_H

#include "block_geometry.h"
#include "byte_sink.h"
#include "raw_findings.h"

class D88Image;

// Writes the reader's current disk under geometry (valid) to sink, one track
// at a time: memory grows with a track, not with the disk.
void writeRaw(D88Image& reader, const BlockGeometry& geometry, ByteSink& sink, RawFindings& findings);

#endif
