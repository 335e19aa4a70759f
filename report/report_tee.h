// Hands a survey's findings to two report writers in turn, so that one
// survey serves both: a report and the map.
#ifndef D88INFO_REPORT_TEE_H
#define D88INFO_REPORT_TEE_H

#include "image_facts.h"

class ReportTee final : public ReportWriter {
public:
    ReportTee(ReportWriter& first, ReportWriter& second) : first_(first), second_(second) {}
    void beginImage(const ImageFacts& image) override
    {
        first_.beginImage(image);
        second_.beginImage(image);
    }
    void beginDisk(const DiskFacts& disk) override
    {
        first_.beginDisk(disk);
        second_.beginDisk(disk);
    }
    void track(const TrackFacts& track) override
    {
        first_.track(track);
        second_.track(track);
    }
    void endDisk() override
    {
        first_.endDisk();
        second_.endDisk();
    }
    void endImage(const ImageSummary& summary) override
    {
        first_.endImage(summary);
        second_.endImage(summary);
    }

private:
    ReportWriter& first_;
    ReportWriter& second_;
};

#endif
