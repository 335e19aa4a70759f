#include "options.h"

#include "help_output.h"
#include "version.h"

#include <algorithm>
#include <cstdio>

namespace {

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
    std::fprintf(stderr, "d88cut: %s\nTry 'd88cut --help' for more information.\n", what.c_str());
    return 1;
}

}  // namespace

int parseOptions(int argc, char** argv, Options& options)
{
    std::vector<bool> ways(cutterCount(), false);  // each way's --KEY given
    bool named = false, optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnd || argument.size() < 2 || argument[0] != '-') {
            options.images.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "--directory" || argument.compare(0, 12, "--directory=") == 0) {
            if (argument.size() > 11) {
                options.directory = argument.substr(12);
            } else if (++i < argc) {
                options.directory = argv[i];
            } else {
                return usageError("option '--directory' needs a folder");
            }
        } else if (argument == "--name" || argument.compare(0, 7, "--name=") == 0) {
            if (argument.size() > 6) {
                options.extraction.mergedName = argument.substr(7);
            } else if (++i < argc) {
                options.extraction.mergedName = argv[i];
            } else {
                return usageError("option '--name' needs a folder name");
            }
            named = true;
        } else if (argument == "--merge") {
            options.extraction.merge = true;
        } else if (argument.size() > 2 && findCutter(argument.substr(2)) != nullptr) {
            ways[cutterIndex(*findCutter(argument.substr(2)))] = true;
        } else if (argument == "--force") {
            options.extraction.force = true;
        } else if (argument == "--dry-run") {
            options.extraction.dryRun = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--help") {
            return showOnStandardOutput("d88cut", usage().c_str());
        } else if (argument == "--version") {
            return showOnStandardOutput("d88cut", kVersion);
        } else if (argument[1] == '-') {
            return usageError("unknown option '" + argument + "'");
        } else {
            // Short options, bundled as -nq; -C takes the rest or the next.
            for (std::size_t k = 1; k < argument.size(); ++k) {
                switch (argument[k]) {
                case 'n':
                    options.extraction.dryRun = true;
                    break;
                case 'q':
                    options.quiet = true;
                    break;
                case 'v':
                    options.verbose = true;
                    break;
                case 'h':
                    return showOnStandardOutput("d88cut", usage().c_str());
                case 'V':
                    return showOnStandardOutput("d88cut", kVersion);
                case 'C':
                    if (k + 1 < argument.size()) {
                        options.directory = argument.substr(k + 1);
                    } else if (++i < argc) {
                        options.directory = argv[i];
                    } else {
                        return usageError("option '-C' needs a folder");
                    }
                    k = argument.size();
                    break;
                default:
                    return usageError("unknown option '-" + std::string(1, argument[k]) + "'");
                }
            }
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
