// A report writer that keeps what a survey finds instead of writing it, for
// a program that acts on the judgement rather than showing it: the image,
// its disks, whether any track of them starts inside the file, and the
// summary with the anomalies and what the cutters would write.
#ifndef SURVEY_SURVEY_KEEPER_H
#define SURVEY_SURVEY_KEEPER_H

#include "image_facts.h"

#include <string>
#include <vector>

class SurveyKeeper final : public ReportWriter {
public:
    void beginImage(const ImageFacts& facts) override;
    void beginDisk(const DiskFacts& disk) override { disks.push_back(disk); }
    void track(const TrackFacts& track) override;
    void endDisk() override {}
    void endImage(const ImageSummary& found) override { summary = found; }

    ImageFacts image;
    std::vector<DiskFacts> disks;
    bool anyTrack = false;        // some disk's track table names a track
    bool anyTrackInFile = false;  // a usable track of some disk starts before the file's end
    ImageSummary summary;

    // Why the image read is no D88 image at all (not_an_image.h), or empty
    // when it may be one: the survey's judgement.
    std::string notAnImage() const;
};

#endif
