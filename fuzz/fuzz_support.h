// Support shared by the fuzz entry points.
#ifndef FUZZ_FUZZ_SUPPORT_H
#define FUZZ_FUZZ_SUPPORT_H

#include "file_output.h"

#include <cstddef>
#include <cstdint>

// Writes the input to this process's own temporary image file (removed at
// exit) and returns its path; the programs read images by name only.
const char* writeInputFile(const std::uint8_t* data, std::size_t size);

// Stands in for writing an output file: reads every byte handed over, so an
// output drawn from outside its buffer shows under the sanitizers, writes
// nothing, and fails names ending in 1 as a full disk would, to drive the
// error paths too.
int discardOutputFile(const char* name, const unsigned char* data, std::size_t size);

// Runs a program's whole run, as `name <input file>`, on the input, its
// files going to discardOutputFile.
void runProgramOnInput(int (*run)(int, char**, WriteFileFunction), const char* name, const std::uint8_t* data,
                       std::size_t size);

// Sends standard output to /dev/null: the programs' progress lines are of
// no interest here.
void silenceStandardOutput();

#endif
