// The report for people. Per image the answer comes first: the status, the
// disks in a line each, the damage and what the cutters would write, in
// counts. The details follow: each disk's facts and its tracks, tracks that
// look alike in one line (with EveryTrack a line per track, with
// EveryRecord one more per record), the anomalies, those of one kind in
// one line, and the cutters' files. Every line fits in 80 columns.
#ifndef REPORT_TEXT_REPORT_H
#define REPORT_TEXT_REPORT_H

#include "geometry.h"
#include "image_facts.h"
#include "report_output.h"

#include <string>
#include <vector>

enum class TrackDetail { Folded, EveryTrack, EveryRecord };

class TextReport final : public ReportWriter {
public:
    // With files, a line for each file of a disk's own file system.
    TextReport(ReportOutput& output, TrackDetail detail, bool files = false);
    void beginImage(const ImageFacts& image) override;
    void beginDisk(const DiskFacts& disk) override;
    void track(const TrackFacts& track) override;
    void endDisk() override;
    void endImage(const ImageSummary& summary) override;
    // Hands on what is written so far.
    void flush() { text_.flush(); }
    // Ends the report: after several images, a line of totals.
    void finish();

private:
    // Tracks that look alike, waiting for one that does not.
    struct TrackRun {
        bool open = false;
        TrackFacts first;
        bool firstFollows = false;  // its records read as its index says
        int lastIndex = 0;
        std::uint32_t lastOffset = 0;
    };
    struct ToldDisk {
        DiskFacts facts;
        Geometry geometry;
    };
    // Disks that are an earlier one again, or zero bytes read as headers.
    struct DiskRun {
        bool open = false;
        DiskFacts first;
        int lastIndex = 0;
    };

    void endTrackRun();
    void endDiskRun();
    void trackLine(const TrackFacts& track, int lastIndex, std::uint32_t lastOffset);
    void records(const TrackFacts& track);
    void summary(std::string& out, const ImageSummary& summary) const;
    void anomalies(std::string& out, const ImageSummary& summary) const;

    ReportText text_;
    TrackDetail detail_;
    bool files_ = false;
    // The image being reported: its facts, its disks, and its details,
    // which wait for the summary that the end of the image brings.
    ImageFacts image_;
    std::vector<ToldDisk> disks_;
    std::string details_;
    std::size_t geometryAt_ = 0;  // where in details_ the disk's geometry goes, once its tracks are in
    std::size_t filesAt_ = 0;     // where its files go (after its geometry's place)
    GeometryTally geometry_;
    TrackRun trackRun_;
    DiskRun diskRun_;
    int images_ = 0;
    int byStatus_[3] = {};  // images ok, damaged, unreadable
};

// Bytes as they are stored, without loss: printable ASCII as it stands, a
// backslash doubled, anything else as \xHH.
std::string shownBytes(const std::string& bytes);

// The disk's name as people read it, in quotes: decoded when it is
// Shift-JIS text without control characters, else its bytes as stored.
// What the ways of taking files make of the disk, in a few words each, each
// after before: "  Program Disk".
std::string diskWordsOfAll(const DiskFacts& disk, const char* before);

std::string shownName(const DiskFacts& disk);

// "77 cylinders x 2 heads, 8 sectors of 1024 bytes per track" in full, else
// "77 x 2, 8 x 1024 B"; a mixed disk says how many tracks differ.
// A disk the end of the file cuts short says so instead of "mixed".
std::string geometryText(const Geometry& geometry, bool inFull, bool cutShort);

#endif
