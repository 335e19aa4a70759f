// The table cutter as a way of taking files: tablecut's core, its preview
// and what it makes of each disk.
#include "cutter.h"

#include <d88image/d88image.h>

#include "cut_preview.h"
#include "image_buffer.h"
#include "table_cut.h"

extern const Cutter kTableCutter;

namespace {

// What track 1 holds, for a disk that none of the probes recognised.
std::string trackOneNote(D88Image& reader)
{
    const std::string probes = "the probes look on track 1 for sector 16, 32 or 48 with C 0, H 1, N 3 and data";
    if (reader.trackOffset(1) == 0) {
        return probes + "; the disk has no track 1";
    }
    SectorId ids[16];
    const int count =
        reader.listSectorIds(1, reinterpret_cast<unsigned char*>(ids), sizeof ids) / static_cast<int>(sizeof ids[0]);
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

// Each disk cut as tablecut cuts it, into a sink that only notes the files.
// Its kind is known after the walk over track 0 (the probe on track 1 reads
// the window that walk left); its files are cut once the walk has passed
// them, so that the walk does not read again the tracks it had read before
// the cut took the window elsewhere.
class Preview final : public CutPreview {
public:
    explicit Preview(unsigned char* buffer) : buffer_(buffer) {}
    void beginImage(D88Image& reader, std::uint64_t fileSize) override
    {
        reader_ = &reader;
        notes_ = std::make_unique<TablePreview>(reader, fileSize);
        recognised_ = false;
    }
    void disk(D88Image& reader, DiskFacts& disk) override
    {
        reader.setReadObserver(notes_.get());  // the probes' reads, then the sectors each file is read from
        disk.kind = recogniseDisk(reader, buffer_);
        reader.setReadObserver(nullptr);
        if (disk.kind == DiskKind::None) {
            disk.kindNote = trackOneNote(reader);
        }
        kind_ = disk.kind;
        recognised_ = recognised_ || disk.kind != DiskKind::None;
    }
    void track(D88Image&, const DiskFacts&, int) override {}
    void endDisk(const DiskFacts& disk) override
    {
        bool allWritten = true;
        reader_->setReadObserver(notes_.get());
        cutKnownDisk(*reader_, disk.index, kind_, buffer_, *notes_, notes_.get(), allWritten);
        reader_->setReadObserver(nullptr);
    }
    void endImage(D88Image&) override {}
    CutFindings takeFindings() override
    {
        markReplaced(notes_->files);
        return {recognised_, std::move(notes_->files)};
    }

private:
    unsigned char* buffer_;  // the cutter clears what it uses
    D88Image* reader_ = nullptr;
    std::unique_ptr<TablePreview> notes_;
    DiskKind kind_ = DiskKind::None;
    bool recognised_ = false;
};

// Tells a cut's listener what the table cutter tells its own.
class Relay final : public TableCutListener {
public:
    explicit Relay(CutListener& listener) : listener_(listener) {}
    void recognised(int disk, DiskKind kind) override { listener_.recognised(disk, diskKindName(kind)); }
    void notCut(int disk, const TableFile& file) override { listener_.notCut(disk, file.name); }

private:
    CutListener& listener_;
};

class Cut final : public ImageCut {
public:
    explicit Cut(unsigned char* buffer) : buffer_(buffer) {}
    bool image(D88Image& reader, OutputSink& sink, CutListener* listener) override
    {
        if (listener == nullptr) {
            return cutImage(reader, buffer_, sink, nullptr);
        }
        Relay relay(*listener);
        return cutImage(reader, buffer_, sink, &relay);
    }

private:
    unsigned char* buffer_;
};

// "not one of the three disks tablecut knows": said plainly, as a newcomer
// does not know what the probes are.
std::string unknownKindWords()
{
    static const char* const kCounts[] = {"no", "one", "two", "three", "four", "five", "six"};
    const int kinds = diskKindCount();
    const std::string count = kinds < 7 ? kCounts[kinds] : std::to_string(kinds);
    return "not one of the " + count + " disks " + kTableCutter.name + " knows";
}

std::string diskWords(const DiskFacts& disk, bool inFull)
{
    if (disk.kind != DiskKind::None) {
        return diskKindName(disk.kind);
    }
    return inFull ? unknownKindWords() + " (" + disk.kindNote + ")" : unknownKindWords();
}

// The kinds none of the set's disks is, each with its table's files.
std::vector<SetLack> setLacks(const std::vector<DiskFacts>& disks)
{
    std::vector<SetLack> lacks;
    for (const DiskKind kind : {DiskKind::Program, DiskKind::Scenario, DiskKind::Event}) {
        bool present = false;
        for (const DiskFacts& disk : disks) {
            present = present || disk.kind == kind;
        }
        if (present) {
            continue;
        }
        lacks.push_back({diskKindName(kind), {}});
        const auto keepName = [](const TableFile& file, void* files) {
            static_cast<std::vector<std::string>*>(files)->push_back(file.name);
        };
        forEachTableFile(kind, keepName, &lacks.back().files);
    }
    return lacks;
}

}  // namespace

extern const Cutter kTableCutter = {
    "table",
    "tablecut",
    "tablecut",
    "cut as tablecut does",
    "ft",
    "",
    "the sectors of a tablecut file",
    -1,
    diskWords,
    [](unsigned char* buffer) -> std::unique_ptr<CutPreview> { return std::make_unique<Preview>(buffer); },
    [](unsigned char* buffer) -> std::unique_ptr<ImageCut> { return std::make_unique<Cut>(buffer); },
    setLacks,
    false,
};
