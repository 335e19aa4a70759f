#include "converted_file.h"

#include <cerrno>
#include <sys/stat.h>

bool pathTaken(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 status;
    return _stat64(path.c_str(), &status) == 0;
#else
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
#endif
}

int ConvertedFile::begin(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    folder_ = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    name_ = slash == std::string::npos ? path : path.substr(slash + 1);
    return beginWholeFile(file_, folder_.c_str(), name_.c_str());
}

namespace {
constexpr std::size_t kGathered = 256 * 1024;
// Pieces this large go out as they come.
constexpr std::size_t kLargePiece = 64 * 1024;
}

void ConvertedFile::write(const unsigned char* data, std::size_t size)
{
    if (pending_.size() + size > kGathered || size >= kLargePiece) {
        flush();
    }
    if (size >= kLargePiece) {
        writeWholeFilePart(file_, data, size);
    } else {
        pending_.insert(pending_.end(), data, data + size);
    }
}

void ConvertedFile::flush()
{
    if (pending_.empty()) {
        return;
    }
    writeWholeFilePart(file_, pending_.data(), pending_.size());
    pending_.clear();
}

int ConvertedFile::end(bool replace)
{
    flush();
    return endWholeFile(file_, folder_.c_str(), name_.c_str(), replace);
}

void ConvertedFile::abandon()
{
    pending_.clear();
    if (file_.error == 0) {
        file_.error = ECANCELED;
    }
    endWholeFile(file_, folder_.c_str(), name_.c_str(), false);
}
