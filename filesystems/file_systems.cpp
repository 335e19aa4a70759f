#include "file_systems.h"

#include "file_system_reader.h"

#include <algorithm>

namespace {

std::vector<std::unique_ptr<FileSystemReader>> allReaders()
{
    std::vector<std::unique_ptr<FileSystemReader>> readers = n88BasicReaders();
    for (auto& reader : huBasicReaders()) {
        readers.push_back(std::move(reader));
    }
    readers.push_back(fat12Reader());
    for (auto& reader : fBasicReaders()) {
        readers.push_back(std::move(reader));
    }
    return readers;
}

// The size codes of the records of the disk's first two tracks (track 0
// of a 2HD N88-BASIC disk is of 128-byte sectors, its others of 256).
std::vector<int> firstSizeCodes(D88Image& image)
{
    std::vector<int> codes;
    for (int track = 0; track < 2; ++track) {
        SectorId ids[64];
        const int count = image.listSectorIds(track, reinterpret_cast<unsigned char*>(ids), sizeof ids) / 4;
        for (int i = 0; i < count; ++i) {
            codes.push_back(ids[i].n);
        }
    }
    return codes;
}

bool mayHold(const FileSystemReader& reader, const std::vector<int>& codes)
{
    return reader.sizeCode() < 0 || std::find(codes.begin(), codes.end(), reader.sizeCode()) != codes.end();
}

}  // namespace

FileListing listFileSystem(D88Image& image, int diskIndex, const NameRules& rules)
{
    FileListing listing;
    if (!image.selectDisk(diskIndex)) {
        listing.reason = "no such disk";
        return listing;
    }
    BlockSectors disk(image);
    std::vector<std::unique_ptr<FileSystemReader>> readers = allReaders();
    FileSystemReader* best = nullptr;
    Evidence bestEvidence;
    const std::vector<int> codes = firstSizeCodes(image);
    for (auto& reader : readers) {
        if (!mayHold(*reader, codes)) {
            continue;
        }
        const Evidence evidence = reader->examine(disk);
        if (best == nullptr || evidence.score > bestEvidence.score) {
            best = reader.get();
            bestEvidence = evidence;
        }
    }
    listing.score = bestEvidence.score;
    if (best == nullptr) {
        listing.reason = "no file system found (the first tracks hold sectors of no size a reader reads)";
        return listing;
    }
    if (bestEvidence.score < kSureEnough) {
        listing.reason = "no file system found (best: " + bestEvidence.reason + ")";
        return listing;
    }
    // Each reader keeps the tables it examined: the best lists from them.
    best->list(disk, rules, listing);
    listing.found = true;
    listing.reason = bestEvidence.reason;
    return listing;
}

FileListing listFiles(D88Image& image, int diskIndex, const NameRules& rules)
{
    FileListing listing = listFileSystem(image, diskIndex, rules);
    if (listing.found) {
        BlockSectors disk(image);
        TrackJudge(listing).finish(disk);
    }
    return listing;
}

std::size_t readFile(D88Image& image, int diskIndex, const FileEntry& file, std::vector<unsigned char>& out)
{
    out.clear();
    if (!image.selectDisk(diskIndex)) {
        return 0;
    }
    BlockSectors disk(image);
    return readFileBytes(disk, file, out);
}

bool writeFile(D88Image& image, int diskIndex, const FileEntry& file, OutputSink& sink)
{
    if (!image.selectDisk(diskIndex)) {
        return false;
    }
    BlockSectors disk(image);
    return writeFile(disk, file, diskIndex, sink);
}
