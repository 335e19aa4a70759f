#include "image_survey.h"

#include <d88image/d88image.h>

#include "anomalies.h"
#include "block_scan.h"
#include "cut_preview.h"
#include "image_buffer.h"
#include "image_file.h"
#include "linearize.h"
#include "table_cut.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kScannedDisks = 2;

// Collects a track's records for the report and shows each to the checker.
class TrackCollector : public RecordVisitor {
public:
    TrackCollector(TrackFacts& facts, TrackChecker& checker, std::uint64_t fileSize, std::size_t& listedInImage)
        : facts_(facts), checker_(checker), fileSize_(fileSize), listedInImage_(listedInImage)
    {
    }

    bool visit(const SectorRecord& record) override
    {
        const std::uint64_t data = record.position + 16;
        const std::uint64_t held = data < fileSize_ ? fileSize_ - data : 0;
        const RecordFacts facts{record, static_cast<std::uint32_t>(std::min<std::uint64_t>(held, record.length))};
        checker_.record(facts);
        ++facts_.recordCount;
        lastShort_ = facts.present < static_cast<std::uint32_t>(record.length);
        if (facts_.records.size() < kRecordsListedPerTrack && listedInImage_ < kRecordsListedPerImage) {
            facts_.records.push_back(facts);
            ++listedInImage_;
        }
        return true;
    }
    bool lastShort() const { return lastShort_; }

private:
    TrackFacts& facts_;
    TrackChecker& checker_;
    std::uint64_t fileSize_;
    std::size_t& listedInImage_;
    bool lastShort_ = false;
};

// What track 1 holds, for a disk that none of the probes recognised.
std::string trackOneNote(D88Image& reader)
{
    const std::string probes = "the probes look on track 1 for sector 16, 32 or 48 with C 0, H 1, N 3 and data";
    if (reader.trackOffset(1) == 0) {
        return probes + "; the disk has no track 1";
    }
    SectorId ids[16];
    const int count = reader.listSectorIds(1, reinterpret_cast<unsigned char*>(ids), sizeof ids) / 4;
    if (count == 0) {
        return probes + "; track 1 has no record that can be read";
    }
    bool sameChn = true;
    for (int i = 1; i < count; ++i) {
        sameChn = sameChn && ids[i].c == ids[0].c && ids[i].h == ids[0].h && ids[i].n == ids[0].n;
    }
    std::string held = "; track 1 holds";
    for (int i = 0; i < count; ++i) {
        if (sameChn) {
            held += (i == 0 ? " R " : " ") + std::to_string(ids[i].r);
        } else {
            held += (i == 0 ? " " : ", ") + std::string("C ") + std::to_string(ids[i].c) + " H " +
                    std::to_string(ids[i].h) + " R " + std::to_string(ids[i].r) + " N " + std::to_string(ids[i].n);
        }
    }
    if (sameChn) {
        held += " (C " + std::to_string(ids[0].c) + ", H " + std::to_string(ids[0].h) + ", N " +
                std::to_string(ids[0].n) + ")";
    }
    return probes + held;
}

}  // namespace

struct ImageSurvey::Run {
    Run(D88Image& reader, std::uint64_t fileSize) : table(reader, fileSize) {}
    ImageFacts image;
    AnomalyList anomalies;
    TablePreview table;
    ScanPreview scan;
    int scanCounter = 0;
    std::size_t listedInImage = 0;
    std::uint64_t endOfLastDisk = 0;
};

ImageSurvey::ImageSurvey(ReportWriter& writer)
    : writer_(writer),
      reader_(std::make_unique<D88Image>()),
      tableBuffer_(new unsigned char[kImageBufferSize]),  // the cutter clears what it uses
      scanBuffer_(new unsigned char[kImageBufferSize])    // cleared for each image
{
}

ImageSurvey::~ImageSurvey() = default;

ImageStatus ImageSurvey::survey(const std::string& path)
{
    ImageSummary summary;
    std::uint64_t size = 0;
    std::string refused = notAnImageFile(path, size);
    Run run(*reader_, size);
    run.image.path = path;
    errno = 0;
    if (refused.empty() && !reader_->open(path.c_str())) {
        refused = errno != 0 ? std::strerror(errno) : "it cannot be read";
    }
    if (!refused.empty()) {
        run.image.error = refused;
        lastError_ = refused;
        writer_.beginImage(run.image);
        summary.status = ImageStatus::Unreadable;
        writer_.endImage(summary);
        return summary.status;
    }
    walks_.clear();
    run.image.readable = true;
    run.image.size = size;
    run.image.diskCount = reader_->diskCount();
    writer_.beginImage(run.image);

    // As scancut starts: a buffer of zeros, laid into disk after disk.
    std::memset(scanBuffer_.get(), 0, kImageBufferSize);
    for (int d = 0; d < run.image.diskCount; ++d) {
        surveyDisk(run, d);
        if (d < kScannedDisks) {
            scanBlocks(scanBuffer_.get(), d, run.scanCounter, run.scan);
        }
    }
    // An I/O error part way leaves reads short of what the file holds: what
    // was reported of the image cannot be trusted.
    const bool readFailed = reader_->readFailed();
    if (readFailed) {
        summary.error = std::string("a read failed: ") + std::strerror(reader_->readError());
        lastError_ = summary.error;
    }
    reader_->close();

    checkImage(run.image, run.endOfLastDisk, run.anomalies);
    markReplaced(run.table.files);
    summary.trailingBytes = run.image.diskCount > 0 && size > run.endOfLastDisk ? size - run.endOfLastDisk : 0;
    summary.anomalies = std::move(run.anomalies.items());
    summary.anomaliesLeftOut = run.anomalies.leftOut();
    summary.tablecut = std::move(run.table.files);
    summary.scancut = std::move(run.scan.files);
    summary.status = readFailed                   ? ImageStatus::Unreadable
                     : run.anomalies.anyDamage() ? ImageStatus::Damaged
                                                 : ImageStatus::Ok;
    writer_.endImage(summary);
    return summary.status;
}

