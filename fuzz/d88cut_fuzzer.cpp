// The whole d88cut run over an arbitrary image, both ways of cutting, with
// a storage that keeps nothing: it reads every byte handed over, fails the
// names ending in 1 as a full disk would, and says a folder already holds
// the names ending in 3, to drive the error and no-overwrite paths too
// (with --force for the second).
#include "d88cut.h"
#include "fuzz_support.h"
#include "json_value.h"
#include "report_collector.h"

#include <cerrno>
#include <cstdio>

namespace {

class DiscardingStorage final : public Storage {
public:
    int makeFolder(const std::string&) override { return 0; }
    Presence holds(const std::string&, const std::string& name, int&) override
    {
        return !name.empty() && name.back() == '3' ? Presence::Present : Presence::Absent;
    }
    int writeWhole(const std::string&, const std::string& name, const unsigned char* data, std::size_t size,
                   bool) override
    {
        return discardOutputFile(name.c_str(), data, size);
    }
    int remove(const std::string&, const std::string&) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    char* image = const_cast<char*>(writeInputFile(data, size));
    char program[] = "d88cut";
    char json[] = "--json";
    char table[] = "--table";
    char scan[] = "--scan";
    char force[] = "--force";
    for (char* mode : {table, scan}) {
        DiscardingStorage storage;
        ReportCollector report;
        char* argv[] = {program, json, mode, mode == scan ? force : json, image, nullptr};
        const int status = runD88cut(5, argv, storage, report);
        std::string error;
        if (!jsontest::valid(report.text, error) || status < 0 || status > 3) {
            std::fprintf(stderr, "d88cut --json gave status %d and %s\n", status, error.empty() ? "valid JSON" : error.c_str());
            __builtin_trap();
        }
    }
    return 0;
}
