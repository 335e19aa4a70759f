// d88convert's command line.
#ifndef D88CONVERT_OPTIONS_H
#define D88CONVERT_OPTIONS_H

#include "block_geometry.h"
#include "image_formats.h"

#include <string>
#include <vector>

struct Options {
    std::vector<std::string> files;  // the inputs, then the output (or, with --split, the folder)
    bool split = false;
    bool toGiven = false;            // --to named the output's format
    ImageFormat to = ImageFormat::D88;
    const RawKind* toKind = nullptr;
    int disk = -1;                   // --disk N, or -1
    bool geometryGiven = false;
    BlockGeometry geometry;
    bool nameGiven = false;
    std::string name;                // as Shift-JIS bytes
    bool writeProtect = false;
    int firstR = -1;
    bool force = false;
    bool json = false;
};

// Reads argv into options. Returns -1 to go on; otherwise the run ends
// with that exit status (after --help or --version, 0; after a usage
// error, reported on standard error, 1).
int parseOptions(int argc, char** argv, Options& options);

#endif
