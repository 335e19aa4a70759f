// A report writer that keeps what a survey finds instead of writing it, for
// a program that acts on the judgement rather than showing it: the image,
// its disks, and the summary with the anomalies, what the cutters would
// write and whether the file is a D88 image at all.
#ifndef SURVEY_SURVEY_KEEPER_H
#define SURVEY_SURVEY_KEEPER_H

#include "image_facts.h"

#include <string>
#include <vector>

class SurveyKeeper final : public ReportWriter {
public:
    void beginImage(const ImageFacts& facts) override;
    void beginDisk(const DiskFacts& disk) override { disks.push_back(disk); }
    void track(const TrackFacts&) override {}
    void endDisk() override {}
    void endImage(const ImageSummary& found) override { summary = found; }

    ImageFacts image;
    std::vector<DiskFacts> disks;
    ImageSummary summary;

    // Why the image read is no D88 image at all (not_an_image.h), or empty
    // when it may be one: the survey's judgement.
    std::string notAnImage() const;
};

#endif
