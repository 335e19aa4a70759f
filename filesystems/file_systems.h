// The files of a disk by the disk's own file system: N88-BASIC, Hu-BASIC,
// FAT12 or F-BASIC. Each reader weighs the disk's evidence (its allocation table's
// reserved marks and first bytes, its directory's names, the boot sector's
// parameter block); the best one sure enough lists the disk. A disk none
// reads is "no file system found", which is no damage.
#ifndef FILESYSTEMS_FILE_SYSTEMS_H
#define FILESYSTEMS_FILE_SYSTEMS_H

#include "file_bytes.h"
#include "file_listing.h"
#include "file_names.h"
#include "track_judge.h"

#include <d88image/d88image.h>

#include <cstddef>
#include <vector>

// Selects disk diskIndex of image and lists its file system: found, kind,
// name and the reason in a line, the files with their pieces and damage,
// the file system's own damage, its areas and its free space. A disk that
// cannot be selected lists nothing and says so in the reason. Reads each
// file's sectors once; memory stays within a few times the disk's size.
FileListing listFiles(D88Image& image, int diskIndex, const NameRules& rules = NameRules());

// As listFiles, but leaves each file's pieces unjudged and its state
// unsettled, for a TrackJudge to judge in the course of a walk of the disk:
// reads only the file system's own sectors.
FileListing listFileSystem(D88Image& image, int diskIndex, const NameRules& rules = NameRules());

// Selects disk diskIndex of image and reads a listed file's bytes into out:
// what the disk holds, zeros for what it lacks. Returns the bytes the disk
// supplied.
std::size_t readFile(D88Image& image, int diskIndex, const FileEntry& file, std::vector<unsigned char>& out);

// Selects disk diskIndex of image and hands a listed file to sink as the
// cutters hand theirs; false for a file with no bytes to write or when the
// sink fails.
bool writeFile(D88Image& image, int diskIndex, const FileEntry& file, OutputSink& sink);

#endif
