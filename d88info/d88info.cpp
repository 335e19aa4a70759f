// d88info: what is in a D88 image, what is wrong with it, and what each way
// of taking files (tablecut, scancut) would write from it.
#include "d88info.h"

#include "console.h"
#include "cutter.h"

#include "image_map.h"
#include "image_survey.h"
#include "json_report.h"
#include "map_output.h"
#include "report_tee.h"
#include "text_report.h"
#include "help_output.h"
#include "option_reader.h"
#include "version.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kProgram[] = "d88info";

// Around the names of the ways of taking files.
const char kUsageHead[] =
    "Usage: d88info [OPTION]... IMAGE...\n"
    "Report what each D88 image holds, what is damaged in it and where, and what\n";
const char kUsageTail[] =
    " would write from it, without writing anything.\n"
    "\n"
    "  --json         one JSON document for the whole run, every record listed\n"
    "  -v, --tracks   a line for each track, not one for tracks that look alike\n"
    "  --sectors      as --tracks, and a line for each record\n"
    "  --files        a line for each file of a disk's own file system\n"
    "  --map PATH     also draw a map of each image as SVG: into the file PATH for\n"
    "                 one image, into the folder PATH as NAME.svg for several\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "  --             what follows are images, even if it starts with -\n"
    "\n"
    "Exit status: 0 every image read and none damaged; 1 wrong usage, or an image\n"
    "cannot be opened or read; 2 the report or a map cannot be written; 3 an\n"
    "image is damaged. When several apply, the first of 1, 2 and 3.\n";

struct Options {
    bool json = false;
    TrackDetail detail = TrackDetail::Folded;
    bool files = false;
    std::string map;  // where the maps go; empty for none
    std::vector<std::string> images;
};

// 0 to go on, otherwise the exit status plus one for a run that ends here.
int parse(int argc, char** argv, Options& options)
{
    enum { Help, Version, Json, Tracks, Sectors, Files, Map };
    OptionReader reader(kProgram, argc, argv,
                        {{'h', "help", nullptr},
                         {'V', "version", nullptr},
                         {0, "json", nullptr},
                         {'v', "tracks", nullptr},
                         {0, "sectors", nullptr},
                         {0, "files", nullptr},
                         {0, "map", "a file or a folder"}},
                        {false, false, false});
    for (OptionReader::Kind kind; (kind = reader.next()) != OptionReader::Kind::End;) {
        if (kind == OptionReader::Kind::Error) {
            return 2;
        }
        if (kind == OptionReader::Kind::Operand) {
            options.images.push_back(reader.value());
            continue;
        }
        switch (reader.option()) {
        case Help:
            return showOnStandardOutput(kProgram, (kUsageHead + cutterNames() + kUsageTail).c_str()) + 1;
        case Version:
            return showOnStandardOutput(kProgram, "d88info (d88image) " D88_VERSION "\n") + 1;
        case Json:
            options.json = true;
            break;
        case Tracks:
            options.detail = std::max(options.detail, TrackDetail::EveryTrack);
            break;
        case Sectors:
            options.detail = TrackDetail::EveryRecord;
            break;
        case Files:
            options.files = true;
            break;
        default:
            options.map = reader.value();
            break;
        }
    }
    if (options.images.empty()) {
        sayUsageError(kProgram, "no image given");
        return 2;
    }
    return 0;
}

}  // namespace

int runD88info(int argc, char** argv, ReportOutput& output)
{
    Options options;
    if (const int ended = parse(argc, argv, options)) {
        return ended - 1;
    }
    TextReport text(output, options.detail, options.files);
    std::unique_ptr<JsonReport> json;
    if (options.json) {
        json = std::make_unique<JsonReport>(output);
    }
    ReportWriter& report = json ? static_cast<ReportWriter&>(*json) : text;
    // With --map, one survey serves the report and the map.
    MapWriter map;
    ReportTee both(report, map);
    MapOutput maps(options.map, options.images.size() > 1);
    ImageSurvey survey(options.map.empty() ? report : both);
    bool unreadable = false, damaged = false, mapFailed = false;
    for (const std::string& image : options.images) {
        const ImageStatus status = survey.survey(image);
        damaged = damaged || status == ImageStatus::Damaged;
        if (!options.map.empty() && status != ImageStatus::Unreadable && !maps.write(image, map)) {
            mapFailed = true;
        }
        if (status == ImageStatus::Unreadable) {
            unreadable = true;
            // After the report so far, so that the two streams read in order.
            if (!json) {
                text.flush();
            }
            output.flush();
            std::fprintf(stderr, "d88info: %s: %s%s\n", image.c_str(), survey.lastNotAnImage() ? "" : "cannot be read: ",
                         survey.lastError().c_str());
        }
    }
    if (json) {
        json->finish();
    } else {
        text.finish();
    }
    if (!output.flush()) {
        sayStandardOutputFailed("d88info", output.error());
        return unreadable ? 1 : 2;
    }
    return unreadable ? 1 : mapFailed ? 2 : damaged ? 3 : 0;
}
