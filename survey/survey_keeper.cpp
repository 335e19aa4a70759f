#include "survey_keeper.h"

#include "anomaly_kinds.h"

void SurveyKeeper::beginImage(const ImageFacts& facts)
{
    image = facts;
    disks.clear();
    anyTrack = false;
    anyTrackInFile = false;
    summary = {};
}

void SurveyKeeper::track(const TrackFacts& track)
{
    anyTrack = true;
    anyTrackInFile = anyTrackInFile || (track.usable && !disks.empty() && disks.back().offset + track.offset < image.size);
}

std::string SurveyKeeper::notAnImage() const
{
    if (image.diskCount == 0) {
        return "not a D88 image (no whole " + std::to_string(d88format::kDiskHeaderSize) + "-byte disk header)";
    }
    // The survey's own finding: a first header of zero bytes is none.
    for (const Anomaly& anomaly : summary.anomalies) {
        if (anomaly.kind == anomalyKind(AnomalyKind::NoDisks).key) {
            return "not a D88 image (its first " + std::to_string(d88format::kDiskHeaderSize) +
                   " bytes are zero: no disk header)";
        }
    }
    if (anyTrack && !anyTrackInFile) {
        return "not a D88 image (no track of any disk lies in the file), or one cut short after its header";
    }
    return {};
}
