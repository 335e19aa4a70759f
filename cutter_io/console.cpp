#include "console.h"
#include "last_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void sayStandardOutputFailed(const char* program, int error)
{
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", program, std::strerror(error));
}

// Output to a file or pipe is buffered, so a failure may show only at a
// later line or at the final flush; the stream's error flag keeps it until
// then. The reason is the error number of the call that failed.
void Console::check(bool failed)
{
    if ((failed || std::ferror(stdout) != 0) && !outputFailed_) {
        const int error = lastError();
        outputFailed_ = true;
        sayStandardOutputFailed(program_, error);
    }
}

void Console::print(const char* text)
{
    errno = 0;
    check(std::fputs(text, stdout) < 0);
}

void Console::print(const char* format, const char* text)
{
    errno = 0;
    check(std::printf(format, text) < 0);
}

void Console::cannotWrite(const char* name, int error)
{
    errno = 0;
    check(std::fflush(stdout) != 0);
    std::fprintf(stderr, "%s: cannot write %s: %s\n", program_, name, std::strerror(error));
}

bool Console::finish()
{
    errno = 0;
    check(std::fflush(stdout) != 0);
    return !outputFailed_;
}
