// What became of one image: the folder its files went to, each file written
// with its checksum, and what went wrong. The manifest, the checksum list,
// the summary line and the exit status are all made from it.
#ifndef D88CUT_IMAGE_OUTCOME_H
#define D88CUT_IMAGE_OUTCOME_H

#include <cstdint>
#include <string>
#include <vector>

struct WrittenFile {
    std::string name;
    std::size_t size = 0;
    std::string sha256;  // 64 lowercase hex digits
    int disk = 0;
    std::size_t supplied = 0;  // leading bytes the sectors gave; the rest are zeros
    bool complete() const { return supplied == size; }
};

struct Problem {
    std::string name;  // the file it concerns; empty for the image or its folder
    std::string what;
    bool inTheWay = false;  // the folder already holds the name
};

struct ImageOutcome {
    std::string image;  // the path as given
    bool read = false;
    std::uint64_t imageSize = 0;
    std::string folder;
    std::string mode;  // "table" or "scan"
    std::vector<WrittenFile> files;  // written, or with --dry-run to be written
    std::vector<Problem> problems;
    bool dryRun = false;
    bool skipped = false;     // the folder held names it would write: nothing was written
    bool notWritten = false;  // a file or the folder could not be written
    std::size_t incomplete() const;
};

// The exit status of a run from its images: 1 for one that could not be
// read, else 2 for a file not written or an image skipped, else 3 for an
// incomplete file, else 0.
int exitStatus(const std::vector<ImageOutcome>& outcomes);

class JsonWriter;

// The manifest of one image, as a JSON document (the folder's
// manifest.json), or written as a value (an element of --json's list).
std::string manifestJson(const ImageOutcome& outcome);
void writeManifest(JsonWriter& json, const ImageOutcome& outcome);

// The checksum list in the form sha256sum -c reads: "HASH  NAME" a line.
std::string sha256Sums(const ImageOutcome& outcome);

#endif
