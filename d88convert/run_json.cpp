#include "run_json.h"

#include "json_writer.h"

std::string jsonDocument(const Run& run)
{
    std::string out;
    JsonWriter json(out, 2);
    json.beginObject();
    json.member("mode", run.mode);
    json.key("inputs");
    json.beginArray();
    for (const std::string& input : run.inputs) {
        json.value(input);
    }
    json.endArray();
    json.key("outputs");
    json.beginArray();
    for (const std::string& output : run.outputs) {
        json.value(output);
    }
    json.endArray();
    json.memberOrNull("disk", run.disk >= 0, run.disk);
    json.memberOrNull("geometry", !run.geometry.empty(), run.geometry);
    json.memberOrNull("geometry_from", !run.geometryFrom.empty(), run.geometryFrom);
    json.member("exact", run.status == 0);
    json.memberOrNull("error", !run.error.empty(), run.error);
    json.key("findings");
    json.beginArray();
    for (std::size_t k = 0; k < kFindingKinds; ++k) {
        const Finding kind = static_cast<Finding>(k);
        if (run.findings.count(kind) == 0) {
            continue;
        }
        json.beginObject();
        json.member("kind", findingWords(kind).key);
        json.member("sectors", static_cast<unsigned long long>(run.findings.count(kind)));
        json.member("text", findingWords(kind).text);
        json.key("places");
        json.beginArray();
        for (const SectorRun& place : run.findings.runs(kind)) {
            json.beginObject();
            json.member("track", place.track);
            json.member("last_track", place.lastTrack);
            json.member("first_r", place.first);
            json.member("last_r", place.last);
            json.endObject();
        }
        json.endArray();
        json.member("places_left_out", static_cast<unsigned long long>(run.findings.runsLeftOut(kind)));
        json.endObject();
    }
    json.endArray();
    json.key("notes");
    json.beginArray();
    for (const std::string& text : run.notes) {
        json.value(text);
    }
    json.endArray();
    json.member("status", run.status);
    json.endObject();
    out += "\n";
    return out;
}
