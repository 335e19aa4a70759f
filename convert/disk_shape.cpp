#include "disk_shape.h"

#include "geometry.h"
#include "image_survey.h"

#include <algorithm>
#include <map>

namespace {

// A track as the shape needs it: its format and the lowest R of its own records.
struct TrackSummary {
    std::size_t records;
    int sizeCode;
    int lowestR;
};

class ShapeWriter final : public ReportWriter {
public:
    explicit ShapeWriter(std::vector<DiskShape>& shapes) : shapes_(shapes) {}
    void beginImage(const ImageFacts&) override {}
    void beginDisk(const DiskFacts&) override
    {
        tally_.clear();
        tracks_.clear();
        shape_ = DiskShape();
    }
    void track(const TrackFacts& track) override
    {
        tally_.add(track);
        // A track counts when it holds records or the file ends before its
        // first: a cut-short disk's raw image has the whole disk's size. An
        // empty track inside the file is an unformatted one.
        if (track.trackRecords > 0 || (track.usable && track.end == WalkEnd::EndOfFile)) {
            shape_.lastTrack = std::max(shape_.lastTrack, track.index);
        }
        const std::size_t own = std::min(track.trackRecords, track.records.size());
        if (own == 0) {
            return;
        }
        int lowest = 256;
        for (std::size_t i = 0; i < own; ++i) {
            lowest = std::min<int>(lowest, track.records[i].record.id.r);
        }
        const SectorRecord& first = track.records.front().record;
        tracks_.push_back({track.trackRecords, first.id.n, lowest});
        if (track.index == 0) {
            shape_.trackZero = {static_cast<int>(std::min<std::size_t>(track.trackRecords, 255)), first.id.n,
                                first.density == 0x40};
        }
    }
    void endDisk() override
    {
        shape_.geometry = tally_.result();
        const int sizeCode = sizeCodeOf(shape_.geometry.sectorSize);
        std::map<int, int> starts;  // lowest R, and the tracks of the disk's format that start there
        for (const TrackSummary& track : tracks_) {
            if (track.records == static_cast<std::size_t>(shape_.geometry.sectors) && track.sizeCode == sizeCode) {
                ++starts[track.lowestR];
            }
        }
        int most = 0;
        for (const auto& start : starts) {
            if (start.second > most) {
                most = start.second;
                shape_.firstR = start.first;
            }
        }
        shape_.trackZeroOwn = shape_.trackZero.sectors > 0 && shape_.trackZero.sizeCode != sizeCode;
        shapes_.push_back(shape_);
    }
    void endImage(const ImageSummary&) override {}

private:
    std::vector<DiskShape>& shapes_;
    GeometryTally tally_;
    std::vector<TrackSummary> tracks_;
    DiskShape shape_;
};

}  // namespace

bool surveyShapes(const ImageInput& image, std::vector<DiskShape>& shapes, std::string& why)
{
    shapes.clear();
    ShapeWriter writer(shapes);
    ImageSurvey survey(writer, false);  // the disks' shapes alone
    if (survey.survey(image) == ImageStatus::Unreadable) {
        why = survey.lastError();
        return false;
    }
    return true;
}

bool rawGeometryOf(const DiskShape& shape, BlockGeometry& geometry, std::string& why)
{
    const Geometry& g = shape.geometry;
    const int sizeCode = sizeCodeOf(g.sectorSize);
    if (g.tracks == 0) {
        why = "it has no track that holds sectors";
        return false;
    }
    const int heads = g.heads;
    geometry = BlockGeometry::uniform(heads >= 1 && heads <= 2 ? shape.lastTrack / heads + 1 : 0, heads,
                                      std::min(g.sectors, 256), std::max(sizeCode, 0), shape.firstR);
    if (shape.trackZeroOwn) {
        geometry.firstTrack = shape.trackZero;
    }
    if (sizeCode < 0 || !geometry.valid()) {
        why = "the format most of its tracks share (" + std::to_string(g.cylinders) + " x " + std::to_string(heads) +
              " x " + std::to_string(g.sectors) + " x " + std::to_string(g.sectorSize) +
              ", from R " + std::to_string(shape.firstR) + ") is none a raw image can hold";
        return false;
    }
    return true;
}
