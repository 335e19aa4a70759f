// The C API over an arbitrary image opened from memory: each disk's facts
// and the reader's operations on every track index from -1 to 164 against
// D88Image's over the same bytes; the report against the one d88info --json
// prints from the same bytes in a file (the survey from memory must say
// what it says from the file), and the survey's condition and anomaly count
// against the report's; and a cut, in a mode taken from the input's last
// byte, whose manifest must be valid JSON and whose files' facts must agree
// with one another. A difference stops the fuzzer, as a crash does.
#include <d88image/d88.h>
#include <d88image/d88image.h>

#include "d88info.h"
#include "fuzz_support.h"
#include "json_value.h"
#include "report_collector.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Enough to read every sector of a few standard disks; hostile chains of
// thousands of records per track would otherwise take minutes per input.
constexpr long kReadBudget = 5000;

[[noreturn]] void differs(const char* what, int disk, int track)
{
    std::fprintf(stderr, "the C API differs from the reader: %s (disk %d, track %d)\n", what, disk, track);
    __builtin_trap();
}

struct Count {
    long records = 0;
    static int visit(const d88_record*, void* context)
    {
        ++static_cast<Count*>(context)->records;
        return 1;
    }
};

class Counter : public RecordVisitor {
public:
    bool visit(const SectorRecord&) override
    {
        ++records;
        return true;
    }
    long records = 0;
};

void compareTrack(d88_image* image, D88Image& reader, int disk, int track, long& budget)
{
    static std::vector<d88_sector_id> ids(D88_MAX_RECORDS_PER_WALK);
    static std::vector<unsigned char> expected(D88_MAX_RECORDS_PER_WALK * 4);
    std::size_t count = 0;
    const int listed = reader.listSectorIds(track, expected.data(), static_cast<int>(expected.size()));
    if (d88_list_sector_ids(image, track, ids.data(), ids.size(), &count) != D88_OK ||
        count * 4 != static_cast<std::size_t>(listed) || std::memcmp(ids.data(), expected.data(), count * 4) != 0) {
        differs("list of IDs", disk, track);
    }
    Count walked;
    Counter counter;
    d88_walk_end end;
    if (d88_walk_track(image, track, &Count::visit, &walked, &end) != D88_OK ||
        static_cast<int>(end) != static_cast<int>(reader.walkTrack(track, counter)) || walked.records != counter.records) {
        differs("walk", disk, track);
    }
    static unsigned char got[D88_MAX_SECTOR_DATA], want[D88_MAX_SECTOR_DATA];
    for (std::size_t i = 0; i < count && budget > 0; ++i, --budget) {
        const d88_sector_id id = ids[i];
        std::size_t copied = 0, whole = 0;
        const int read = reader.readSector(track, id.c, id.h, id.r, id.n, want, sizeof want);
        if (d88_read_sector(image, track, id, got, sizeof got, &copied) != D88_OK ||
            copied != static_cast<std::size_t>(read) || std::memcmp(got, want, copied) != 0) {
            differs("sector read", disk, track);
        }
        int reached = 0;
        const int run = reader.readRun(track, id.c, id.h, id.r, id.n, want, 3000, reached);
        if (d88_read_run(image, track, id, got, 3000, &whole, &copied) != D88_OK ||
            whole != static_cast<std::size_t>(run) || copied != static_cast<std::size_t>(reached) ||
            std::memcmp(got, want, copied) != 0) {
            differs("run", disk, track);
        }
    }
}

void compareReader(d88_image* image, const std::uint8_t* data, std::size_t size)
{
    D88Image reader;
    reader.openMemory(data, size);
    if (d88_disk_count(image) != reader.diskCount()) {
        differs("disk count", -1, -1);
    }
    long budget = kReadBudget;
    for (int d = 0; d < reader.diskCount(); ++d) {
        const d88_disk* disk = d88_image_disk(image, d);
        if (disk == nullptr || d88_select_disk(image, d) != D88_OK || !reader.selectDisk(d) ||
            d88_disk_offset(disk) != reader.diskOffset(d) || d88_disk_size(disk) != reader.diskSize() ||
            d88_disk_media(disk) != reader.mediaType() || d88_disk_write_protect(disk) != reader.writeProtect() ||
            std::strcmp(d88_disk_name(disk), reader.diskName()) != 0) {
            differs("disk facts", d, -1);
        }
        for (int t = -1; t <= D88Image::kTrackCount; ++t) {
            compareTrack(image, reader, d, t, budget);
        }
    }
}

