// Surveys one image after another: reads each the way the reader and the
// cutters do, and hands what it finds to a report writer as it goes, so
// that memory does not grow with the image.
#ifndef SURVEY_IMAGE_SURVEY_H
#define SURVEY_IMAGE_SURVEY_H

#include "anomalies.h"
#include "image_facts.h"
#include "image_file.h"

#include "preview_buffers.h"

#include <memory>
#include <string>
#include <vector>

class CutPreview;
class D88Image;

class ImageSurvey {
public:
    // Without previews, the survey finds nothing any way of taking files
    // would write (each way's findings empty, their damage not judged): for
    // a caller that wants only the disks' facts and geometry.
    explicit ImageSurvey(ReportWriter& writer, bool previews = true);
    ~ImageSurvey();
    // Reports on one image, a file or bytes in memory.
    ImageStatus survey(const ImageInput& image);
    // Why the last image surveyed could not be read.
    const std::string& lastError() const { return lastError_; }
    // Whether the last image surveyed is no D88 image at all (lastError
    // then says why).
    bool lastNotAnImage() const { return lastNotAnImage_; }

private:
    struct Run;
    void surveyDisk(Run& run, int index);
    void describeDisk(Run& run, int index, DiskFacts& disk);
    void surveyTrack(Run& run, const DiskFacts& disk, int track, TrackChecker& checker, TrackFacts& facts);
    bool zerosFrom(const ImageInput& image, std::uint64_t position);
    std::string judgeImage(const ImageInput& image, const Run& run, const ImageSummary& summary);

    ReportWriter& writer_;
    std::string lastError_;
    bool lastNotAnImage_ = false;
    // The reader and a preview for each way of taking files, reused from
    // image to image.
    std::unique_ptr<D88Image> reader_;
    // A buffer for each preview, kept from image to image and, when the
    // survey goes, for the next survey on the thread (preview_buffers.h).
    // Not shared: the scanning preview lays disks in track by track while
    // the table preview cuts each disk's files.
    std::vector<PreviewBuffer> buffers_;
    std::vector<std::unique_ptr<CutPreview>> previews_;
    TrackFacts firstTrack_;  // a disk's track 0, walked before the disk's kind is known
    TrackFacts track_;

    // The last long walks, by where they start: a hostile image points
    // track after track, disk after disk, at one chain of 65,536 records,
    // and each walk over it would find the same.
    struct Walk {
        std::uint64_t start;
        TrackFacts facts;
        TrackChecker::Seen seen;
    };
    std::vector<Walk> walks_;
};

#endif
