// Stands in for the scanner's file writing in library-level tests: every
// file it is asked to write is kept here instead of on disk.
#ifndef TESTS_RECORDING_OUTPUT_H
#define TESTS_RECORDING_OUTPUT_H

#include "image_builder.h"

#include <string>
#include <utility>
#include <vector>

namespace recording {

extern std::vector<std::pair<std::string, d88build::Bytes>> files;
// The error number writeOutputFile returns; 0 for success.
extern int failWith;

}  // namespace recording

#endif
