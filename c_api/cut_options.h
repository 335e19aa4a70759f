// What a d88_cut_options object holds: the settings of d88cut's run that
// bear on one cut held in memory.
#ifndef C_API_CUT_OPTIONS_H
#define C_API_CUT_OPTIONS_H

#include <d88image/d88.h>

#include "extraction.h"

#include <string>
#include <vector>

struct d88_cut_options {
    const Cutter* cutter = nullptr;    // null: "auto"
    std::vector<std::string> folders;  // given earlier in the run
    bool merge = false;                // the images are one set
    std::vector<d88_image*> images;    // cut after the cut's own, as one set
    std::string mergedName;
};

#endif
