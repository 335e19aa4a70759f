// The geometry a disk of a D88 image has, as the report judges it from its
// tracks (GeometryTally over the survey's tracks), with what a raw image of
// it needs besides: how many tracks its table names, the R its tracks'
// sectors start from, and track 0's own layout where its sectors are of
// another size (the single-density track 0 of 26-sector 2HD disks).
#ifndef CONVERT_DISK_SHAPE_H
#define CONVERT_DISK_SHAPE_H

#include "block_geometry.h"
#include "image_facts.h"
#include "image_file.h"

#include <string>
#include <vector>

struct DiskShape {
    Geometry geometry;           // the report's
    // The highest track the table names that holds records or starts past
    // the end of the file; -1 for none.
    int lastTrack = -1;
    int firstR = 1;              // the lowest R on most tracks of the disk's format
    bool trackZeroOwn = false;   // track 0's sectors are of another size code
    TrackLayout trackZero;       // its layout then
};

// The shape of each disk of the image, surveyed as d88info surveys it;
// false, with why, when the image cannot be read.
bool surveyShapes(const ImageInput& image, std::vector<DiskShape>& shapes, std::string& why);

// The geometry of a raw image of the disk: the report's heads, sectors and
// size, as many cylinders as reach its last track (see lastTrack), track 0
// of its own layout where it has one. False, with why, when the report
// found no format a raw image can hold (no tracks, sectors past 16 KiB,
// more than two heads).
bool rawGeometryOf(const DiskShape& shape, BlockGeometry& geometry, std::string& why);

#endif
