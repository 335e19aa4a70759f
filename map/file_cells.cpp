#include "file_cells.h"

#include <algorithm>

FileCells::FileCells(const ImageMap& map, const ImageSummary& summary) : map_(map)
{
    for (const MapPanel& panel : map.panels) {
        std::vector<int> rows(D88Image::kTrackCount, -1);
        for (std::size_t r = 0; r < panel.rows.size(); ++r) {
            rows[static_cast<std::size_t>(panel.rows[r].track)] = static_cast<int>(r);
        }
        rowOfTrack_.push_back(std::move(rows));
    }
    for (std::size_t way = 0; way < summary.cuts.size(); ++way) {
        for (const PlannedFile& file : summary.cuts[way].files) {
            place({&cutterAt(way), &file});
        }
    }
    const auto byCell = [](const FilePart& a, const FilePart& b) { return a.cell < b.cell; };
    std::stable_sort(parts_.begin(), parts_.end(), byCell);
    std::stable_sort(starts_.begin(), starts_.end(), byCell);
    std::stable_sort(shortfalls_.begin(), shortfalls_.end(), [](const FileShortfall& a, const FileShortfall& b) {
        return a.panel != b.panel ? a.panel < b.panel : a.row < b.row;
    });
}

int FileCells::panelOf(int disk) const
{
    if (disk < 0 || static_cast<std::size_t>(disk) >= map_.panels.size()) {
        return -1;
    }
    const DiskFacts& facts = map_.panels[static_cast<std::size_t>(disk)].disk;
    return facts.sameAs >= 0 ? facts.sameAs : disk;
}

int FileCells::rowOf(std::size_t panel, int track) const
{
    return track >= 0 && track < D88Image::kTrackCount ? rowOfTrack_[panel][static_cast<std::size_t>(track)] : -1;
}

// A walk's records lie at rising positions, so a row's cells are sorted by
// position.
long long FileCells::cellAt(const MapRow& row, std::uint64_t position) const
{
    const auto first = map_.cells.begin() + static_cast<std::ptrdiff_t>(row.firstCell);
    const auto last = first + static_cast<std::ptrdiff_t>(row.cellCount);
    const auto cell = std::lower_bound(first, last, position,
                                       [](const MapCell& c, std::uint64_t at) { return c.position < at; });
    return cell != last && cell->position == position ? cell - map_.cells.begin() : -1;
}

long long FileCells::cellOf(int disk, int track, std::uint64_t position) const
{
    const int panel = panelOf(disk);
    const int row = panel < 0 ? -1 : rowOf(static_cast<std::size_t>(panel), track);
    if (row < 0) {
        return -1;
    }
    return cellAt(map_.panels[static_cast<std::size_t>(panel)].rows[static_cast<std::size_t>(row)], position);
}

void FileCells::place(const FileOnMap& file)
{
    const PlannedFile& planned = *file.file;
    const std::size_t before = parts_.size();
    for (const FileSector& sector : planned.sectors) {
        const int panel = panelOf(sector.disk);
        const int row = panel < 0 ? -1 : rowOf(static_cast<std::size_t>(panel), sector.track);
        if (row < 0) {
            continue;
        }
        const MapRow& mapRow = map_.panels[static_cast<std::size_t>(panel)].rows[static_cast<std::size_t>(row)];
        const long long cell = sector.found ? cellAt(mapRow, sector.position) : -1;
        if (cell >= 0 && sector.bytes > 0) {
            parts_.push_back({static_cast<std::size_t>(cell), file, sector.fileOffset, sector.bytes});
        }
    }
    const auto mine = parts_.begin() + static_cast<std::ptrdiff_t>(before);
    if (mine != parts_.end()) {
        starts_.push_back(*std::min_element(mine, parts_.end(), [](const FilePart& a, const FilePart& b) {
            return a.cell < b.cell;
        }));
    }
    const bool runsOut = outcomeOf(planned) != FileOutcome::Complete;
    if (!runsOut) {
        return;
    }
    // The read that fell short is the last one the file took.
    const FileSector* sector = planned.sectors.empty() ? nullptr : &planned.sectors.back();
    const int panel = sector != nullptr ? panelOf(sector->disk) : -1;
    const int row = panel < 0 ? -1 : rowOf(static_cast<std::size_t>(panel), sector->track);
    if (row < 0) {
        unplaced_.push_back(fileWords(file) + (planned.written ? " is zero-padded from byte " + std::to_string(planned.supplied)
                                                               : " is not written: " + planned.reason));
        return;
    }
    const MapRow& mapRow = map_.panels[static_cast<std::size_t>(panel)].rows[static_cast<std::size_t>(row)];
    const long long cell = sector->found ? cellAt(mapRow, sector->position) : -1;
    const std::size_t index = cell >= 0 ? static_cast<std::size_t>(cell) - mapRow.firstCell : mapRow.cellCount;
    shortfalls_.push_back({static_cast<std::size_t>(panel), static_cast<std::size_t>(row), index, file, sector});
}

std::string fileWords(const FileOnMap& file)
{
    return file.file->name + " (" + file.cutter->name + ")";
}
