// d88cut: cuts the files out of many D88 images at once, each image into a
// folder of its own, never overwriting unless asked, with checksums and a
// manifest.
#include "d88cut.h"

#include "console.h"

#include "extraction.h"
#include "folder_names.h"
#include "json_writer.h"
#include "options.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// "KX000, KX001 and 3 more"
std::string someNames(const std::vector<std::string>& names)
{
    std::string text;
    const std::size_t shown = names.size() > 3 ? 2 : names.size();
    for (std::size_t i = 0; i < shown; ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    if (shown < names.size()) {
        text += " and " + std::to_string(names.size() - shown) + " more";
    }
    return text;
}

void reportProblems(const ImageOutcome& outcome, const Options& options)
{
    if (!outcome.read) {
        std::fprintf(stderr, "d88cut: %s: %s\n", outcome.image.c_str(), outcome.problems.front().what.c_str());
        return;
    }
    std::vector<std::string> inTheWay;
    for (const Problem& problem : outcome.problems) {
        if (problem.inTheWay) {
            inTheWay.push_back(problem.name);
            continue;
        }
        const std::string where = problem.name.empty() ? outcome.folder
                                                       : (std::filesystem::path(outcome.folder) / problem.name).string();
        std::fprintf(stderr, "d88cut: %s: %s\n", where.c_str(), problem.what.c_str());
    }
    if (!inTheWay.empty()) {
        std::fprintf(stderr, "d88cut: %s: %s %s already holds %s; nothing was written (--force replaces them)\n",
                     outcome.image.c_str(), options.extraction.dryRun ? "would be skipped:" : "skipped:", outcome.folder.c_str(),
                     someNames(inTheWay).c_str());
    }
}

// "o/c: 3 files, 0 incomplete, 12 missing; damaged: truncated, short-sector"
std::string summaryLine(const ImageOutcome& outcome, const Options& options)
{
    std::string line = outcome.folder + ": " + (options.extraction.dryRun ? "would write " : "") +
                       std::to_string(outcome.files.size()) + (outcome.files.size() == 1 ? " file, " : " files, ") +
                       std::to_string(outcome.incomplete()) + " incomplete";
    if (!outcome.missing.empty()) {
        line += ", " + std::to_string(outcome.missing.size()) + " missing";
    }
    if (!outcome.lacks.empty()) {
        line += "; the set lacks ";
        for (std::size_t i = 0; i < outcome.lacks.size(); ++i) {
            line += (i == 0 ? "" : i + 1 == outcome.lacks.size() ? " and " : ", ") + outcome.lacks[i];
        }
    }
    if (!outcome.damage.empty()) {
        line += "; damaged: " + outcome.damageKinds();
    }
    return line;
}

void summarise(const ImageOutcome& outcome, const Options& options, std::string& text)
{
    if (!outcome.read || outcome.skipped || options.quiet || (outcome.notWritten && outcome.files.empty())) {
        return;
    }
    text += summaryLine(outcome, options) + "\n";
    if (!options.verbose) {
        return;
    }
    for (const WrittenFile& file : outcome.files) {
        text += "  " + file.name + std::string(file.name.size() < 8 ? 8 - file.name.size() : 1, ' ') +
                std::to_string(file.size) + " bytes  " +
                (file.complete() ? std::string("complete") : "zero-padded from byte " + std::to_string(file.supplied)) +
                "  " + file.sha256 + "\n";
    }
}

}  // namespace

int runD88cut(int argc, char** argv, Storage& storage, ReportOutput& output)
{
    Options options;
    const int ended = parseOptions(argc, argv, options);
    if (ended >= 0) {
        return ended;
    }
    const bool progress = !options.quiet && options.images.size() > 1 && !options.extraction.merge && isatty(fileno(stderr)) != 0;
    FolderNames folders(options.directory);
    Extraction extraction(storage, options.extraction);
    std::vector<ImageOutcome> outcomes;
    // A set is one extraction; otherwise each image is one.
    std::vector<std::vector<ImageInput>> runs;
    if (options.extraction.merge) {
        runs.push_back({options.images.begin(), options.images.end()});
    } else {
        for (const std::string& image : options.images) {
            runs.push_back({image});
        }
    }
    std::string text;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string name = std::filesystem::path(runs[i].front().path).filename().string();
        const std::string counter = "[" + std::to_string(i + 1) + "/" + std::to_string(runs.size()) + "] " + name;
        if (progress) {
            // Stands while the image is read; blanked out after, so that the
            // image's own line takes its place.
            std::fprintf(stderr, "%s ...", counter.c_str());
            std::fflush(stderr);
        }
        ImageOutcome outcome = extraction.extract(runs[i], folders);
        if (progress) {
            std::fprintf(stderr, "\r%*s\r", static_cast<int>(counter.size() + 4), "");
        }
        if (!options.json) {
            summarise(outcome, options, text);
            output.write(text);
            text.clear();
            output.flush();  // before any message about it on standard error
        }
        if (progress && !outcome.read) {
            std::fprintf(stderr, "%s: %s\n", counter.c_str(), outcome.problems.front().what.c_str());
        } else {
            reportProblems(outcome, options);
        }
        outcomes.push_back(std::move(outcome));
    }
    if (options.json) {
        JsonWriter json(text, 4);
        json.beginObject();
        json.member("version", 1);
        json.key("images");
        json.beginArray();
        for (const ImageOutcome& outcome : outcomes) {
            writeManifest(json, outcome);
        }
        json.endArray();
        json.endObject();
        output.write(text);
    }
    if (!output.flush()) {
        sayStandardOutputFailed("d88cut", output.error());
        const int status = exitStatus(outcomes);
        return status == 1 ? 1 : 2;
    }
    return exitStatus(outcomes);
}
