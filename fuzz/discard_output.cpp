// Stands in for the programs' file writing under fuzzing, so that output
// files do not pile up on disk. Every byte handed over is read, so an output
// drawn from outside the buffer shows under the sanitizers, and names ending
// in 1 fail as a full disk would, to drive the error path too.
#include "output_file.h"

#include <cerrno>
#include <cstring>

int writeOutputFile(const char* name, const unsigned char* data, std::size_t size)
{
    volatile unsigned char sink = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sink = static_cast<unsigned char>(sink ^ data[i]);
    }
    const std::size_t length = std::strlen(name);
    return length > 0 && name[length - 1] == '1' ? ENOSPC : 0;
}
