#include "image_outcome.h"

#include "json_writer.h"

#include <algorithm>

std::size_t ImageOutcome::incomplete() const
{
    return static_cast<std::size_t>(
        std::count_if(files.begin(), files.end(), [](const WrittenFile& file) { return !file.complete(); }));
}

int exitStatus(const std::vector<ImageOutcome>& outcomes)
{
    const auto any = [&](auto test) { return std::any_of(outcomes.begin(), outcomes.end(), test); };
    if (any([](const ImageOutcome& o) { return !o.read; })) {
        return 1;
    }
    if (any([](const ImageOutcome& o) { return o.skipped || o.notWritten; })) {
        return 2;
    }
    if (any([](const ImageOutcome& o) { return o.incomplete() > 0; })) {
        return 3;
    }
    return 0;
}

std::string manifestJson(const ImageOutcome& outcome)
{
    std::string text;
    JsonWriter json(text, 2);  // each file and each problem on a line of its own
    writeManifest(json, outcome);
    return text;
}

void writeManifest(JsonWriter& json, const ImageOutcome& outcome)
{
    json.beginObject();
    json.member("version", 1);
    json.pathMember("image", "path_hex", outcome.image);
    json.memberOrNull("image_size", outcome.read, static_cast<unsigned long long>(outcome.imageSize));
    if (outcome.folder.empty()) {
        json.memberOrNull("folder", false, outcome.folder);
    } else {
        json.pathMember("folder", "folder_hex", outcome.folder);
    }
    json.memberOrNull("mode", !outcome.mode.empty(), outcome.mode);
    json.member("dry_run", outcome.dryRun);
    json.member("skipped", outcome.skipped);
    json.key("files");
    json.beginArray();
    for (const WrittenFile& file : outcome.files) {
        json.beginObject();
        json.member("name", file.name);
        json.member("size", static_cast<unsigned long long>(file.size));
        json.member("sha256", file.sha256);
        json.member("disk", file.disk);
        json.member("complete", file.complete());
        json.member("supplied", static_cast<unsigned long long>(file.supplied));
        json.endObject();
    }
    json.endArray();
    json.key("problems");
    json.beginArray();
    for (const Problem& problem : outcome.problems) {
        json.beginObject();
        json.memberOrNull("name", !problem.name.empty(), problem.name);
        json.member("problem", problem.what);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

std::string sha256Sums(const ImageOutcome& outcome)
{
    std::string text;
    for (const WrittenFile& file : outcome.files) {
        text += file.sha256 + "  " + file.name + "\n";
    }
    return text;
}
