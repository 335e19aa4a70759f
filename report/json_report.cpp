#include "json_report.h"

#include "anomaly_kinds.h"
#include "cutter.h"
#include "file_system_json.h"

#include <charconv>
#include <cstring>

namespace {

// Each record on a line of its own: records are elements of the eighth
// container down (document, images, image, disks, disk, tracks, track,
// records).
constexpr int kWrapDepth = 8;

// One record as a JSON object, formatted in one piece: records are most of
// the document, and a 64-disk image holds tens of thousands of them.
class RecordJson {
public:
    RecordJson(const RecordFacts& facts, RecordState state)
    {
        const SectorRecord& record = facts.record;
        put("{\"position\": ", record.position);
        put(", \"c\": ", record.id.c);
        put(", \"h\": ", record.id.h);
        put(", \"r\": ", record.id.r);
        put(", \"n\": ", record.id.n);
        put(", \"count\": ", static_cast<unsigned>(record.count));
        put(", \"density\": ", static_cast<unsigned>(record.density));
        put(", \"deleted\": ", static_cast<unsigned>(record.deleted));
        put(", \"status\": ", static_cast<unsigned>(record.status));
        put(", \"length\": ", static_cast<unsigned>(record.length));
        put(", \"present\": ", facts.present);
        const char* name = stateName(state);
        const std::size_t length = std::strlen(name);
        std::memcpy(end_, ", \"state\": \"", 12);
        std::memcpy(end_ + 12, name, length);
        end_ += 12 + length;
        *end_++ = '"';
        *end_++ = '}';
    }
    std::string_view text() const { return {text_, static_cast<std::size_t>(end_ - text_)}; }

private:
    template <std::size_t N, typename T>
    void put(const char (&key)[N], T value)
    {
        std::memcpy(end_, key, N - 1);
        end_ = std::to_chars(end_ + N - 1, text_ + sizeof text_, value).ptr;
    }

    char text_[320];
    char* end_ = text_;
};

}  // namespace

JsonReport::JsonReport(ReportOutput& output, TrackList tracks)
    : text_(output), json_(text_.text(), kWrapDepth), tracks_(tracks)
{
    json_.beginObject();
    json_.member("version", 1);
    json_.key("images");
    json_.beginArray();
}

void JsonReport::beginImage(const ImageFacts& image)
{
    json_.beginObject();
    json_.pathMember("path", "path_hex", image.path);
    if (!image.readable) {
        json_.member("error", image.error);
    }
    json_.memberOrNull("size", image.readable, static_cast<unsigned long long>(image.size));
    json_.member("disk_count", image.diskCount);
    json_.key("disks");
    json_.beginArray();
}

void JsonReport::beginDisk(const DiskFacts& disk)
{
    fileSystem_ = disk.fileSystem;
    json_.beginObject();
    json_.member("index", disk.index);
    json_.member("offset", static_cast<unsigned long long>(disk.offset));
    json_.key("name_hex");
    json_.hex(reinterpret_cast<const unsigned char*>(disk.name.data()), disk.name.size());
    json_.memberOrNull("name", disk.nameDecoded, disk.nameText);
    json_.member("media", disk.media);
    json_.memberOrNull("media_name", mediaName(disk.media) != nullptr, mediaName(disk.media));
    json_.member("write_protect", disk.writeProtect);
    json_.member("write_protected", disk.writeProtect != 0);
    json_.member("size", disk.size);
    json_.member("bytes_present", static_cast<unsigned long long>(disk.bytesPresent));
    json_.member("header_size", disk.headerSize);
    json_.member("track_entries", disk.trackEntries);
    json_.member("unused_entries", disk.unusedEntries);
    json_.memberOrNull("same_as", disk.sameAs >= 0, disk.sameAs);
    json_.member("blank", disk.blank);
    geometry_.clear();
    json_.memberOrNull("kind", disk.kind != DiskKind::None, diskKindKey(disk.kind));
    if (disk.kind == DiskKind::None) {
        json_.member("kind_note", disk.kindNote);
    }
    trackCount_ = 0;
    if (tracks_ == TrackList::Listed) {
        json_.key("tracks");
        json_.beginArray();
    }
}

