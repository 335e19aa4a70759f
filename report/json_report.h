// The report as one JSON document for the whole run:
// {"version": 1, "images": [IMAGE, ...]}, every record of every track listed,
// or each disk's tracks only counted.
#ifndef REPORT_JSON_REPORT_H
#define REPORT_JSON_REPORT_H

#include "geometry.h"
#include "image_facts.h"
#include "json_writer.h"
#include "record_state.h"
#include "report_output.h"

#include <memory>

// An anomaly's place as members: disk, track and position, each left out
// where it does not apply.
void writeAnomalyPlace(JsonWriter& json, const Anomaly& anomaly);

// What a disk's "tracks" member holds: the list of its tracks, each with
// its records, or their number. The records are nearly all of a big
// image's report; a caller that shows a record when asked for it has no
// use for them up front.
enum class TrackList { Listed, Counted };

class JsonReport final : public ReportWriter {
public:
    explicit JsonReport(ReportOutput& output, TrackList tracks = TrackList::Listed);
    void beginImage(const ImageFacts& image) override;
    void beginDisk(const DiskFacts& disk) override;
    void track(const TrackFacts& track) override;
    void endDisk() override;
    void endImage(const ImageSummary& summary) override;
    // Closes the document and hands the rest on.
    void finish();

private:
    void plannedFiles(const char* key, const std::vector<PlannedFile>& files);

    ReportText text_;
    JsonWriter json_;
    TrackList tracks_;
    unsigned long long trackCount_ = 0;  // of the disk being written
    GeometryTally geometry_;  // of the disk being written
    std::vector<RecordState> states_;  // of the track being written
    std::shared_ptr<const FileListing> fileSystem_;  // of the disk being written
};

#endif
