// d88cut's command line.
#ifndef D88CUT_OPTIONS_H
#define D88CUT_OPTIONS_H

#include <string>
#include <vector>

struct Options {
    enum class Mode { Chosen, Table, Scan };  // Chosen: table when a disk is of a known kind
    std::string directory;  // empty: the current directory
    Mode mode = Mode::Chosen;
    bool force = false;
    bool dryRun = false;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool merge = false;       // the images are one set: cut together into one folder
    std::string mergedName;   // with merge: the folder's name; empty: the first image's
    std::vector<std::string> images;
};

// Reads argv into options. Returns -1 to go on; otherwise the run ends
// with that exit status (after --help or --version, 0; after a usage
// error, reported on standard error, 1).
int parseOptions(int argc, char** argv, Options& options);

#endif
