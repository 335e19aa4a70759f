// A listed file's bytes, read piece by piece through the sector layer: what
// the disk holds of each piece, zeros for what it lacks, never more than
// the file's size. Judging a file's pieces reads each of its sectors once
// (see track_judge.h for doing so in the course of a walk of the disk);
// reading it again gives its bytes.
#ifndef FILESYSTEMS_FILE_BYTES_H
#define FILESYSTEMS_FILE_BYTES_H

#include "file_listing.h"
#include "output_sink.h"

#include <cstddef>
#include <vector>

// Sets the piece's supplied bytes, fault and position from the disk (a
// piece without a place holds nothing).
void judgePiece(SectorReader& disk, FilePiece& piece);

// The file's size bytes into dest (capacity at least file.size): what the
// disk holds, zeros for what it lacks. Returns how many bytes the disk
// supplied; 0, writing nothing, when capacity is too small.
std::size_t readFileBytes(SectorReader& disk, const FileEntry& file, unsigned char* dest, std::size_t capacity);

// As readFileBytes, into out, which is resized to the file's size.
std::size_t readFileBytes(SectorReader& disk, const FileEntry& file, std::vector<unsigned char>& out);

// Hands the file to sink as a cutter hands its files, named by its path,
// supplied counting the leading bytes the disk held; false when the file
// holds no bytes to write (deleted, missing, a folder) or the sink fails.
bool writeFile(SectorReader& disk, const FileEntry& file, int diskIndex, OutputSink& sink);

#endif
