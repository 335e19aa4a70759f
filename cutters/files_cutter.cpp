// The disks' own file systems as a way of taking files: each disk's files
// as its file system lists them (filesystems/), a disk's files in the
// image's folder when the image has one disk, under disk-N/ when it has
// several; subfolders as folders.
#include "cutter.h"

#include <d88image/d88image.h>

#include "file_systems.h"
#include "shift_jis.h"

#include <memory>

namespace {

NameRules nameRules()
{
    NameRules rules;
    rules.decodeShiftJis = decodeShiftJis;
    return rules;
}

// Where a disk's files go: "" for the only disk, else "disk-N/".
std::string diskFolder(bool several, int disk)
{
    return several ? "disk-" + std::to_string(disk) + "/" : "";
}

bool written(const FileEntry& file)
{
    return file.state == FileState::Complete || file.state == FileState::Incomplete;
}

// The leading bytes of the file its sectors supply, up to the first lack.
std::size_t leadingSupplied(const FileEntry& file)
{
    std::size_t supplied = 0;
    for (const FilePiece& piece : file.pieces) {
        supplied += static_cast<std::size_t>(piece.supplied);
        if (piece.supplied < piece.bytes) {
            break;
        }
    }
    return supplied;
}

std::string placeWords(const FilePiece& piece)
{
    if (!piece.placed) {
        return "a sector its chain does not reach";
    }
    const SectorPlace& p = piece.place;
    return "track " + std::to_string(p.track) + ": sector R " + std::to_string(p.r) + " (C " + std::to_string(p.c) +
           " H " + std::to_string(p.h) + " N " + std::to_string(p.n) + ")";
}

// What the way would write of a listed file, with the sectors its bytes
// come from; a file of which the image holds nothing is known, not written.
PlannedFile planned(const FileEntry& file, const std::string& folder, int disk)
{
    PlannedFile plan;
    plan.name = folder + file.path;
    plan.disk = disk;
    plan.size = static_cast<std::size_t>(file.size);
    plan.supplied = leadingSupplied(file);
    plan.written = file.state != FileState::Missing;
    std::size_t offset = 0;
    for (const FilePiece& piece : file.pieces) {
        const SectorPlace& p = piece.place;
        const SectorId id{static_cast<unsigned char>(p.c), static_cast<unsigned char>(p.h),
                          static_cast<unsigned char>(p.r), static_cast<unsigned char>(p.n)};
        const bool found = piece.placed && piece.fault != SectorFault::Missing;
        plan.sectors.push_back({disk, piece.placed ? p.track : -1, id, found, found ? piece.position : 0, offset,
                                static_cast<std::size_t>(piece.supplied)});
        offset += static_cast<std::size_t>(piece.bytes);
    }
    if (!plan.written) {
        plan.reason = file.pieces.empty() ? "it holds no sector" : placeWords(file.pieces.front()) + " is " +
                                                                       (file.pieces.front().fault == SectorFault::None
                                                                            ? std::string("missing")
                                                                            : faultName(file.pieces.front().fault));
    }
    return plan;
}

// Each disk listed by its file system; the listing stays with the disk's
// facts for the reports and the survey's judgement of its damage. Its
// files' sectors are judged as the survey walks their tracks, so that
// listing reads the image no further than the survey does; the reports
// take the files' states at the disk's end.
class Preview final : public CutPreview {
public:
    void beginImage(D88Image& reader, std::uint64_t) override
    {
        several_ = reader.diskCount() > 1;
        findings_ = {};
    }
    void disk(D88Image& reader, DiskFacts& disk) override
    {
        listing_ = std::make_shared<FileListing>(listFileSystem(reader, disk.index, rules_));
        disk.fileSystem = listing_;
        if (listing_->found) {
            sectors_ = std::make_unique<BlockSectors>(reader);
            judge_ = std::make_unique<TrackJudge>(*listing_);
            // Track 0 was walked before the disk was listed.
            judge_->track(*sectors_, 0);
        }
    }
    void track(D88Image&, const DiskFacts&, int track) override
    {
        if (judge_ && track > 0) {
            judge_->track(*sectors_, track);
        }
    }
    void endDisk(const DiskFacts& disk) override
    {
        if (judge_) {
            judge_->finish(*sectors_);
            findings_.recognised = true;
            for (const FileEntry& file : listing_->files) {
                if (written(file) || file.state == FileState::Missing) {
                    findings_.files.push_back(planned(file, diskFolder(several_, disk.index), disk.index));
                }
            }
        }
        judge_.reset();
        sectors_.reset();
        listing_.reset();
    }
    void endImage(D88Image&) override {}
    CutFindings takeFindings() override { return std::move(findings_); }

private:
    NameRules rules_ = nameRules();
    bool several_ = false;
    CutFindings findings_;
    std::shared_ptr<FileListing> listing_;  // of the disk being walked
    std::unique_ptr<BlockSectors> sectors_;
    std::unique_ptr<TrackJudge> judge_;
};

// Hands a disk's files on under their folder's name.
class FolderSink final : public OutputSink {
public:
    FolderSink(OutputSink& sink, std::string folder) : sink_(sink), folder_(std::move(folder)) {}
    bool write(const OutputFile& file) override
    {
        const std::string name = folder_ + file.name;
        OutputFile named = file;
        named.name = name.c_str();
        return sink_.write(named);
    }

private:
    OutputSink& sink_;
    std::string folder_;
};

// Of a set cut together, the disks are numbered on from image to image.
// Each disk is listed as the survey listed it when the run was told of it
// (its bytes are read once more, to be written), else listed here.
class Cut final : public ImageCut {
public:
    void beginRun(const std::vector<const std::vector<DiskFacts>*>& images) override
    {
        surveyed_ = images;
        runDisks_ = 0;
        for (const std::vector<DiskFacts>* disks : images) {
            runDisks_ += static_cast<int>(disks->size());
        }
    }
    bool image(D88Image& reader, OutputSink& sink, CutListener* listener) override
    {
        const int count = reader.diskCount();
        const bool several = severalFolders(count);
        const std::vector<DiskFacts>* surveyed = images_ < surveyed_.size() ? surveyed_[images_] : nullptr;
        ++images_;
        bool allWritten = true;
        for (int d = 0; d < count; ++d, ++disksBefore_) {
            const bool known = surveyed != nullptr && static_cast<std::size_t>(d) < surveyed->size() &&
                               (*surveyed)[static_cast<std::size_t>(d)].fileSystem;
            const FileListing listing = known ? *(*surveyed)[static_cast<std::size_t>(d)].fileSystem
                                              : listFiles(reader, d, rules_);
            if (!listing.found) {
                continue;
            }
            if (listener != nullptr) {
                listener->recognised(d, listing.name.c_str());
            }
            FolderSink folder(sink, diskFolder(several, disksBefore_));
            for (const FileEntry& file : listing.files) {
                if (written(file)) {
                    allWritten = writeFile(reader, d, file, folder) && allWritten;
                } else if (file.state == FileState::Missing && listener != nullptr) {
                    listener->notCut(d, file.path.c_str());
                }
            }
        }
        return allWritten;
    }

