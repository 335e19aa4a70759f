#include "file_output.h"

#include <cerrno>
#include <cstdio>

int writeOutputFile(const char* name, const unsigned char* data, std::size_t size)
{
    errno = 0;
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        return errno != 0 ? errno : EIO;
    }
    int error = 0;
    if (std::fwrite(data, 1, size, file) != size) {
        error = errno != 0 ? errno : EIO;
    }
    // Buffered data meets a full disk only when it is flushed. The flush is
    // checked on its own: not every C library reports its failure through
    // the close.
    errno = 0;
    if (error == 0 && std::fflush(file) != 0) {
        error = errno != 0 ? errno : EIO;
    }
    errno = 0;
    if (std::fclose(file) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    return error;
}