// The disk's tracks are walked in order, and the cutters read it as they
// would: tablecut's probes and cuts, and for the first two disks scancut's
// laying-in, track by track. The order keeps the reads near one another, so
// that the file is read about once: the probe on track 1 comes after the
// walk over track 0, when the window already holds track 1, and each track
// is laid in right after its walk.
void ImageSurvey::surveyDisk(Run& run, int index)
{
    D88Image& reader = *reader_;
    reader.selectDisk(index);
    DiskFacts disk;
    disk.index = index;
    disk.offset = reader.diskOffset(index);
    disk.name = reader.diskName();
    disk.media = reader.mediaType();
    disk.writeProtect = reader.writeProtect();
    disk.size = reader.diskSize();
    disk.bytesPresent = run.image.size > disk.offset ? std::min<std::uint64_t>(disk.size, run.image.size - disk.offset) : 0;
    if (index == run.image.diskCount - 1) {
        run.endOfLastDisk = disk.offset + disk.size;
    }
    const bool scanned = index < kScannedDisks;
    int laidIn = 0;

    TrackChecker checker(disk, run.image.size);
    checker.begin(0);
    surveyTrack(run, disk, 0, checker, firstTrack_);
    if (scanned) {
        laidIn = linearizeTrack(reader, 0, scanBuffer_.get(), laidIn);
    }
    bool allWritten = true;
    disk.kind = cutDisk(reader, index, tableBuffer_.get(), run.table, &run.table, allWritten);
    if (disk.kind == DiskKind::None) {
        disk.kindNote = trackOneNote(reader);
    }

    writer_.beginDisk(disk);
    DiskChecker diskChecker(disk, run.image.size);
    for (int t = 0; t < D88Image::kTrackCount; ++t) {
        if (t > 0) {
            checker.begin(t);
            surveyTrack(run, disk, t, checker, track_);
            if (scanned && t < kTracksLaidIn) {
                laidIn = linearizeTrack(reader, t, scanBuffer_.get(), laidIn);
            }
        }
        const TrackFacts& track = t == 0 ? firstTrack_ : track_;
        if (track.offset == 0) {
            continue;
        }
        checker.finish(track, run.anomalies);
        diskChecker.track(track);
        writer_.track(track);
    }
    diskChecker.finish(run.anomalies);
    writer_.endDisk();
}

// Fills facts (whose record list keeps its room from track to track).
void ImageSurvey::surveyTrack(Run& run, const DiskFacts& disk, int track, TrackChecker& checker, TrackFacts& facts)
{
    // More than a disk has tracks, so that disks indexed again and again
    // (a size of 0) find all their walks; at most some 9 MiB.
    constexpr std::size_t kRememberedWalks = 192;
    constexpr std::size_t kLongWalk = 256;  // records; shorter walks cost less than remembering them

    facts.index = track;
    facts.offset = reader_->trackOffset(track);
    facts.usable = facts.offset != 0 && facts.offset <= disk.size;
    facts.end = WalkEnd::Unusable;
    facts.recordCount = 0;
    facts.cutShort = false;
    facts.records.clear();
    if (!facts.usable) {
        return;
    }
    const std::uint64_t start = disk.offset + facts.offset;
    const auto walk = std::find_if(walks_.begin(), walks_.end(), [&](const Walk& w) { return w.start == start; });
    if (walk != walks_.end()) {
        facts.end = walk->facts.end;
        facts.recordCount = walk->facts.recordCount;
        facts.cutShort = walk->facts.cutShort;
        for (const RecordFacts& record : walk->facts.records) {
            if (run.listedInImage >= kRecordsListedPerImage) {
                break;
            }
            facts.records.push_back(record);
            ++run.listedInImage;
        }
        checker.adopt(track, walk->seen);
        return;
    }
    TrackCollector collector(facts, checker, run.image.size, run.listedInImage);
    facts.end = reader_->walkTrack(track, collector);
    facts.cutShort = facts.end == WalkEnd::EndOfFile || collector.lastShort();
    checker.close();
    if (facts.recordCount >= kLongWalk) {
        if (walks_.size() == kRememberedWalks) {
            walks_.erase(walks_.begin());
        }
        walks_.push_back({start, facts, checker.seen()});
    }
}
