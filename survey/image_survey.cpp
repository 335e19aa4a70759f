#include "image_survey.h"

#include <d88image/d88image.h>

#include "anomalies.h"
#include "cutter.h"
#include "file_system_check.h"
#include "image_file.h"
#include "not_an_image.h"
#include "preview_buffers.h"
#include "shift_jis.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {


// Collects a track's records for the report and shows each to the checker.
class TrackCollector : public RecordVisitor {
public:
    TrackCollector(TrackFacts& facts, TrackChecker& checker, std::uint64_t fileSize, std::size_t& listedInImage)
        : facts_(facts), checker_(checker), fileSize_(fileSize), listedInImage_(listedInImage)
    {
    }

    bool visit(const SectorRecord& record) override
    {
        const std::uint64_t data = record.position + d88format::kRecordHeaderSize;
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

}  // namespace

struct ImageSurvey::Run {
    ImageFacts image;
    AnomalyList anomalies;
    std::size_t listedInImage = 0;
    ImageEnd end;
    bool anyTrack = false;        // some disk's track table names a track
    bool anyTrackInFile = false;  // a usable track of some disk starts before the file's end
};

ImageSurvey::ImageSurvey(ReportWriter& writer, bool previews)
    : writer_(writer), reader_(std::make_unique<D88Image>())
{
    for (std::size_t way = 0; previews && way < cutterCount(); ++way) {
        buffers_.push_back(takePreviewBuffer());
        previews_.push_back(cutterAt(way).newPreview(buffers_.back().get()));
    }
}

ImageSurvey::~ImageSurvey()
{
    previews_.clear();
    for (PreviewBuffer& buffer : buffers_) {
        givePreviewBuffer(std::move(buffer));
    }
}

ImageStatus ImageSurvey::survey(const ImageInput& image)
{
    ImageSummary summary;
    std::uint64_t size = 0;
    std::string refused = image.notAnImage(size);
    lastNotAnImage_ = false;
    Run run;
    run.image.path = image.path;
    errno = 0;
    if (refused.empty() && !image.openIn(*reader_)) {
        refused = errno != 0 ? std::strerror(errno) : "it cannot be read";
    }
    if (!refused.empty()) {
        run.image.error = refused;
        lastError_ = refused;
        writer_.beginImage(run.image);
        summary.cuts.resize(cutterCount());  // nothing found by any way
        summary.status = ImageStatus::Unreadable;
        writer_.endImage(summary);
        return summary.status;
    }
    walks_.clear();
    run.image.readable = true;
    run.image.size = size;
    run.image.diskCount = reader_->diskCount();
    writer_.beginImage(run.image);

    for (const std::unique_ptr<CutPreview>& preview : previews_) {
        preview->beginImage(*reader_, size);
    }
    for (int d = 0; d < run.image.diskCount; ++d) {
        surveyDisk(run, d);
    }
    for (const std::unique_ptr<CutPreview>& preview : previews_) {
        preview->endImage(*reader_);
    }
    // An I/O error part way leaves reads short of what the file holds: what
    // was reported of the image cannot be trusted.
    const bool readFailed = reader_->readFailed();
    if (readFailed) {
        summary.error = std::string("a read failed: ") + std::strerror(reader_->readError());
        lastError_ = summary.error;
    }
    reader_->close();

    const std::uint64_t endOfDisks = run.end.end;
    run.end.zeros = size > endOfDisks && zerosFrom(image, endOfDisks);
    checkImage(run.image, run.end, run.anomalies);
    summary.trailingBytes = run.image.diskCount > 0 && size > endOfDisks ? size - endOfDisks : 0;
    summary.anomalies = std::move(run.anomalies.items());
    summary.anomaliesLeftOut = run.anomalies.leftOut();
    for (const std::unique_ptr<CutPreview>& preview : previews_) {
        summary.cuts.push_back(preview->takeFindings());
    }
    summary.cuts.resize(cutterCount());
    summary.status = readFailed                   ? ImageStatus::Unreadable
                     : run.anomalies.anyDamage() ? ImageStatus::Damaged
                                                 : ImageStatus::Ok;
    summary.notAnImage = judgeImage(image, run, summary);
    if (!summary.notAnImage.empty()) {
        summary.status = ImageStatus::Unreadable;
        lastError_ = summary.notAnImage;
        lastNotAnImage_ = true;
    }
    writer_.endImage(summary);
    return summary.status;
}

// Whether the image read is no D88 image at all, from what the survey saw.
std::string ImageSurvey::judgeImage(const ImageInput& image, const Run& run, const ImageSummary& summary)
{
    unsigned char first[d88format::kDiskHeaderSize];
    ImageEvidence evidence;
    evidence.path = image.path;
    evidence.size = run.image.size;
    evidence.first = first;
    evidence.firstCount = image.readStart(first, sizeof first);
    evidence.diskCount = run.image.diskCount;
    const char* noDisks = anomalyKind(AnomalyKind::NoDisks).key;
    evidence.firstHeaderZero = std::any_of(summary.anomalies.begin(), summary.anomalies.end(),
                                           [&](const Anomaly& anomaly) { return anomaly.kind == noDisks; });
    evidence.anyTrack = run.anyTrack;
    evidence.anyTrackInFile = run.anyTrackInFile;
    return notAnImage(evidence);
}

// The disk's tracks are walked in order, and each way's preview reads it as
// its program would, as near the walk as it can: tablecut's probe on track
// 1 after the walk over track 0, which leaves the window holding track 1,
// and its cut after the walk; the file-system listing after track 0 and its
// files' sectors as the walk reaches them; the scanning cutter's laying-in
// track by track. The file is then read about once.
void ImageSurvey::surveyDisk(Run& run, int index)
{
    D88Image& reader = *reader_;
    reader.selectDisk(index);
    DiskFacts disk;
    describeDisk(run, index, disk);

    // A disk met again, or zero bytes read as one, is told of once: what
    // its own checks find is not kept.
    AnomalyList notKept;
    AnomalyList& anomalies = disk.sameAs >= 0 || disk.blank ? notKept : run.anomalies;
    TrackChecker checker(disk, run.image.size);
    checker.begin(0);
    surveyTrack(run, disk, 0, checker, firstTrack_);
    for (const std::unique_ptr<CutPreview>& preview : previews_) {
        preview->track(reader, disk, 0);
        preview->disk(reader, disk);
    }
    checkFileSystem(disk, anomalies);

    writer_.beginDisk(disk);
    DiskChecker diskChecker(disk, run.image.size);
    for (int t = 0; t < D88Image::kTrackCount; ++t) {
        const bool isTrack = readAsTrack(disk, t, reader.trackOffset(t));
        if (t > 0) {
            if (isTrack) {
                checker.begin(t);
                surveyTrack(run, disk, t, checker, track_);
            }
            for (const std::unique_ptr<CutPreview>& preview : previews_) {
                preview->track(reader, disk, t);
            }
        }
        TrackFacts& track = t == 0 ? firstTrack_ : track_;
        if (!isTrack) {
            diskChecker.notTrack(t);
            continue;
        }
        if (track.offset == 0) {
            continue;
        }
        const std::size_t damageBefore = anomalies.damageCount();
        checker.finish(track, anomalies);
        track.damaged = anomalies.damageCount() > damageBefore;
        diskChecker.track(track);
        run.anyTrack = true;
        run.anyTrackInFile = run.anyTrackInFile || (track.usable && disk.offset + track.offset < run.image.size);
        writer_.track(track);
    }
    for (const std::unique_ptr<CutPreview>& preview : previews_) {
        preview->endDisk(disk);
    }
    diskChecker.finish(anomalies);
    if (disk.sameAs >= 0 && !disk.blank) {
        checkRepeatedDisk(disk, run.anomalies);
    }
    writer_.endDisk();
}

// The disk's header as the reader holds it, and what it means.
void ImageSurvey::describeDisk(Run& run, int index, DiskFacts& disk)
{
    D88Image& reader = *reader_;
    disk.index = index;
    disk.offset = reader.diskOffset(index);
    disk.name = reader.diskName();
    disk.nameDecoded = decodeShiftJis(disk.name, disk.nameText);
    disk.media = reader.mediaType();
    disk.writeProtect = reader.writeProtect();
    disk.size = reader.diskSize();
    disk.bytesPresent = run.image.size > disk.offset ? std::min<std::uint64_t>(disk.size, run.image.size - disk.offset) : 0;
    for (int other = 0; other < index && disk.sameAs < 0; ++other) {
        disk.sameAs = reader.diskOffset(other) == disk.offset ? other : -1;
    }

    // The 672-byte header: its first track starts right after a table of
    // 160 entries, so no track starts before 0x2A0 (entries 160-163 are
    // that track's first bytes).
    constexpr int kShortHeader = d88format::kShortDiskHeaderSize;
    std::uint32_t first = 0;
    bool anyOffset = false;
    for (int t = 0; t < D88Image::kTrackCount; ++t) {
        const std::uint32_t offset = reader.trackOffset(t);
        anyOffset = anyOffset || offset != 0;
        if (t < tableEntries(kShortHeader) && offset != 0 && (first == 0 || offset < first)) {
            first = offset;
        }
    }
    disk.headerSize = first == kShortHeader ? kShortHeader : d88format::kDiskHeaderSize;
    disk.trackEntries = tableEntries(disk.headerSize);
    for (int t = 0; t < disk.trackEntries; ++t) {
        disk.unusedEntries += readAsTrack(disk, t, reader.trackOffset(t)) ? 0 : 1;
    }
    disk.blank = !anyOffset && disk.name.empty() && disk.media == 0 && disk.writeProtect == 0 && disk.size == 0;
    if (disk.blank) {
        ++run.end.blankDisks;
    } else {
        run.end = {index, disk.offset + disk.size, 0, false};
    }
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
    facts.trackRecords = 0;
    facts.countByteSwapped = false;
    facts.cutShort = false;
    facts.damaged = false;
    facts.records.clear();
    if (!facts.usable) {
        return;
    }
    const std::uint64_t start = disk.offset + facts.offset;
    const auto walk = std::find_if(walks_.begin(), walks_.end(), [&](const Walk& w) { return w.start == start; });
    if (walk != walks_.end()) {
        facts.end = walk->facts.end;
        facts.recordCount = walk->facts.recordCount;
        facts.trackRecords = walk->facts.trackRecords;
        facts.countByteSwapped = walk->facts.countByteSwapped;
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
    checker.close();
    const TrackChecker::Seen& seen = checker.seen();
    facts.trackRecords = seen.trackRecords();
    facts.countByteSwapped = seen.swapConfirmed;
    // Past a swapped count the walk goes on into other tracks, whose end is
    // not this track's.
    facts.cutShort = seen.swapConfirmed ? seen.shortSector.count > 0
                                        : facts.end == WalkEnd::EndOfFile || collector.lastShort();
    if (facts.recordCount >= kLongWalk) {
        if (walks_.size() == kRememberedWalks) {
            walks_.erase(walks_.begin());
        }
        walks_.push_back({start, facts, checker.seen()});
    }
}

// Whether the file holds only zero bytes from position to its end. Read
// apart from the reader, which has no call for bytes outside disks.
bool ImageSurvey::zerosFrom(const ImageInput& image, std::uint64_t position)
{
    const auto zero = [](unsigned char byte) { return byte == 0; };
    if (image.inMemory) {
        return position >= image.size || std::all_of(image.data + position, image.data + image.size, zero);
    }
    if (position > static_cast<std::uint64_t>(LONG_MAX)) {
        return false;
    }
    std::FILE* file = std::fopen(image.path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool zeros = std::fseek(file, static_cast<long>(position), SEEK_SET) == 0;
    constexpr std::size_t kChunk = 64 * 1024;
    const std::unique_ptr<unsigned char[]> bytes(new unsigned char[kChunk]);
    unsigned char* chunk = bytes.get();
    for (std::size_t got = kChunk; zeros && got == kChunk;) {
        got = std::fread(chunk, 1, kChunk, file);
        zeros = std::all_of(chunk, chunk + got, zero);
    }
    zeros = zeros && std::ferror(file) == 0;
    std::fclose(file);
    return zeros;
}
