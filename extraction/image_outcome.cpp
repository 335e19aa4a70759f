#include "image_outcome.h"

#include "json_report.h"
#include "json_writer.h"

#include <algorithm>

std::size_t ImageOutcome::incomplete() const
{
    return static_cast<std::size_t>(
        std::count_if(files.begin(), files.end(), [](const WrittenFile& file) { return !file.complete(); }));
}

std::string ImageOutcome::damageKinds() const
{
    std::vector<std::string> kinds;
    std::string text;
    for (const FoundDamage& found : damage) {
        if (std::find(kinds.begin(), kinds.end(), found.anomaly.kind) == kinds.end()) {
            kinds.push_back(found.anomaly.kind);
            text += (text.empty() ? "" : ", ") + found.anomaly.kind;
        }
    }
    return text;
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
    if (any([](const ImageOutcome& o) { return o.incomplete() > 0 || !o.missing.empty() || !o.damage.empty(); })) {
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
    json.memberOrNull("image_size", outcome.read && !outcome.sources.empty(),
                      static_cast<unsigned long long>(outcome.sources.empty() ? 0 : outcome.sources.front().size));
    if (outcome.merged) {
        json.key("images");
        json.beginArray();
        for (const SourceImage& source : outcome.sources) {
            json.beginObject();
            json.pathMember("path", "path_hex", source.path);
            json.member("size", static_cast<unsigned long long>(source.size));
            json.endObject();
        }
        json.endArray();
    }
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
        if (outcome.merged) {
            json.pathMember("image", "image_hex", outcome.sources[static_cast<std::size_t>(file.image)].path);
        }
        json.member("disk", file.disk);
        if (!file.fileSystem.empty()) {
            json.member("file_system", file.fileSystem);
            json.member("stored_name_hex", file.storedNameHex);
        }
        json.member("complete", file.complete());
        json.member("supplied", static_cast<unsigned long long>(file.supplied));
        json.endObject();
    }
    json.endArray();
    json.key("missing");
    json.beginArray();
    for (const MissingFile& file : outcome.missing) {
        json.beginObject();
        json.member("name", file.name);
        if (outcome.merged) {
            if (file.image < 0) {
                json.memberOrNull("image", false, 0);
            } else {
                json.pathMember("image", "image_hex", outcome.sources[static_cast<std::size_t>(file.image)].path);
            }
        }
        json.memberOrNull("disk", file.disk >= 0, file.disk);
        json.member("reason", file.reason);
        json.endObject();
    }
    json.endArray();
    if (outcome.merged) {
        json.key("lacks");
        json.beginArray();
        for (const std::string& kind : outcome.lacks) {
            json.value(kind);
        }
        json.endArray();
    }
    json.key("damage");
    json.beginArray();
    for (const FoundDamage& found : outcome.damage) {
        const Anomaly& anomaly = found.anomaly;
        json.beginObject();
        json.member("kind", anomaly.kind);
        json.member("message", anomaly.message);
        if (outcome.merged) {
            json.pathMember("image", "image_hex", outcome.sources[static_cast<std::size_t>(found.image)].path);
        }
        writeAnomalyPlace(json, anomaly);
        json.endObject();
    }
    json.endArray();
    json.member("damage_left_out", static_cast<unsigned long long>(outcome.damageLeftOut));
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
