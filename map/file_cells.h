// Where the cutters' files lie on the map: the drawn cells each file's
// sectors were read from, and the place where a file runs out of data.
#ifndef MAP_FILE_CELLS_H
#define MAP_FILE_CELLS_H

#include "cutter.h"
#include "image_map.h"

#include <string>
#include <vector>

struct FileOnMap {
    const Cutter* cutter;  // the way of taking files that would write it
    const PlannedFile* file;
};

// Bytes of a file that a drawn cell's record gave.
struct FilePart {
    std::size_t cell;  // in ImageMap::cells
    FileOnMap file;
    std::size_t fileOffset;
    std::size_t bytes;
};

// Where a file runs out of data: the sector whose read fell short, or was
// not found, on the row of its track; cellIndex is the cell's place in the
// row, or the row's cell count for a sector not found.
struct FileShortfall {
    std::size_t panel;
    std::size_t row;  // in the panel's rows
    std::size_t cellIndex;
    FileOnMap file;
    const FileSector* sector;
};

class FileCells {
public:
    FileCells(const ImageMap& map, const ImageSummary& summary);
    // In the order of the cells.
    const std::vector<FilePart>& parts() const { return parts_; }
    // Each file's first part drawn, where its label goes; in the order of
    // the cells.
    const std::vector<FilePart>& starts() const { return starts_; }
    // In the order of the panels and their rows.
    const std::vector<FileShortfall>& shortfalls() const { return shortfalls_; }
    // Shortfalls on tracks that have no row, in words.
    const std::vector<std::string>& unplaced() const { return unplaced_; }
    // The cell, in ImageMap::cells, of the record at position on a track of
    // a disk; -1 when it is not drawn.
    long long cellOf(int disk, int track, std::uint64_t position) const;

private:
    void place(const FileOnMap& file);
    // The panel a disk's records are drawn in; -1 for none.
    int panelOf(int disk) const;
    // The row of a track of a panel; -1 for none.
    int rowOf(std::size_t panel, int track) const;
    // The cell of the record at position on the row; -1 when it is not drawn.
    long long cellAt(const MapRow& row, std::uint64_t position) const;

    const ImageMap& map_;
    std::vector<std::vector<int>> rowOfTrack_;  // per panel, per track index
    std::vector<FilePart> parts_;
    std::vector<FilePart> starts_;
    std::vector<FileShortfall> shortfalls_;
    std::vector<std::string> unplaced_;
};

// A file's name and cutter as the map shows them: "KX201 (tablecut)".
std::string fileWords(const FileOnMap& file);

#endif
