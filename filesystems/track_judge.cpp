#include "track_judge.h"

#include "file_bytes.h"

#include <algorithm>

namespace {

// Deleted entries and folders hold no bytes of their own to judge.
bool holdsBytes(const FileEntry& file)
{
    return file.state != FileState::Deleted && file.state != FileState::Folder;
}

}  // namespace

TrackJudge::TrackJudge(FileListing& listing) : listing_(listing)
{
    for (std::size_t f = 0; f < listing.files.size(); ++f) {
        const FileEntry& file = listing.files[f];
        if (!holdsBytes(file)) {
            continue;
        }
        for (std::size_t p = 0; p < file.pieces.size(); ++p) {
            const FilePiece& piece = file.pieces[p];
            pieces_.push_back({piece.placed ? piece.place.track : -1, f, p, false});
        }
    }
    std::stable_sort(pieces_.begin(), pieces_.end(),
                     [](const PieceAt& a, const PieceAt& b) { return a.track < b.track; });
}

void TrackJudge::judge(SectorReader& disk, PieceAt& at)
{
    judgePiece(disk, listing_.files[at.file].pieces[at.piece]);
    at.judged = true;
}

void TrackJudge::track(SectorReader& disk, int track)
{
    auto first = std::lower_bound(pieces_.begin(), pieces_.end(), track,
                                  [](const PieceAt& at, int t) { return at.track < t; });
    for (auto it = first; it != pieces_.end() && it->track == track; ++it) {
        if (!it->judged) {
            judge(disk, *it);
        }
    }
}

void TrackJudge::finish(SectorReader& disk)
{
    for (PieceAt& at : pieces_) {
        if (!at.judged) {
            judge(disk, at);
        }
    }
    for (FileEntry& file : listing_.files) {
        settle(file);
    }
}
