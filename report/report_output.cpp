#include "report_output.h"
#include "last_error.h"

#include <cerrno>

bool StreamOutput::write(std::string_view text)
{
    errno = 0;
    if (error_ == 0 && !text.empty() && std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) {
        error_ = lastError();
    }
    return error_ == 0;
}

bool StreamOutput::flush()
{
    errno = 0;
    if (std::fflush(stream_) != 0 && error_ == 0) {
        error_ = lastError();
    }
    if (std::ferror(stream_) != 0 && error_ == 0) {
        error_ = EIO;
    }
    return error_ == 0;
}
