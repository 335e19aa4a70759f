#include "file_bytes.h"

#include <algorithm>
#include <cstring>

namespace {

// The largest sector a size code the layouts use can give (1024 bytes),
// with room for a record longer than its size code says.
constexpr int kSectorBuffer = 8192;

}  // namespace

void judgePiece(SectorReader& disk, FilePiece& piece)
{
    if (!piece.placed) {
        piece.supplied = 0;
        piece.fault = SectorFault::Missing;
        return;
    }
    unsigned char buffer[kSectorBuffer];
    const SectorRead read = disk.read(piece.place, buffer, std::min(piece.bytes, kSectorBuffer));
    piece.supplied = std::min(read.copied, piece.bytes);
    piece.fault = read.fault;
    piece.position = read.position;
}

std::size_t readFileBytes(SectorReader& disk, const FileEntry& file, unsigned char* dest, std::size_t capacity)
{
    if (capacity < file.size) {
        return 0;
    }
    std::size_t at = 0;
    std::size_t supplied = 0;
    for (const FilePiece& piece : file.pieces) {
        const std::size_t bytes = static_cast<std::size_t>(piece.bytes);
        int copied = 0;
        if (piece.placed && piece.bytes <= kSectorBuffer) {
            copied = std::min(disk.read(piece.place, dest + at, piece.bytes).copied, piece.bytes);
        }
        std::memset(dest + at + copied, 0, bytes - static_cast<std::size_t>(copied));
        supplied += static_cast<std::size_t>(copied);
        at += bytes;
    }
    return supplied;
}

std::size_t readFileBytes(SectorReader& disk, const FileEntry& file, std::vector<unsigned char>& out)
{
    out.assign(static_cast<std::size_t>(file.size), 0);
    return out.empty() ? 0 : readFileBytes(disk, file, out.data(), out.size());
}

bool writeFile(SectorReader& disk, const FileEntry& file, int diskIndex, OutputSink& sink)
{
    if (file.state != FileState::Complete && file.state != FileState::Incomplete) {
        return false;
    }
    std::vector<unsigned char> bytes;
    readFileBytes(disk, file, bytes);
    // The leading bytes the disk held, as the cutters count them.
    std::size_t leading = 0;
    for (const FilePiece& piece : file.pieces) {
        leading += static_cast<std::size_t>(piece.supplied);
        if (piece.supplied < piece.bytes) {
            break;
        }
    }
    const OutputFile output{file.path.c_str(), bytes.data(), bytes.size(), leading, diskIndex, -1};
    return sink.write(output);
}
