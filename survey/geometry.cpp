#include "geometry.h"

#include <algorithm>

void GeometryTally::clear()
{
    cylinders_.reset();
    heads_.reset();
    formats_.clear();
    tracks_ = 0;
}

void GeometryTally::add(const TrackFacts& track)
{
    if (track.trackRecords == 0 || track.records.empty()) {
        return;
    }
    const SectorId& id = track.records.front().record.id;
    ++tracks_;
    cylinders_.set(id.c);
    heads_.set(id.h);
    const Format format{track.trackRecords, static_cast<int>(std::max(nominalSize(id.n), 0LL))};
    auto known = std::find_if(formats_.begin(), formats_.end(), [&](const auto& f) { return f.first == format; });
    if (known == formats_.end()) {
        known = formats_.insert(formats_.end(), {format, 0});
    }
    ++known->second;
}

Geometry GeometryTally::result() const
{
    Geometry geometry;
    geometry.tracks = tracks_;
    if (tracks_ == 0) {
        return geometry;
    }
    const auto most = std::max_element(formats_.begin(), formats_.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    geometry.cylinders = static_cast<int>(cylinders_.count());
    geometry.heads = static_cast<int>(heads_.count());
    geometry.sectors = static_cast<int>(most->first.first);
    geometry.sectorSize = most->first.second;
    geometry.otherTracks = tracks_ - most->second;
    return geometry;
}
