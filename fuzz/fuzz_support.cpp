#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

void runProgramOnInput(int (*run)(int, char**), const char* name, const std::uint8_t* data, std::size_t size)
{
    std::string program = name;
    char* argv[] = {program.data(), const_cast<char*>(writeInputFile(data, size)), nullptr};
    run(2, argv);
}

void silenceStandardOutput()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::abort();
    }
}
