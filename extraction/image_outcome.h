// What became of one image: the folder its files went to, each file written
// with its checksum, and what went wrong. The manifest, the checksum list,
// the summary line and the exit status are all made from it.
#ifndef EXTRACTION_IMAGE_OUTCOME_H
#define EXTRACTION_IMAGE_OUTCOME_H

#include "image_facts.h"

#include <cstdint>
#include <string>
#include <vector>

struct WrittenFile {
    std::string name;
    std::size_t size = 0;
    std::string sha256;  // 64 lowercase hex digits
    int disk = 0;
    std::size_t supplied = 0;  // leading bytes the sectors gave; the rest are zeros
    int image = 0;             // which of the outcome's images it came from
    std::string fileSystem;    // by the disk's file system: its name ("N88-BASIC 2D"); else empty
    std::string storedNameHex; // and the name's bytes as stored
    bool complete() const { return supplied == size; }
};

// A file the way of taking files knows of that the folder does not get (the
// table cutter's: its first sector cannot be read, or, for a set, the set
// has no disk of its kind).
struct MissingFile {
    std::string name;
    int image = -1;  // -1 with disk: no disk of the set holds it
    int disk = -1;
    std::string reason;
};

// Damage the survey found on a disk the cutter reads, or in the image as a
// whole.
struct FoundDamage {
    int image = 0;
    Anomaly anomaly;
};

struct SourceImage {
    std::string path;  // as given
    std::uint64_t size = 0;
};

struct Problem {
    std::string name;  // the file it concerns; empty for the image or its folder
    std::string what;
    bool inTheWay = false;  // the folder already holds the name
};

struct ImageOutcome {
    std::string image;  // the path as given; with --merge, the set's first image
    std::vector<SourceImage> sources;  // the images read: this one, or the set in order
    bool merged = false;
    bool read = false;
    bool notAnImage = false;  // not read, as no D88 image
    std::string folder;
    std::string mode;  // the way's key: "table", "scan"
    std::vector<WrittenFile> files;  // written, or with --dry-run to be written
    std::vector<Problem> problems;
    std::vector<MissingFile> missing;
    std::vector<std::string> lacks;      // a set's parts (disk kinds) that none of its disks is
    std::vector<FoundDamage> damage;     // at most kDamageListed
    std::size_t damageLeftOut = 0;
    bool dryRun = false;
    bool skipped = false;     // the folder held names it would write: nothing was written
    bool notWritten = false;  // a file or the folder could not be written
    std::size_t incomplete() const;
    // The kinds of damage found, each once, in the order found: "truncated, short-sector".
    std::string damageKinds() const;
};

// As many damage entries as a report lists of one image's anomalies.
constexpr std::size_t kDamageListed = 10000;

// The exit status of a run from its images: 1 for one that could not be
// read, else 2 for a file not written or an image skipped, else 3 for an
// incomplete or missing file or damage found, else 0.
int exitStatus(const std::vector<ImageOutcome>& outcomes);

class JsonWriter;

// The manifest of one image, as a JSON document (the folder's
// manifest.json), or written as a value (an element of --json's list).
std::string manifestJson(const ImageOutcome& outcome);
void writeManifest(JsonWriter& json, const ImageOutcome& outcome);

// The checksum list in the form sha256sum -c reads: "HASH  NAME" a line.
std::string sha256Sums(const ImageOutcome& outcome);

#endif
