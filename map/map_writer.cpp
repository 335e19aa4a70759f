#include "image_map.h"

#include <algorithm>

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
}

void MapWriter::endDisk()
{
    map_.panels.back().geometry = geometry_.result();
}

std::string MapWriter::svg() const
{
    StringOutput output;
    draw(output);
    return std::move(output.text());
}
