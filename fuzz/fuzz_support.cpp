#include "fuzz_support.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string inputPath;

void removeInputFile()
{
    std::remove(inputPath.c_str());
}

}  // namespace

const char* writeInputFile(const std::uint8_t* data, std::size_t size)
{
    if (inputPath.empty()) {
        const char* folder = std::getenv("TMPDIR");
        inputPath = std::string(folder != nullptr ? folder : "/tmp") + "/d88fuzz-" + std::to_string(getpid()) + ".d88";
        std::atexit(removeInputFile);
    }
    std::FILE* file = std::fopen(inputPath.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write the fuzz input to %s\n", inputPath.c_str());
        std::abort();
    }
    return inputPath.c_str();
}

int discardOutputFile(const char* name, const unsigned char* data, std::size_t size)
{
    volatile unsigned char sink = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sink = static_cast<unsigned char>(sink ^ data[i]);
    }
    const std::size_t length = std::strlen(name);
    return length > 0 && name[length - 1] == '1' ? ENOSPC : 0;
}

void runProgramOnInput(int (*run)(int, char**, WriteFileFunction), const char* name, const std::uint8_t* data,
                       std::size_t size)
{
    std::string program = name;
    char* argv[] = {program.data(), const_cast<char*>(writeInputFile(data, size)), nullptr};
    run(2, argv, discardOutputFile);
}

void silenceStandardOutput()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::abort();
    }
}
