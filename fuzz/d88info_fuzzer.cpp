// The whole d88info report over an arbitrary image: as JSON, which must
// parse as valid JSON whatever the image holds, or (for inputs whose last
// byte is odd) as text with every record listed, discarded.
#include "d88info.h"
#include "fuzz_support.h"
#include "json_value.h"
#include "report_collector.h"

#include <cstdio>
#include <string>

namespace {

int run(const char* option, const char* image, ReportCollector& output)
{
    char program[] = "d88info";
    char* argv[] = {program, const_cast<char*>(option), const_cast<char*>(image), nullptr};
    return runD88info(3, argv, output);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* image = writeInputFile(data, size);
    ReportCollector output;
    if (size > 0 && (data[size - 1] & 1) != 0) {
        output.keep = false;
        run("--sectors", image, output);
        return 0;
    }
    const int status = run("--json", image, output);
    std::string error;
    if (!jsontest::valid(output.text, error) || (status != 0 && status != 3)) {
        std::fprintf(stderr, "d88info --json gave status %d and %s\n", status,
                     error.empty() ? "valid JSON" : error.c_str());
        __builtin_trap();
    }
    return 0;
}