    std::string nameInRun(const PlannedFile& file, std::size_t image) const override
    {
        if (image >= surveyed_.size()) {
            return file.name;
        }
        int disksBefore = 0;
        for (std::size_t i = 0; i < image; ++i) {
            disksBefore += static_cast<int>(surveyed_[i]->size());
        }
        const int count = static_cast<int>(surveyed_[image]->size());
        const std::string planned = diskFolder(count > 1, file.disk);
        if (file.name.compare(0, planned.size(), planned) != 0) {
            return file.name;
        }
        return diskFolder(severalFolders(count), disksBefore + file.disk) + file.name.substr(planned.size());
    }

private:
    // Whether an image of count disks puts each disk in a folder of its
    // own in this run: it has several, or the run has.
    bool severalFolders(int count) const { return runDisks_ > 1 || count > 1; }

    NameRules rules_ = nameRules();
    std::vector<const std::vector<DiskFacts>*> surveyed_;
    std::size_t images_ = 0;
    int runDisks_ = 0;
    int disksBefore_ = 0;
};

// "N88-BASIC 2D: 12 files, 64 KiB free"; nothing for a disk without one.
std::string diskWords(const DiskFacts& disk, bool inFull)
{
    if (!disk.fileSystem || !disk.fileSystem->found) {
        return "";
    }
    const FileListing& listing = *disk.fileSystem;
    std::size_t files = 0;
    for (const FileEntry& file : listing.files) {
        files += file.state == FileState::Deleted || file.state == FileState::Folder ? 0 : 1;
    }
    std::string words = listing.name + ": " + std::to_string(files) + (files == 1 ? " file" : " files");
    if (inFull) {
        words += ", " + std::to_string(listing.freeBytes / 1024) + " KiB free";
    }
    return words;
}

}  // namespace

extern const Cutter kFilesCutter = {
    "files",
    "files",
    "files",
    "the files of each disk's own file system (N88-BASIC,\n"
    "Hu-BASIC, FAT12, F-BASIC)",
    "fd",
    "stroke-dasharray:1,1",
    "the sectors of a file of the disk's file system",
    -1,
    diskWords,
    [](unsigned char*) -> std::unique_ptr<CutPreview> { return std::make_unique<Preview>(); },
    [](unsigned char*) -> std::unique_ptr<ImageCut> { return std::make_unique<Cut>(); },
    nullptr,
    true,
};