void compareReport(d88_image* image, const char* path)
{
    char* json = nullptr;
    std::size_t length = 0;
    if (d88_report_json(image, &json, &length) != D88_OK) {
        differs("no report", -1, -1);
    }
    ReportCollector printed;
    char program[] = "d88info";
    char option[] = "--json";
    char* argv[] = {program, option, const_cast<char*>(path), nullptr};
    runD88info(3, argv, printed);
    const bool same = printed.text == std::string(json, length);
    d88_text_free(json);
    if (!same) {
        differs("report", -1, -1);
    }
    jsontest::Value report;
    std::string error;
    d88_survey* survey = nullptr;
    if (!jsontest::parse(printed.text, report, error) || d88_survey_image(image, &survey) != D88_OK) {
        differs("no survey", -1, -1);
    }
    const jsontest::Value& listed = report["images"][0];
    const bool agree = listed["status"].text == d88_condition_key(d88_survey_condition(survey)) &&
                       listed["anomalies"].items.size() == d88_survey_anomaly_count(survey);
    d88_survey_free(survey);
    if (!agree) {
        differs("survey", -1, -1);
    }
}

void checkCut(d88_image* image, const char* mode)
{
    d88_cut* cut = nullptr;
    d88_cut_options* options = d88_cut_options_new();
    d88_cut_options_set_mode(options, mode);
    const d88_status status = d88_cut_image(image, options, &cut);
    d88_cut_options_free(options);
    if (status != D88_OK) {
        if (status != D88_ERR_NOT_AN_IMAGE || cut != nullptr) {
            differs("cut refused", -1, -1);
        }
        return;
    }
    std::string error;
    std::size_t length = 0;
    const char* manifest = d88_cut_manifest(cut, &length);
    bool agree = jsontest::valid(std::string(manifest, length), error) &&
                 (d88_cut_checksums(cut, nullptr) != nullptr) == (d88_cut_file_count(cut) > 0);
    for (std::size_t i = 0; i < d88_cut_file_count(cut); ++i) {
        const d88_cut_file* file = d88_cut_file_at(cut, i);
        const std::size_t size = d88_cut_file_size(file);
        discardOutputFile(d88_cut_file_name(file), d88_cut_file_data(file), size);
        agree = agree && d88_cut_file_supplied(file) <= size &&
                (d88_cut_file_complete(file) != 0) == (d88_cut_file_supplied(file) == size);
    }
    d88_cut_free(cut);
    if (!agree) {
        differs(error.empty() ? "cut's facts" : error.c_str(), -1, -1);
    }
}

// Each disk's files (the first two disks'), each read: as many bytes as its
// size for a file with bytes to write, none for the others, never more
// supplied than given.
void checkFiles(d88_image* image)
{
    for (int disk = 0; disk < d88_disk_count(image) && disk < 2; ++disk) {
        d88_file_listing* listing = nullptr;
        if (d88_list_files(image, disk, &listing) != D88_OK) {
            differs("listing refused", disk, -1);
        }
        bool agree = true;
        for (std::size_t i = 0; i < d88_file_listing_file_count(listing); ++i) {
            const d88_listed_file* file = d88_file_listing_file(listing, i);
            const std::string state = d88_listed_file_state(file);
            unsigned char* data = nullptr;
            std::size_t size = 0, supplied = 0;
            agree = agree && d88_listed_file_bytes(image, listing, file, &data, &size, &supplied) == D88_OK &&
                    size == (state == "complete" || state == "incomplete" ? d88_listed_file_size(file) : 0) &&
                    supplied <= size && (state != "complete" || supplied == size);
            d88_bytes_free(data);
        }
        d88_file_listing_free(listing);
        if (!agree) {
            differs("listed files' bytes", disk, -1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* path = writeInputFile(data, size);
    d88_image* image = nullptr;
    if (d88_open_memory(data, size, path, &image) != D88_OK) {
        differs("open", -1, -1);
    }
    compareReader(image, data, size);
    compareReport(image, path);
    static const char* const modes[] = {"auto", "table", "scan"};
    checkCut(image, modes[size > 0 ? data[size - 1] % 3 : 0]);
    checkFiles(image);
    d88_close(image);
    return 0;
}
