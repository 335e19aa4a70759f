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

// The scan as scancut runs it, from a buffer of zeros, after the survey's
// last disk (its first two disks are read a second time), with the records
// each file's blocks came from.
class Preview final : public CutPreview {
public:
    void beginImage(D88Image&, std::uint64_t) override
    {
        layout_ = std::make_unique<BufferLayout>();
        notes_ = std::make_unique<ScanPreview>(*layout_);
    }
    void disk(D88Image&, DiskFacts&) override {}
    void endImage(D88Image& reader) override
    {
        std::memset(buffer_.get(), 0, kImageBufferSize);
        scanImage(reader, buffer_.get(), *notes_, layout_.get());
    }
    CutFindings takeFindings() override { return {true, std::move(notes_->files)}; }

private:
    std::unique_ptr<unsigned char[]> buffer_{new unsigned char[kImageBufferSize]};
    std::unique_ptr<BufferLayout> layout_;
    std::unique_ptr<ScanPreview> notes_;
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
    []() -> std::unique_ptr<CutPreview> { return std::make_unique<Preview>(); },
    [](unsigned char* buffer) -> std::unique_ptr<ImageCut> { return std::make_unique<Cut>(buffer); },
    nullptr,
    false,
};
