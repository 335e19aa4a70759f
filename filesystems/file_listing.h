// What a file-system reader finds on a disk: the file system and why it was
// taken, each file with the sectors its bytes come from and what is wrong
// with them, the faults of the file system itself, and the areas it keeps
// for itself (for the map). Plain values: nothing here reads the disk.
#ifndef FILESYSTEMS_FILE_LISTING_H
#define FILESYSTEMS_FILE_LISTING_H

#include "sector_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// A fault of the file system, named with its place: "chain loops" at
// "cluster 12", "FAT copies disagree" at "clusters 3, 7 (2 in all)".
struct Damage {
    std::string what;
    std::string where;
};

// A run of bytes of a file: bytes bytes of the sector at place from its
// first byte on. A piece whose place is unknown (a chain that broke off
// before the file's size was reached) holds none of its bytes.
struct FilePiece {
    SectorPlace place;
    bool placed;
    int bytes;
    int supplied;       // how many of bytes the disk holds; the rest read as zeros
    SectorFault fault;  // Missing for a piece without a place
    std::uint64_t position = 0;  // in the file, of the record that holds it; 0 when none was found
};

enum class FileState : unsigned char {
    Complete,    // every byte is held
    Incomplete,  // some bytes are lacking: written zero-padded
    Missing,     // the image holds none of its bytes: not written
    Deleted,     // a deleted entry: listed, never written
    Folder,      // a subfolder (FAT12): made, holds no bytes of its own
};

// "complete", "incomplete", "missing", "deleted", "folder".
const char* stateName(FileState state);

struct FileEntry {
    std::string path;            // UTF-8, safe for a file system, unique in its folder; "/" between folders
    std::string storedNameHex;   // the name's bytes as stored, in hex
    std::string type;            // "basic", "machine-code", "ascii", "binary", "folder", "file", ...
    std::vector<std::string> attributes;  // in words: "write-protected", "hidden", ...
    std::uint64_t size = 0;      // bytes the file holds (the sum of its pieces)
    long loadAddress = -1;       // -1 where the file system keeps none
    long execAddress = -1;
    long endAddress = -1;
    std::string date;            // "1987-05-03 12:34", or empty
    FileState state = FileState::Complete;
    std::vector<FilePiece> pieces;
    std::vector<Damage> damage;  // its chain's faults
};

// Sectors a file system keeps for itself.
enum class AreaKind : unsigned char { System, Directory, AllocationTable };

// "system", "directory", "allocation-table".
const char* areaName(AreaKind kind);

struct Area {
    AreaKind kind;
    std::vector<SectorPlace> sectors;
};

struct FileListing {
    bool found = false;        // false: no file system found (not damage)
    std::string kind;          // "n88-basic", "hu-basic", "fat12", "f-basic"; empty when none
    std::string name;          // "N88-BASIC 2D", "FAT12 PC-98 2HD"
    std::string reason;        // one line: why this file system, or why none
    int score = 0;             // 0..100, the winner's evidence
    std::vector<FileEntry> files;
    std::vector<Damage> damage;  // the file system's own faults
    std::vector<Area> areas;
    std::uint64_t freeBytes = 0;
};

// Whether a file has a fault: a sector that is not whole and sound, or a
// fault of its chain.
bool damaged(const FileEntry& file);

// Derives the file's size and state from its pieces.
void settle(FileEntry& file);

#endif
