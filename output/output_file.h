#ifndef OUTPUT_OUTPUT_FILE_H
#define OUTPUT_OUTPUT_FILE_H

#include <cstddef>

// Creates or replaces the file name in the current directory and writes
// size bytes of data to it in binary mode. Returns 0 when every byte reached
// the file, otherwise the error number of the first failure.
int writeOutputFile(const char* name, const unsigned char* data, std::size_t size);

#endif
