// d88cut's command line.
#ifndef D88CUT_OPTIONS_H
#define D88CUT_OPTIONS_H

#include "extraction.h"

#include <string>
#include <vector>

struct Options {
    std::string directory;  // empty: the current directory
    ExtractionSettings extraction;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    std::vector<std::string> images;
};

// Reads argv into options. Returns -1 to go on; otherwise the run ends
// with that exit status (after --help or --version, 0; after a usage
// error, reported on standard error, 1).
int parseOptions(int argc, char** argv, Options& options);

#endif
