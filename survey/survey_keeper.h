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

    // Why the image read is no D88 image at all, or empty when it may be
    // one: no whole disk header, a first header of zero bytes (the survey's
    // no-disks), or disks whose tracks all lie outside the
    // file (text, random bytes, or a header with nothing after it). A disk
    // whose table names no track at all is a blank disk, not a foreign file.
    std::string notAnImage() const;
};

#endif
