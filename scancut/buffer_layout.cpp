#include "buffer_layout.h"

#include <algorithm>

namespace {

// Appends what of piece lies within from..to.
void appendCut(std::vector<BufferLayout::Piece>& out, BufferLayout::Piece piece, int from, int to)
{
    const int start = std::max(piece.offset, from);
    const int end = std::min(piece.offset + piece.bytes, to);
    if (start >= end) {
        return;
    }
    piece.from += start - piece.offset;
    piece.offset = start;
    piece.bytes = end - start;
    out.push_back(piece);
}

}  // namespace

void BufferLayout::clear()
{
    laid_.clear();
    under_.clear();
    disk_ = 0;
    end_ = 0;
}

void BufferLayout::beginDisk(int disk)
{
    std::vector<Piece> under = laid_;
    for (const Piece& piece : under_) {
        appendCut(under, piece, end_, piece.offset + piece.bytes);
    }
    under_ = std::move(under);
    laid_.clear();
    disk_ = disk;
    end_ = 0;
}

void BufferLayout::sectorRead(int track, SectorId id, const SectorRecord* found, int copied)
{
    if (found == nullptr || copied <= 0) {
        return;
    }
    laid_.push_back({end_, copied, disk_, track, id, found->position, 0});
    end_ += copied;
}

std::vector<BufferLayout::Piece> BufferLayout::piecesOf(int from, int size) const
{
    const int to = from + size;
    std::vector<Piece> pieces;
    // Both lists are in buffer order: the first piece that ends past from
    // starts the range.
    const auto firstAfter = [from](const std::vector<Piece>& list) {
        return std::lower_bound(list.begin(), list.end(), from,
                                [](const Piece& piece, int at) { return piece.offset + piece.bytes <= at; });
    };
    for (auto piece = firstAfter(laid_); piece != laid_.end() && piece->offset < to; ++piece) {
        appendCut(pieces, *piece, from, std::min(to, end_));
    }
    for (auto piece = firstAfter(under_); piece != under_.end() && piece->offset < to; ++piece) {
        appendCut(pieces, *piece, std::max(from, end_), to);
    }
    return pieces;
}
