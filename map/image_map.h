// The map of an image: an SVG picture of every disk, a row per track and a
// cell per record coloured by its state, with the cutters' files drawn on
// it. MapWriter gathers what the map needs from the survey as it goes and
// draws the map when the image ends.
#ifndef MAP_IMAGE_MAP_H
#define MAP_IMAGE_MAP_H

#include "geometry.h"
#include "image_facts.h"
#include "record_state.h"
#include "report_output.h"

#include <cstddef>
#include <string>
#include <vector>

// A hostile image can hold 65,536 records on every track of 64 disks; the
// map draws at most this many of a track's records, and this many in all,
// and says how many it left out.
constexpr std::size_t kMapCellsPerTrack = 64;
constexpr std::size_t kMapCellsPerImage = 100000;

// What a cell shows of its record, in 24 bytes: an image has tens of
// thousands.
struct MapCell {
    std::uint64_t position;  // the record's, in the file
    SectorId id;
    std::uint16_t length;   // its data length field
    std::uint16_t present;  // of them, the bytes the file holds
    std::uint8_t status;
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

// The parts of a disk the map tells apart where its records are whole: its
// file system's areas, as a reader of the file system knows them, and each
// file's sectors (the cutters' files are fed in this way).
enum class MapAreaKind { System, Directory, AllocationTable, File };
constexpr std::size_t kMapAreaKindCount = 4;

// A record of an area, by where the survey met it.
struct AreaRecord {
    int disk;
    int track;
    std::uint64_t position;  // the record's, in the file
};

struct MapArea {
    MapAreaKind kind;
    std::string label;  // in the titles of its cells: "the boot sector", "KX201 (tablecut)"
    std::vector<AreaRecord> records;
};

struct ImageMap {
    ImageFacts image;
    std::vector<MapPanel> panels;  // one per disk
    std::vector<MapCell> cells;
    std::size_t cellsLeftOut = 0;  // records the walks visited that are not drawn
    // Areas known of the disks; a record in more than one is drawn in the
    // first, and the cutters' files follow these.
    std::vector<MapArea> areas;
};

// Draws the map as a standalone SVG 1.1 document into output, handed on in
// pieces of some 64 KiB.
void drawMap(const ImageMap& map, const ImageSummary& summary, ReportOutput& output);

// Gathers an image's map from its survey, one survey serving the map and a
// report through a ReportTee. Once the image is surveyed, its map can be
// drawn, until the next image begins.
class MapWriter final : public ReportWriter {
public:
    void beginImage(const ImageFacts& image) override;
    void beginDisk(const DiskFacts& disk) override;
    void track(const TrackFacts& track) override;
    void endDisk() override;
    void endImage(const ImageSummary& summary) override { summary_ = summary; }
    // An area of the image being surveyed, to be drawn: after its
    // beginImage, before its map is drawn.
    void addArea(MapArea area) { map_.areas.push_back(std::move(area)); }

    // The last image's map, into output or as one text.
    void draw(ReportOutput& output) const { drawMap(map_, summary_, output); }
    std::string svg() const;

private:
    ImageMap map_;
    ImageSummary summary_;
    // The disk's file-system areas, whose records are found as its tracks
    // come: by track and ID, as the file system names its sectors.
    std::vector<MapArea> diskAreas_;
    std::vector<std::vector<SectorPlace>> areaSectors_;
    GeometryTally geometry_;
    std::vector<RecordState> states_;
};

#endif
