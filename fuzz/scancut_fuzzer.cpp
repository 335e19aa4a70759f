// The whole scancut run over an arbitrary image.
#include "fuzz_support.h"
#include "scancut.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    runProgramOnInput(runScancut, "scancut", data, size);
    return 0;
}
