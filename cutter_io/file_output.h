#ifndef CUTTER_IO_FILE_OUTPUT_H
#define CUTTER_IO_FILE_OUTPUT_H

#include <cstddef>

// Writes a file in one piece; returns 0 when every byte reached it,
// otherwise the error number of the first failure.
using WriteFileFunction = int (*)(const char* name, const unsigned char* data, std::size_t size);

// Creates or replaces the file name (relative to the current directory) with
// size bytes of data, byte for byte, whole or not at all (whole_file.h): a
// file of that name stays as it was when the new one cannot be written, and
// a link of that name is replaced rather than written through.
int writeOutputFile(const char* name, const unsigned char* data, std::size_t size);

#endif
