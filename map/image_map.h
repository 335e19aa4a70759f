// The map of an image: an SVG picture of every disk, a row per track and a
// cell per record coloured by its state, with the cutters' files drawn on
// it. MapWriter gathers what the map needs from the survey as it goes and
// draws the map when the image ends.
#ifndef MAP_IMAGE_MAP_H
#define MAP_IMAGE_MAP_H

#include "geometry.h"
#include "image_facts.h"
#include "record_state.h"

#include <cstddef>
#include <string>
#include <vector>

// A hostile image can hold 65,536 records on every track of 64 disks; the
// map draws at most this many of a track's records, and this many in all,
// and says how many it left out.
constexpr std::size_t kMapCellsPerTrack = 64;
constexpr std::size_t kMapCellsPerImage = 100000;

struct MapCell {
    SectorRecord record;
    std::uint32_t present;  // of the data length, the bytes the file holds
    RecordState state;
};

struct MapRow {
    int track = 0;
    std::uint32_t offset = 0;
    bool usable = false;
    WalkEnd end = WalkEnd::Unusable;
    bool cutShort = false;         // the end of the file cuts its records short
    std::size_t recordCount = 0;   // records the walk visited
    std::size_t trackRecords = 0;  // of them, the track's own
    std::size_t firstCell = 0;     // its cells in ImageMap::cells, in stored order
    std::size_t cellCount = 0;
};

struct MapPanel {
    DiskFacts disk;
    Geometry geometry;
    std::vector<MapRow> rows;  // the tracks with an offset, ascending
    // Drawn unless it is an earlier disk again or zero bytes read as one.
    bool drawn() const { return disk.sameAs < 0 && !disk.blank; }
};

struct ImageMap {
    ImageFacts image;
    std::vector<MapPanel> panels;  // one per disk
    std::vector<MapCell> cells;
    std::size_t cellsLeftOut = 0;  // records the walks visited that are not drawn
};

// The map as a standalone SVG 1.1 document.
std::string drawMap(const ImageMap& map, const ImageSummary& summary);

// Gathers an image's map from its survey, one survey serving the map and a
// report through a ReportTee; draws the map at the end of the image.
class MapWriter final : public ReportWriter {
public:
    void beginImage(const ImageFacts& image) override;
    void beginDisk(const DiskFacts& disk) override;
    void track(const TrackFacts& track) override;
    void endDisk() override;
    void endImage(const ImageSummary& summary) override;

    // The last image's map; empty until its end.
    const std::string& svg() const { return svg_; }

private:
    ImageMap map_;
    GeometryTally geometry_;
    std::vector<RecordState> states_;
    std::string svg_;
};

#endif
