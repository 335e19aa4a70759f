// The scanning cutter as a way of taking files: scancut's core and its
// preview. It takes any image: d88cut falls back on it.
#include "cutter.h"

#include <d88image/d88image.h>

#include "buffer_layout.h"
#include "cut_preview.h"
#include "image_buffer.h"
#include "scan_cut.h"

#include <cstring>

namespace {

// The scan as scancut runs it, from a buffer of zeros, with the records
// each file's blocks came from: each of the first two disks laid in track by
// track as the survey walks it, so that they are read once.
class Preview final : public CutPreview {
public:
    explicit Preview(unsigned char* buffer) : buffer_(buffer) {}
    void beginImage(D88Image&, std::uint64_t) override
    {
        layout_ = std::make_unique<BufferLayout>();
        notes_ = std::make_unique<ScanPreview>(*layout_);
        scan_ = std::make_unique<DiskScan>(buffer_, layout_.get());
        counter_ = 0;
        std::memset(buffer_, 0, kImageBufferSize);
    }
    void disk(D88Image&, DiskFacts&) override {}
    void track(D88Image& reader, const DiskFacts& disk, int track) override
    {
        if (disk.index >= kScanDisksTaken) {
            return;
        }
        if (track == 0) {
            scan_->begin(disk.index);
        }
        scan_->track(reader, track);
    }
    void endDisk(const DiskFacts& disk) override
    {
        if (disk.index < kScanDisksTaken) {
            scan_->finish(counter_, *notes_);
        }
    }
    void endImage(D88Image&) override {}
    CutFindings takeFindings() override { return {true, std::move(notes_->files)}; }

private:
    unsigned char* buffer_;
    std::unique_ptr<BufferLayout> layout_;
    std::unique_ptr<ScanPreview> notes_;
    std::unique_ptr<DiskScan> scan_;
    int counter_ = 0;
};

// Numbering and the buffer run on from one image of a set to the next.
class Cut final : public ImageCut {
public:
    explicit Cut(unsigned char* buffer) : buffer_(buffer) {}
    bool image(D88Image& reader, OutputSink& sink, CutListener*) override
    {
        return scanDisks(reader, buffer_, sink, progress_);
    }

private:
    unsigned char* buffer_;
    ScanProgress progress_;
};

}  // namespace

extern const Cutter kScanCutter = {
    "scan",
    "scancut",
    "scancut",
    "cut as scancut does (without any of them: --table when\n"
    "a disk of the image is of a kind tablecut knows, else\n"
    "--files when a disk holds a file system it reads)",
    "fs",
    "stroke-dasharray:3,2",
    "the records of a scancut file",
    kScanDisksTaken,
    nullptr,
    [](unsigned char* buffer) -> std::unique_ptr<CutPreview> { return std::make_unique<Preview>(buffer); },
    [](unsigned char* buffer) -> std::unique_ptr<ImageCut> { return std::make_unique<Cut>(buffer); },
    nullptr,
    false,
};
