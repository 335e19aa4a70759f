#include "cut_preview.h"

#include <d88image/d88image.h>

#include "image_buffer.h"

#include <set>
#include <string>

namespace {

// The first record of a track with a given ID, as a search by ID finds it.
class FirstWithId final : public RecordVisitor {
public:
    explicit FirstWithId(SectorId id) : id_(id) {}
    bool visit(const SectorRecord& record) override
    {
        if (record.id.c == id_.c && record.id.h == id_.h && record.id.r == id_.r && record.id.n == id_.n) {
            found = true;
            match = record;
            return false;
        }
        return true;
    }
    bool found = false;
    SectorRecord match{};

private:
    SectorId id_;
};

std::string sectorWords(const TableFile& file)
{
    return "sector R " + std::to_string(file.r) + " (C " + std::to_string(file.c) + " H " + std::to_string(file.h) +
           " N " + std::to_string(file.n) + ")";
}

}  // namespace

std::string whyNotRead(D88Image& reader, int disk, const TableFile& file, std::uint64_t fileSize)
{
    const std::string track = "track " + std::to_string(file.track);
    const std::uint32_t offset = reader.trackOffset(file.track);
    if (offset == 0) {
        return track + " is not in the disk's track table";
    }
    if (offset > reader.diskSize()) {
        return track + " lies beyond the disk's size, so it is not read";
    }
    if (reader.diskOffset(disk) + offset >= fileSize) {
        return track + " (C " + std::to_string(file.c) + " H " + std::to_string(file.h) +
               ") lies past the end of the file";
    }
    FirstWithId search({static_cast<unsigned char>(file.c), static_cast<unsigned char>(file.h),
                        static_cast<unsigned char>(file.r), static_cast<unsigned char>(file.n)});
    const WalkEnd end = reader.walkTrack(file.track, search);
    const std::string sector = sectorWords(file);
    if (!search.found) {
        if (end == WalkEnd::EndOfFile) {
            return track + ": the file ends before " + sector + " is reached";
        }
        return track + ": " + sector + " is missing";
    }
    const long long nominal = nominalSize(file.n);
    const std::uint64_t data = search.match.position + D88Image::kSectorHeaderSize;
    const std::uint64_t held = data < fileSize ? fileSize - data : 0;
    if (held < static_cast<std::uint64_t>(search.match.length) && held < static_cast<std::uint64_t>(nominal)) {
        return track + ": " + sector + " is cut off by the end of the file after " + std::to_string(held) + " of its " +
               std::to_string(nominal) + " bytes";
    }
    if (search.match.length == 0) {
        return track + ": " + sector + " holds no data";
    }
    return track + ": " + sector + " holds " + std::to_string(search.match.length) + " bytes, not " +
           std::to_string(nominal);
}

bool TablePreview::write(const OutputFile& file)
{
    files.push_back({file.name, file.disk, file.size, file.supplied, true, -1, false, {}, std::move(read_)});
    read_.clear();
    return true;
}

void TablePreview::recognised(int disk, DiskKind)
{
    disk_ = disk;
    read_.clear();  // the probes' reads
}

void TablePreview::notCut(int disk, const TableFile& file)
{
    PlannedFile planned{file.name, disk, static_cast<std::size_t>(file.length), 0, false, -1, false, {}, std::move(read_)};
    read_.clear();
    planned.reason = whyNotRead(reader_, disk, file, fileSize_);
    files.push_back(std::move(planned));
}

// A run reads sector after sector, each step a sector's nominal size.
void TablePreview::sectorRead(int track, SectorId id, const SectorRecord* found, int copied)
{
    const std::size_t offset = read_.empty() ? 0 : read_.back().fileOffset + static_cast<std::size_t>(nominalSize(read_.back().id.n));
    read_.push_back({disk_, track, id, found != nullptr, found != nullptr ? found->position : 0, offset,
                     static_cast<std::size_t>(copied)});
}

bool ScanPreview::write(const OutputFile& file)
{
    PlannedFile planned{file.name, file.disk, file.size, file.supplied, true, file.firstBlock, false, {}, {}};
    const int start = file.firstBlock * kBlockSize;
    for (const BufferLayout::Piece& piece : layout_.piecesOf(start, static_cast<int>(file.size))) {
        planned.sectors.push_back({piece.disk, piece.track, piece.id, true, piece.position,
                                   static_cast<std::size_t>(piece.offset - start), static_cast<std::size_t>(piece.bytes)});
    }
    files.push_back(std::move(planned));
    return true;
}

void markReplaced(std::vector<PlannedFile>& files)
{
    std::set<std::string> writtenLater;
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (!file->written) {
            continue;
        }
        file->replaced = writtenLater.count(file->name) > 0;
        writtenLater.insert(file->name);
    }
}
