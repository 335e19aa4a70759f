// The whole tablecut run over an arbitrary image.
#include "fuzz_support.h"
#include "tablecut.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    std::atexit(closeImage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    runProgramOnInput(runTablecut, "tablecut", data, size);
    return 0;
}
