#include "help_output.h"
#include "console.h"
#include "last_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int showOnStandardOutput(const char* program, const char* text)
{
    errno = 0;
    std::fputs(text, stdout);
    if (std::fflush(stdout) != 0) {
        sayStandardOutputFailed(program, lastError());
        return 2;
    }
    return 0;
}
