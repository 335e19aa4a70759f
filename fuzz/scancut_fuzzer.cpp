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
    char program[] = "scancut";
    char* argv[] = {program, const_cast<char*>(writeInputFile(data, size)), nullptr};
    runScancut(2, argv);
    return 0;
}
