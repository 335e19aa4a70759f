#include "options.h"

#include "help_output.h"
#include "option_reader.h"
#include "version.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kProgram[] = "d88cut";

const char kUsageHead[] =
    "Usage: d88cut [OPTION]... IMAGE...\n"
    "Cut the files out of each D88 image into a folder of its own, never\n"
    "overwriting, with a SHA256SUMS file and a manifest.json in each folder.\n"
    "\n"
    "  -C, --directory DIR  make the image folders in DIR (default: here); game.d88\n"
    "                       goes to DIR/game, a second game.d88 to DIR/game-2\n";

// Then a line or two for each way of taking files, then these.
const char kUsageTail[] =
    "      --force          replace files of the same names in an image's folder\n"
    "                       (without it, such an image is skipped)\n"
    "      --merge          the images are one set kept in several files: cut them\n"
    "                       together, as one file of their disks back to back,\n"
    "                       into one folder, DIR/NAME (NAME: the first image's)\n"
    "      --name NAME      with --merge, the set's folder name\n"
    "  -n, --dry-run        say what would be written, write nothing\n"
    "      --json           the run's report on standard output as one JSON document\n"
    "  -q, --quiet          no summary lines\n"
    "  -v, --verbose        a line for each file as well\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "  --                   what follows are images, even if it starts with -\n"
    "\n"
    "Exit status: 0 every file written complete from a sound image; 1 wrong usage,\n"
    "or an image cannot be opened or read, or is not a D88 image; 2 a file could\n"
    "not be written, or an image was skipped so as not to overwrite; 3 all written,\n"
    "but a file is incomplete (zero-padded where the image lacks sectors) or\n"
    "missing, or a disk the cutter reads is damaged. When several apply, the first\n"
    "of 1, 2, 3.\n";

// The help: each way's option in the column of the others, its lines
// after the first indented to its words.
std::string usage()
{
    constexpr std::size_t kWordsColumn = 23;
    const std::string indent(kWordsColumn, ' ');
    std::string text = kUsageHead;
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        std::string option = std::string("      --") + cutterAt(way).key;
        option.resize(std::max(option.size() + 1, kWordsColumn), ' ');
        text += option;
        for (const char* c = cutterAt(way).optionHelp; *c != '\0'; ++c) {
            text += *c;
            if (*c == '\n') {
                text += indent;
            }
        }
        text += '\n';
    }
    return text + kUsageTail;
}

const char kVersion[] = "d88cut (d88image) " D88_VERSION "\n";

int usageError(const std::string& what)
{
    sayUsageError(kProgram, what);
    return 1;
}

}  // namespace

int parseOptions(int argc, char** argv, Options& options)
{
    enum { Directory, Name, Merge, Force, DryRun, Json, Quiet, Verbose, Help, Version, FirstWay };
    std::vector<OptionRule> specs = {
        {'C', "directory", "a folder"}, {0, "name", "a folder name"}, {0, "merge", nullptr},
        {0, "force", nullptr},          {'n', "dry-run", nullptr},    {0, "json", nullptr},
        {'q', "quiet", nullptr},        {'v', "verbose", nullptr},    {'h', "help", nullptr},
        {'V', "version", nullptr},
    };
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        specs.push_back({0, cutterAt(way).key, nullptr});
    }
    OptionReader reader(kProgram, argc, argv, std::move(specs), {true, true, true});
    std::vector<bool> ways(cutterCount(), false);  // each way's --KEY given
    bool named = false;
    for (OptionReader::Kind kind; (kind = reader.next()) != OptionReader::Kind::End;) {
        if (kind == OptionReader::Kind::Error) {
            return 1;
        }
        if (kind == OptionReader::Kind::Operand) {
            options.images.push_back(reader.value());
            continue;
        }
        switch (reader.option()) {
        case Directory:
            options.directory = reader.value();
            break;
        case Name:
            options.extraction.mergedName = reader.value();
            named = true;
            break;
        case Merge:
            options.extraction.merge = true;
            break;
        case Force:
            options.extraction.force = true;
            break;
        case DryRun:
            options.extraction.dryRun = true;
            break;
        case Json:
            options.json = true;
            break;
        case Quiet:
            options.quiet = true;
            break;
        case Verbose:
            options.verbose = true;
            break;
        case Help:
            return showOnStandardOutput(kProgram, usage().c_str());
        case Version:
            return showOnStandardOutput(kProgram, kVersion);
        default:
            ways[reader.option() - FirstWay] = true;
            break;
        }
    }
    for (std::size_t way = 0; way < ways.size(); ++way) {
        if (!ways[way]) {
            continue;
        }
        for (std::size_t other = way + 1; other < ways.size(); ++other) {
            if (ways[other]) {
                return usageError(std::string("--") + cutterAt(way).key + " and --" + cutterAt(other).key +
                                  " exclude each other");
            }
        }
        options.extraction.cutter = &cutterAt(way);
    }
    if (options.quiet && options.verbose) {
        return usageError("--quiet and --verbose exclude each other");
    }
    if (named && !options.extraction.merge) {
        return usageError("--name goes with --merge");
    }
    if (named && (options.extraction.mergedName.empty() || options.extraction.mergedName == "." || options.extraction.mergedName == ".." ||
                  options.extraction.mergedName.find_first_of("/\\") != std::string::npos)) {
        return usageError("--name takes a folder name, not a path: '" + options.extraction.mergedName + "'");
    }
    if (options.images.empty()) {
        return usageError("no image given");
    }
    return -1;
}
