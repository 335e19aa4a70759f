#ifndef CUTTER_FILE_OUTPUT_H
#define CUTTER_FILE_OUTPUT_H

#include <cstddef>

// Writes a file in one piece; returns 0 when every byte reached it,
// otherwise the error number of the first failure.
using WriteFileFunction = int (*)(const char* name, const unsigned char* data, std::size_t size);

// Creates or replaces the file name (relative to the current directory) and
// writes size bytes of data to it in binary mode.
int writeOutputFile(const char* name, const unsigned char* data, std::size_t size);

#endif
