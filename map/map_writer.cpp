#include "image_map.h"

#include <algorithm>

namespace {

MapAreaKind mapAreaKind(AreaKind kind)
{
    switch (kind) {
    case AreaKind::Directory:
        return MapAreaKind::Directory;
    case AreaKind::AllocationTable:
        return MapAreaKind::AllocationTable;
    case AreaKind::System:
        break;
    }
    return MapAreaKind::System;
}

// "allocation table": the area's name in a cell's title.
std::string areaWords(AreaKind kind)
{
    switch (kind) {
    case AreaKind::Directory:
        return "directory";
    case AreaKind::AllocationTable:
        return "allocation table";
    case AreaKind::System:
        break;
    }
    return "system sectors";
}

}  // namespace

void MapWriter::beginImage(const ImageFacts& image)
{
    map_ = ImageMap{};
    map_.image = image;
    summary_ = ImageSummary{};
}

void MapWriter::beginDisk(const DiskFacts& disk)
{
    MapPanel panel;
    panel.disk = disk;
    map_.panels.push_back(std::move(panel));
    geometry_.clear();
    diskAreas_.clear();
    areaSectors_.clear();
    if (disk.fileSystem != nullptr && disk.fileSystem->found) {
        for (const Area& area : disk.fileSystem->areas) {
            diskAreas_.push_back({mapAreaKind(area.kind), "the " + areaWords(area.kind) + " of " +
                                  disk.fileSystem->name, {}});
            areaSectors_.push_back(area.sectors);
        }
    }
}

void MapWriter::track(const TrackFacts& track)
{
    MapPanel& panel = map_.panels.back();
    if (!panel.drawn()) {
        return;
    }
    geometry_.add(track);
    MapRow row;
    row.track = track.index;
    row.offset = track.offset;
    row.usable = track.usable;
    row.end = track.end;
    row.cutShort = track.cutShort;
    row.recordCount = track.recordCount;
    row.trackRecords = track.trackRecords;
    row.firstCell = map_.cells.size();
    row.cellCount = std::min({track.records.size(), kMapCellsPerTrack, kMapCellsPerImage - map_.cells.size()});
    map_.cellsLeftOut += track.recordCount - row.cellCount;
    recordStates(track.records.data(), row.cellCount, states_);
    for (std::size_t i = 0; i < row.cellCount; ++i) {
        const SectorRecord& record = track.records[i].record;
        map_.cells.push_back({record.position, record.id, static_cast<std::uint16_t>(record.length),
                              static_cast<std::uint16_t>(track.records[i].present),
                              static_cast<std::uint8_t>(record.status), states_[i]});
    }
    panel.rows.push_back(row);
    for (std::size_t i = 0; i < diskAreas_.size(); ++i) {
        for (const SectorPlace& place : areaSectors_[i]) {
            for (std::size_t k = 0; k < row.cellCount && place.track == track.index; ++k) {
                const SectorId id = track.records[k].record.id;
                if (id.c == place.c && id.h == place.h && id.r == place.r && id.n == place.n) {
                    diskAreas_[i].records.push_back({panel.disk.index, track.index, track.records[k].record.position});
                    break;
                }
            }
        }
    }
}

void MapWriter::endDisk()
{
    map_.panels.back().geometry = geometry_.result();
    for (MapArea& area : diskAreas_) {
        if (!area.records.empty()) {
            map_.areas.push_back(std::move(area));
        }
    }
    diskAreas_.clear();
}

std::string MapWriter::svg() const
{
    StringOutput output;
    draw(output);
    return std::move(output.text());
}