void JsonReport::track(const TrackFacts& track)
{
    geometry_.add(track);
    ++trackCount_;
    if (tracks_ == TrackList::Counted) {
        return;
    }
    json_.beginObject();
    json_.member("index", track.index);
    json_.member("offset", track.offset);
    json_.member("usable", track.usable);
    const char* walkEnd = walkEndWords(track.end).name;
    json_.memberOrNull("walk_end", walkEnd != nullptr, walkEnd);
    json_.member("record_count", static_cast<unsigned long long>(track.recordCount));
    json_.member("track_records", static_cast<unsigned long long>(track.trackRecords));
    json_.member("count_byte_swapped", track.countByteSwapped);
    if (track.records.size() < track.recordCount) {
        json_.member("records_left_out", static_cast<unsigned long long>(track.recordCount - track.records.size()));
    }
    json_.key("records");
    json_.beginArray();
    recordStates(track.records.data(), track.records.size(), states_);
    for (std::size_t i = 0; i < track.records.size(); ++i) {
        json_.raw(RecordJson(track.records[i], states_[i]).text());
    }
    json_.endArray();
    json_.endObject();
    text_.flushIfLarge();
}

void JsonReport::endDisk()
{
    if (tracks_ == TrackList::Listed) {
        json_.endArray();
    } else {
        json_.member("tracks", trackCount_);
    }
    const Geometry geometry = geometry_.result();
    json_.key("geometry");
    json_.beginObject();
    json_.member("cylinders", geometry.cylinders);
    json_.member("heads", geometry.heads);
    json_.member("sectors", geometry.sectors);
    json_.member("sector_size", geometry.sectorSize);
    json_.member("tracks", geometry.tracks);
    json_.member("other_tracks", geometry.otherTracks);
    json_.endObject();
    writeFileSystem(json_, fileSystem_.get());
    json_.endObject();
}

void JsonReport::plannedFiles(const char* key, const std::vector<PlannedFile>& files)
{
    json_.key(key);
    json_.beginArray();
    for (const PlannedFile& file : files) {
        json_.beginObject();
        json_.member("name", file.name);
        json_.member("disk", file.disk);
        json_.member("size", static_cast<unsigned long long>(file.size));
        json_.member("written", file.written);
        json_.member("supplied", static_cast<unsigned long long>(file.supplied));
        const FileOutcome outcome = outcomeOf(file);
        json_.member("complete", outcome == FileOutcome::Complete);
        json_.memberOrNull("padded_from", outcome == FileOutcome::ZeroPadded,
                           static_cast<unsigned long long>(file.supplied));
        json_.memberOrNull("first_block", file.firstBlock >= 0, file.firstBlock);
        json_.member("replaced", file.replaced);
        json_.memberOrNull("reason", !file.written, file.reason);
        json_.endObject();
    }
    json_.endArray();
}

void JsonReport::endImage(const ImageSummary& summary)
{
    json_.endArray();  // disks
    json_.member("trailing_bytes", static_cast<unsigned long long>(summary.trailingBytes));
    json_.key("anomalies");
    json_.beginArray();
    for (const Anomaly& anomaly : summary.anomalies) {
        json_.beginObject();
        json_.member("kind", anomaly.kind);
        json_.member("severity", severityName(anomaly.damage));
        json_.member("message", anomaly.message);
        writeAnomalyPlace(json_, anomaly);
        json_.endObject();
    }
    json_.endArray();
    if (summary.anomaliesLeftOut > 0) {
        json_.member("anomalies_left_out", static_cast<unsigned long long>(summary.anomaliesLeftOut));
    }
    for (std::size_t way = 0; way < summary.cuts.size(); ++way) {
        if (told(way, summary)) {
            plannedFiles(cutterAt(way).jsonMember, summary.cuts[way].files);
        }
    }
    json_.member("status", statusWord(summary));
    if (!summary.notAnImage.empty()) {
        json_.member("error", summary.notAnImage);
    }
    if (!summary.error.empty()) {
        json_.member("error", summary.error);
    }
    json_.endObject();
    text_.flushIfLarge();
}

void JsonReport::finish()
{
    json_.endArray();
    json_.endObject();
    text_.flush();
}

void writeAnomalyPlace(JsonWriter& json, const Anomaly& anomaly)
{
    if (anomaly.disk >= 0) {
        json.member("disk", anomaly.disk);
    }
    if (anomaly.track >= 0) {
        json.member("track", anomaly.track);
    }
    if (anomaly.position >= 0) {
        json.member("position", anomaly.position);
    }
}
