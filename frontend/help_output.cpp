#include "help_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int showOnStandardOutput(const char* program, const char* text)
{
    errno = 0;
    std::fputs(text, stdout);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s: cannot write standard output: %s\n", program, std::strerror(errno != 0 ? errno : EIO));
        return 2;
    }
    return 0;
}
