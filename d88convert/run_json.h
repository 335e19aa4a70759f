// The --json document of a d88convert run.
#ifndef D88CONVERT_RUN_JSON_H
#define D88CONVERT_RUN_JSON_H

#include "run_state.h"

#include <string>

std::string jsonDocument(const Run& run);

#endif
