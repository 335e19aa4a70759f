// The ways of taking files that the C API names by key, and the mode of a
// cut by its key: the one list they are read from.
#ifndef C_API_CUTTERS_H
#define C_API_CUTTERS_H

#include "extraction.h"

#include <cstddef>

struct CutterEntry {
    const char* key;
    ExtractionSettings::Mode mode;  // the extraction's mode that takes files this way alone
};

std::size_t cutterCount();
const CutterEntry& cutterAt(std::size_t index);

// The mode of key: "auto" (the table cutter where a disk is of a kind it
// knows, else the scanner) or a cutter's key. False for any other key.
bool modeOfKey(const char* key, ExtractionSettings::Mode& mode);

#endif
