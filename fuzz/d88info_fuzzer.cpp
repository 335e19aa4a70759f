// The whole d88info report over an arbitrary image: as JSON, which must
// parse as valid JSON whatever the image holds, together with the image's
// map from the same survey, which must be well-formed XML; or (for inputs
// whose last byte is odd) the program's run as text with every record
// listed, discarded.
#include "d88info.h"
#include "fuzz_support.h"
#include "image_map.h"
#include "image_survey.h"
#include "json_report.h"
#include "json_value.h"
#include "report_collector.h"
#include "report_tee.h"
#include "xml_tree.h"

#include <cstdio>
#include <string>

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
        char program[] = "d88info";
        char option[] = "--sectors";
        char* argv[] = {program, option, const_cast<char*>(image), nullptr};
        runD88info(3, argv, output);
        return 0;
    }
    // As d88info --json --map runs it: one survey for the report and the map.
    JsonReport json(output);
    MapWriter map;
    ReportTee both(json, map);
    ImageSurvey survey(both);
    const ImageStatus status = survey.survey(std::string(image));
    json.finish();
    std::string jsonError, xmlError;
    if (!jsontest::valid(output.text, jsonError) || !xmltest::wellFormed(map.svg(), xmlError) ||
        (status == ImageStatus::Unreadable && !survey.lastNotAnImage())) {
        std::fprintf(stderr, "d88info gave %s, %s and %s\n", statusName(status),
                     jsonError.empty() ? "valid JSON" : jsonError.c_str(),
                     xmlError.empty() ? "a well-formed map" : xmlError.c_str());
        __builtin_trap();
    }
    return 0;
}
