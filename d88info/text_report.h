// The report for people: per image a heading, per disk its facts and one
// line per track (with --sectors, one more per record), then what is wrong
// with the image and what the cutters would write from it.
#ifndef D88INFO_TEXT_REPORT_H
#define D88INFO_TEXT_REPORT_H

#include "image_facts.h"
#include "report_output.h"

#include <string>

class TextReport final : public ReportWriter {
public:
    TextReport(ReportOutput& output, bool everyRecord);
    void beginImage(const ImageFacts& image) override;
    void beginDisk(const DiskFacts& disk) override;
    void track(const TrackFacts& track) override;
    void endDisk() override;
    void endImage(const ImageSummary& summary) override;
    void finish() { text_.flush(); }

private:
    void plannedFiles(const char* program, const std::vector<PlannedFile>& files);

    ReportText text_;
    bool everyRecord_;
    bool firstImage_ = true;
};

// Bytes as they are stored, without loss: printable ASCII as it stands, a
// backslash doubled, anything else as \xHH.
std::string shownBytes(const std::string& bytes);

#endif
