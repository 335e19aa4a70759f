#include "options.h"

#include "help_output.h"
#include "raw_geometry.h"
#include "shift_jis_encode.h"
#include "version.h"

#include <d88image/d88_format.h>

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>
#endif

#include <cstdio>
#include <cstdlib>

namespace {

const char kUsage[] =
    "Usage: d88convert [OPTION]... IMAGE OUTPUT\n"
    "  or:  d88convert [OPTION]... IMAGE... OUTPUT.d88\n"
    "  or:  d88convert --split [OPTION]... IMAGE.d88 DIR\n"
    "Convert a disk of a D88 image to a raw sector image, a raw image to a D88\n"
    "image, split a D88 file of several disks into one file per disk, or join\n"
    "D88 files into one. Formats go by extension: .d88 .d77 .d68 .88d D88;\n"
    ".hdm .xdf .dup .tfd .2hd .2d .2dd .img .ima .dsk .raw raw; .fdi raw after\n"
    "a 4096-byte header.\n"
    "\n"
    "      --to FORMAT      the output's format (d88, raw, fdi, or an extension)\n"
    "      --disk N         convert disk N (from 0) of an image of several disks\n"
    "      --split          write each disk of IMAGE as DIR/IMAGE-N.d88\n"
    "      --geometry CxHxSxBYTES\n"
    "                       cylinders, heads, sectors per track and their size:\n"
    "                       of a raw image read, or of the raw image written\n"
    "                       (default: from the extension, the .fdi header or the\n"
    "                       size for a raw image; the disk's own for a D88 one)\n"
    "      --name NAME      the D88 disk's name (up to 16 bytes of Shift-JIS)\n"
    "      --write-protect  mark the D88 disk write-protected\n"
    "      --first-r R      number each track's sectors from R (default 1)\n"
    "      --force          replace an existing output file\n"
    "      --json           what was done, and what was lost, as one JSON document\n"
    "                       on standard output\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "  --                   what follows are files, even if it starts with -\n"
    "\n"
    "Every sector a raw image could not hold as the D88 image held it (missing or\n"
    "cut short: filled with zeros; of a bad status or marked deleted: copied;\n"
    "of another size, extra or duplicate: left out) is said on standard error.\n"
    "\n"
    "Exit status: 0 the output holds the input exactly; 1 wrong usage, or an\n"
    "input cannot be read, is not of its format, or names no single geometry;\n"
    "2 an output could not be written, or exists and --force was not given; 3\n"
    "written, but sectors were filled, left out or marked.\n";

const char kVersion[] = "d88convert (d88image) " D88_VERSION "\n";

int usageError(const std::string& what)
{
    std::fprintf(stderr, "d88convert: %s\nTry 'd88convert --help' for more information.\n", what.c_str());
    return 1;
}

// A whole decimal number in 0..limit, or -1.
long wholeNumber(const std::string& text, long limit)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value <= limit ? value : -1;
}

// The value of an option given as --name=VALUE or --name VALUE; false when
// it has none.
bool optionValue(const std::string& argument, const std::string& name, int argc, char** argv, int& i,
                 std::string& value)
{
    if (argument.size() > name.size()) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (++i < argc) {
        value = argv[i];
        return true;
    }
    return false;
}

// Argument i as UTF-8 text. Windows hands a program its arguments in the
// system's code page, which may not hold the characters of a disk name
// typed in Japanese: there they are taken from the wide command line, when
// it is the one argv was made from.
std::string argumentText(int argc, char** argv, int i)
{
#if defined(_WIN32)
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string text;
    if (wide != nullptr && count == argc) {
        const int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        if (length > 0) {
            text.assign(static_cast<std::size_t>(length), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], length, nullptr, nullptr);
            text.pop_back();  // the terminating NUL
        }
    }
    LocalFree(wide);
    if (!text.empty() || argv[i][0] == '\0') {
        return text;
    }
#else
    (void)argc;
#endif
    return argv[i];
}

bool isOption(const std::string& argument, const char* name)
{
    const std::string option = name;
    return argument == option || argument.compare(0, option.size() + 1, option + "=") == 0;
}

}  // namespace

int parseOptions(int argc, char** argv, Options& options)
{
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string value;
        if (optionsEnd || argument.size() < 2 || argument[0] != '-') {
            options.files.push_back(argument);
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (isOption(argument, "--to")) {
            if (!optionValue(argument, "--to", argc, argv, i, value)) {
                return usageError("option '--to' needs a format");
            }
            if (!formatNamed(value, options.to, options.toKind)) {
                return usageError("unknown format '" + value + "' (d88, raw, fdi or an extension of one)");
            }
            options.toGiven = true;
        } else if (isOption(argument, "--disk")) {
            if (!optionValue(argument, "--disk", argc, argv, i, value)) {
                return usageError("option '--disk' needs a disk number");
            }
            options.disk = static_cast<int>(wholeNumber(value, d88format::kMaxDisks - 1));
            if (options.disk < 0) {
                return usageError("--disk takes a disk number from 0 to 63, not '" + value + "'");
            }
        } else if (isOption(argument, "--geometry")) {
            if (!optionValue(argument, "--geometry", argc, argv, i, value)) {
                return usageError("option '--geometry' needs CxHxSxBYTES");
            }
            if (!parseGeometry(value, options.geometry)) {
                return usageError("--geometry takes CYLINDERSxHEADSxSECTORSxBYTES (as 77x2x8x1024) of a disk of at "
                                  "most 164 tracks, 1 or 2 heads, sectors of 128 to 16384 bytes, not '" +
                                  value + "'");
            }
            options.geometryGiven = true;
        } else if (isOption(argument, "--name")) {
            if (!optionValue(argument, "--name", argc, argv, i, value)) {
                return usageError("option '--name' needs a name");
            }
            value = argument.size() > 6 ? argumentText(argc, argv, i).substr(7) : argumentText(argc, argv, i);
            if (!encodeShiftJis(value, options.name)) {
                return usageError("--name: '" + value + "' cannot be written in Shift-JIS");
            }
            if (options.name.size() > d88format::kDiskNameLength || options.name.find('\0') != std::string::npos) {
                return usageError("--name: '" + value + "' takes " + std::to_string(options.name.size()) +
                                  " bytes of Shift-JIS; a disk's name holds 16");
            }
            options.nameGiven = true;
        } else if (isOption(argument, "--first-r")) {
            if (!optionValue(argument, "--first-r", argc, argv, i, value)) {
                return usageError("option '--first-r' needs a sector number");
            }
            options.firstR = static_cast<int>(wholeNumber(value, 255));
            if (options.firstR < 0) {
                return usageError("--first-r takes a sector number from 0 to 255, not '" + value + "'");
            }
        } else if (argument == "--write-protect") {
            options.writeProtect = true;
        } else if (argument == "--split") {
            options.split = true;
        } else if (argument == "--force") {
            options.force = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--help" || argument == "-h") {
            return showOnStandardOutput("d88convert", kUsage);
        } else if (argument == "--version" || argument == "-V") {
            return showOnStandardOutput("d88convert", kVersion);
        } else {
            return usageError("unknown option '" + argument + "'");
        }
    }
    if (options.files.size() < 2) {
        return usageError(options.files.empty() ? "no image given" : "no output given");
    }
    if (options.split && options.files.size() != 2) {
        return usageError("--split takes one image and a folder");
    }
    if (options.split && options.toGiven && options.to != ImageFormat::D88) {
        return usageError("--split writes D88 images");
    }
    if (options.split && options.disk >= 0) {
        return usageError("--split writes every disk; --disk picks one");
    }
    return -1;
}
