// A disk's geometry from its tracks as a survey hands them on: the format
// most of its tracks share, and how many do not share it.
#ifndef SURVEY_GEOMETRY_H
#define SURVEY_GEOMETRY_H

#include "image_facts.h"

#include <bitset>
#include <cstddef>
#include <utility>
#include <vector>

class GeometryTally {
public:
    // Forgets the tracks added so far, for the next disk.
    void clear();
    void add(const TrackFacts& track);
    Geometry result() const;

private:
    using Format = std::pair<std::size_t, int>;  // records, nominal size of the first
    std::bitset<256> cylinders_, heads_;
    std::vector<std::pair<Format, int>> formats_;  // with the tracks of each: a disk has a few at the most
    int tracks_ = 0;
};

#endif
