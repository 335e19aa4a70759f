// The C API against what it passes through, on the samples whole and
// damaged: its reader operations against D88Image's over the same image,
// from a file and from memory; its report and its survey against what
// d88info --json prints, and its cut, in each mode and with each of d88cut's
// options it takes, against the folder d88cut writes, with each file's
// facts against the manifest; and its statuses where a call cannot be
// served.
#include <d88image/d88.h>
#include <d88image/d88image.h>

#include "json_value.h"
#include "test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using testsupport::Bytes;
using testsupport::TempDir;

namespace {

// The programs of this build, whatever programs the end-to-end tests run.
testsupport::RunResult runNative(const char* program, const std::vector<std::string>& argv, const std::string& cwd)
{
    testsupport::RunOptions options;
    options.hostProgram = true;
    return testsupport::runProgram(program, argv, cwd, options);
}

struct Image {
    std::string name;
    Bytes bytes;
};

Bytes cutAt(Bytes bytes, std::size_t size)
{
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

// The samples, and the same cut short inside the Event Disk (a file
// zero-padded, four missing), inside a record header, and with bytes after
// the last disk.
std::vector<Image> images()
{
    const Bytes three = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    const Bytes scan = testsupport::readFile(SAMPLE_DIR "/scan-disks.d88");
    Bytes trailing = three;
    trailing.insert(trailing.end(), 100, 0x5A);
    return {{"three-disks", three},
            {"scan-disks", scan},
            {"three-disks-cut-in-the-event-disk", cutAt(three, 2 * 1281968 + 54000)},
            {"three-disks-cut-in-a-record-header", cutAt(three, 688 + 1040 * 5 + 7)},
            {"scan-disks-cut-in-disk-1", cutAt(scan, scan.size() - 300000)},
            {"three-disks-and-trailing-bytes", trailing}};
}

// Opens an image through the C API from its file or from memory, under the
// file's path.
struct Opened {
    Opened(const std::string& path, const Bytes& bytes, bool fromMemory)
    {
        status = fromMemory ? d88_open_memory(bytes.data(), bytes.size(), path.c_str(), &image)
                            : d88_open_path(path.c_str(), &image);
    }
    ~Opened() { d88_close(image); }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;

    d88_image* image = nullptr;
    d88_status status;
};

struct Recorded {
    std::vector<SectorRecord> records;
    static int visit(const d88_record* record, void* context)
    {
        d88_sector_id id;
        d88_record_id(record, &id);
        static_cast<Recorded*>(context)->records.push_back(
            {d88_record_position(record), {id.c, id.h, id.r, id.n}, d88_record_count(record),
             d88_record_density(record), d88_record_deleted(record), d88_record_status(record),
             d88_record_length(record)});
        return 1;
    }
};

class Collector : public RecordVisitor {
public:
    bool visit(const SectorRecord& record) override
    {
        records.push_back(record);
        return true;
    }
    std::vector<SectorRecord> records;
};

void expectSameTrack(d88_image* image, D88Image& reader, int track)
{
    SCOPED_TRACE("track " + std::to_string(track));
    std::vector<d88_sector_id> ids(D88_MAX_RECORDS_PER_WALK);
    std::size_t count = 0;
    ASSERT_EQ(d88_list_sector_ids(image, track, ids.data(), ids.size(), &count), D88_OK);
    Bytes expectedIds(ids.size() * 4);
    const int listed = reader.listSectorIds(track, expectedIds.data(), static_cast<int>(expectedIds.size()));
    ASSERT_EQ(count * 4, static_cast<std::size_t>(listed));
    EXPECT_EQ(0, std::memcmp(ids.data(), expectedIds.data(), static_cast<std::size_t>(listed)));

    Recorded walked;
    d88_walk_end end = D88_WALK_STOPPED;
    ASSERT_EQ(d88_walk_track(image, track, &Recorded::visit, &walked, &end), D88_OK);
    Collector collector;
    EXPECT_EQ(static_cast<int>(end), static_cast<int>(reader.walkTrack(track, collector)));
    ASSERT_EQ(walked.records.size(), collector.records.size());
    for (std::size_t i = 0; i < walked.records.size(); ++i) {
        const SectorRecord& got = walked.records[i];
        const SectorRecord& want = collector.records[i];
        EXPECT_TRUE(got.position == want.position && got.id.c == want.id.c && got.id.h == want.id.h &&
                    got.id.r == want.id.r && got.id.n == want.id.n && got.count == want.count &&
                    got.density == want.density && got.deleted == want.deleted && got.status == want.status &&
                    got.length == want.length)
            << "record " << i;
    }

    Bytes got(D88_MAX_SECTOR_DATA), want(D88_MAX_SECTOR_DATA);
    for (std::size_t i = 0; i < count; ++i) {
        const d88_sector_id id = ids[i];
        std::size_t copied = 0;
        ASSERT_EQ(d88_read_sector(image, track, id, got.data(), got.size(), &copied), D88_OK);
        const int read = reader.readSector(track, id.c, id.h, id.r, id.n, want.data(), static_cast<int>(want.size()));
        ASSERT_EQ(copied, static_cast<std::size_t>(read));
        EXPECT_EQ(0, std::memcmp(got.data(), want.data(), copied));

        std::size_t whole = 0;
        int reached = 0;
        ASSERT_EQ(d88_read_run(image, track, id, got.data(), 4096, &whole, &copied), D88_OK);
        EXPECT_EQ(whole, static_cast<std::size_t>(reader.readRun(track, id.c, id.h, id.r, id.n, want.data(), 4096, reached)));
        ASSERT_EQ(copied, static_cast<std::size_t>(reached));
        EXPECT_EQ(0, std::memcmp(got.data(), want.data(), copied));
    }
}

TEST(CApi, ReaderOperationsGiveWhatTheReaderGives)
{
    TempDir work;
    for (const Image& case_ : images()) {
        const std::string path = work.write(case_.name + ".d88", case_.bytes);
        for (const bool fromMemory : {false, true}) {
            SCOPED_TRACE(case_.name + (fromMemory ? " from memory" : " from its file"));
            Opened opened(path, case_.bytes, fromMemory);
            ASSERT_EQ(opened.status, D88_OK) << d88_image_error(opened.image);
            d88_image* image = opened.image;
            D88Image reader;
            ASSERT_TRUE(reader.open(path.c_str()));
            ASSERT_EQ(d88_disk_count(image), reader.diskCount());
            EXPECT_EQ(d88_image_disk(image, reader.diskCount()), nullptr);
            d88_set_sector_range(image, 16, 23);
            reader.setSectorRange(16, 23);
            for (int d = 0; d < reader.diskCount(); ++d) {
                const d88_disk* disk = d88_image_disk(image, d);
                ASSERT_NE(disk, nullptr);
                ASSERT_EQ(d88_select_disk(image, d), D88_OK);
                ASSERT_TRUE(reader.selectDisk(d));
                EXPECT_EQ(d88_selected_disk(image), d);
                EXPECT_EQ(d88_disk_index(disk), d);
                EXPECT_EQ(d88_disk_offset(disk), reader.diskOffset(d));
                EXPECT_EQ(d88_disk_size(disk), reader.diskSize());
                EXPECT_EQ(d88_disk_media(disk), reader.mediaType());
                EXPECT_EQ(d88_disk_write_protect(disk), reader.writeProtect());
                EXPECT_STREQ(d88_disk_name(disk), reader.diskName());
                for (int t = -1; t <= D88Image::kTrackCount; ++t) {
                    expectSameTrack(image, reader, t);
                }
            }
        }
    }
}

std::string reportOf(d88_image* image)
{
    char* json = nullptr;
    std::size_t length = 0;
    EXPECT_EQ(d88_report_json(image, &json, &length), D88_OK);
    std::string text(json, length);
    EXPECT_EQ(std::strlen(json), length);
    d88_text_free(json);
    return text;
}

// The report and the map of one survey, the map alone, and the report with
// its tracks counted and the map of one more survey.
struct ReportAndMap {
    std::string json, svg, svgAlone, counted, svgCounted;
};

ReportAndMap reportAndMapOf(d88_image* image)
{
    char *json = nullptr, *svg = nullptr, *alone = nullptr, *counted = nullptr, *svgCounted = nullptr;
    std::size_t jsonLength = 0, svgLength = 0, aloneLength = 0, countedLength = 0, svgCountedLength = 0;
    EXPECT_EQ(d88_report_and_map(image, &json, &jsonLength, &svg, &svgLength), D88_OK);
    EXPECT_EQ(d88_map_svg(image, &alone, &aloneLength), D88_OK);
    EXPECT_EQ(d88_report(image, D88_TRACKS_COUNTED, &counted, &countedLength, &svgCounted, &svgCountedLength),
              D88_OK);
    ReportAndMap made{{json, jsonLength},
                      {svg, svgLength},
                      {alone, aloneLength},
                      {counted, countedLength},
                      {svgCounted, svgCountedLength}};
    for (char* text : {json, svg, alone, counted, svgCounted}) {
        d88_text_free(text);
    }
    return made;
}

// The report with each disk's list of tracks, from "tracks": [ to the last
// ] before "geometry", replaced by the number of tracks in it.
std::string tracksCounted(const std::string& json)
{
    std::string counted;
    std::size_t from = 0;
    for (std::size_t list; (list = json.find("\"tracks\": [", from)) != std::string::npos;) {
        const std::size_t geometry = json.find("\"geometry\": ", list);
        const std::size_t close = json.rfind(']', geometry);
        std::size_t count = 0;
        for (std::size_t at = json.find("\"walk_end\"", list); at < close; at = json.find("\"walk_end\"", at + 1)) {
            ++count;
        }
        counted.append(json, from, list - from).append("\"tracks\": " + std::to_string(count));
        from = close + 1;
    }
    return counted.append(json, from, std::string::npos);
}

TEST(CApi, ReportAndMapAreWhatD88infoWrites)
{
    TempDir work;
    for (const Image& case_ : images()) {
        const std::string path = work.write(case_.name + ".d88", case_.bytes);
        const std::string mapPath = work.path() + "/" + case_.name + ".svg";
        const testsupport::RunResult printed =
            runNative(D88INFO_PATH, {"d88info", "--json", "--map", mapPath, path}, work.path());
        const Bytes drawn = testsupport::readFile(mapPath);
        for (const bool fromMemory : {false, true}) {
            SCOPED_TRACE(case_.name + (fromMemory ? " from memory" : " from its file"));
            Opened opened(path, case_.bytes, fromMemory);
            EXPECT_EQ(reportOf(opened.image), printed.out);
            const ReportAndMap made = reportAndMapOf(opened.image);
            EXPECT_EQ(made.json, printed.out);
            EXPECT_EQ(made.svg, std::string(drawn.begin(), drawn.end()));
            EXPECT_EQ(made.svgAlone, made.svg);
            EXPECT_EQ(made.counted, tracksCounted(printed.out));
            EXPECT_EQ(made.svgCounted, made.svg);
        }
    }
}

// The survey's condition and anomalies are the report's, field for field.
TEST(CApi, SurveyIsWhatTheReportSays)
{
    TempDir work;
    std::vector<Image> cases = images();
    cases.push_back({"text", testsupport::toBytes("not a disk image at all\n")});
    int anomalies = 0;
    for (const Image& case_ : cases) {
        SCOPED_TRACE(case_.name);
        const std::string path = work.write(case_.name + ".d88", case_.bytes);
        Opened opened(path, case_.bytes, false);
        jsontest::Value report;
        std::string error;
        ASSERT_TRUE(jsontest::parse(reportOf(opened.image), report, error)) << error;
        const jsontest::Value& listed = report["images"][0];
        d88_survey* survey = nullptr;
        ASSERT_EQ(d88_survey_image(opened.image, &survey), D88_OK);
        EXPECT_EQ(d88_condition_key(d88_survey_condition(survey)), listed["status"].text);
        EXPECT_EQ(d88_survey_error(survey), listed["error"].text);
        EXPECT_EQ(static_cast<long long>(d88_survey_anomalies_left_out(survey)), listed["anomalies_left_out"].integer());
        ASSERT_EQ(d88_survey_anomaly_count(survey), listed["anomalies"].items.size());
        for (std::size_t i = 0; i < d88_survey_anomaly_count(survey); ++i) {
            const d88_anomaly* anomaly = d88_survey_anomaly(survey, i);
            const jsontest::Value& want = listed["anomalies"][i];
            const auto place = [](const jsontest::Value& value) { return value.isNull() ? -1 : value.integer(); };
            EXPECT_EQ(d88_anomaly_kind(anomaly), want["kind"].text);
            EXPECT_EQ(d88_severity_key(d88_anomaly_severity(anomaly)), want["severity"].text);
            EXPECT_EQ(d88_anomaly_message(anomaly), want["message"].text);
            EXPECT_EQ(d88_anomaly_disk(anomaly), place(want["disk"]));
            EXPECT_EQ(d88_anomaly_track(anomaly), place(want["track"]));
            EXPECT_EQ(d88_anomaly_offset(anomaly), place(want["position"]));
            ++anomalies;
        }
        EXPECT_EQ(d88_survey_anomaly(survey, d88_survey_anomaly_count(survey)), nullptr);
        d88_survey_free(survey);
    }
    EXPECT_GT(anomalies, 0) << "no image tried an anomaly";
}

// The cut's files, checksum list and manifest as the folder d88cut writes
// would hold them; and each file's facts, and the missing files, as the
// manifest gives them.
std::map<std::string, Bytes> folderOf(const d88_cut* cut)
{
    std::map<std::string, Bytes> folder;
    jsontest::Value manifest;
    std::string error;
    std::size_t length = 0;
    const char* text = d88_cut_manifest(cut, &length);
    EXPECT_TRUE(jsontest::parse(std::string(text, length), manifest, error)) << error;
    EXPECT_EQ(manifest["mode"].text, d88_cut_mode(cut));
    EXPECT_EQ(manifest["folder"].text, d88_cut_folder(cut));
    EXPECT_EQ(manifest["files"].items.size(), d88_cut_file_count(cut));
    for (std::size_t i = 0; i < d88_cut_file_count(cut) && i < manifest["files"].items.size(); ++i) {
        const d88_cut_file* file = d88_cut_file_at(cut, i);
        const jsontest::Value& listed = manifest["files"][i];
        const unsigned char* data = d88_cut_file_data(file);
        folder[d88_cut_file_name(file)] = Bytes(data, data + d88_cut_file_size(file));
        EXPECT_EQ(listed["name"].text, d88_cut_file_name(file));
        EXPECT_EQ(listed["size"].integer(), static_cast<long long>(d88_cut_file_size(file)));
        EXPECT_EQ(listed["disk"].integer(), d88_cut_file_disk(file));
        EXPECT_EQ(listed["supplied"].integer(), static_cast<long long>(d88_cut_file_supplied(file)));
        EXPECT_EQ(listed["complete"].boolean, d88_cut_file_complete(file) != 0);
        EXPECT_EQ(listed["sha256"].text, d88_cut_file_sha256(file));
    }
    EXPECT_EQ(d88_cut_file_at(cut, d88_cut_file_count(cut)), nullptr);
    EXPECT_EQ(manifest["missing"].items.size(), d88_cut_missing_count(cut));
    for (std::size_t i = 0; i < d88_cut_missing_count(cut) && i < manifest["missing"].items.size(); ++i) {
        const d88_missing_file* missing = d88_cut_missing_at(cut, i);
        const jsontest::Value& listed = manifest["missing"][i];
        EXPECT_EQ(listed["name"].text, d88_missing_file_name(missing));
        EXPECT_EQ(listed["disk"].isNull() ? -1 : listed["disk"].integer(), d88_missing_file_disk(missing));
        EXPECT_EQ(listed["reason"].text, d88_missing_file_reason(missing));
    }
    if (const char* sums = d88_cut_checksums(cut, &length)) {
        folder["SHA256SUMS"] = Bytes(sums, sums + length);
    }
    text = d88_cut_manifest(cut, &length);
    folder["manifest.json"] = Bytes(text, text + length);
    return folder;
}

// A cut with options made for it, freed after.
struct Cut {
    Cut(d88_image* image, const char* mode, const std::vector<d88_image*>& set = {},
        const std::vector<std::string>& given = {}, const char* mergedName = nullptr, bool merge = false)
    {
        d88_cut_options* options = d88_cut_options_new();
        EXPECT_EQ(d88_cut_options_set_mode(options, mode), D88_OK);
        EXPECT_EQ(d88_cut_options_set_merge(options, merge), D88_OK);
        for (d88_image* other : set) {
            EXPECT_EQ(d88_cut_options_add_image(options, other), D88_OK);
        }
        for (const std::string& folder : given) {
            EXPECT_EQ(d88_cut_options_add_folder(options, folder.c_str()), D88_OK);
        }
        if (mergedName != nullptr) {
            EXPECT_EQ(d88_cut_options_set_merged_name(options, mergedName), D88_OK);
        }
        status = d88_cut_image(image, options, &cut);
        d88_cut_options_free(options);
    }
    ~Cut() { d88_cut_free(cut); }
    Cut(const Cut&) = delete;
    Cut& operator=(const Cut&) = delete;

    d88_status status;
    d88_cut* cut = nullptr;
};

TEST(CApi, CutHoldsWhatD88cutWrites)
{
    const struct {
        const char* mode;
        const char* option;
    } modes[] = {{"auto", nullptr}, {"table", "--table"}, {"scan", "--scan"}};
    TempDir images;
    int missing = 0, incomplete = 0;
    for (const Image& case_ : ::images()) {
        const std::string path = images.write(case_.name + ".d88", case_.bytes);
        for (const auto& mode : modes) {
            // Run where the folder is made, as the C API names it.
            TempDir work;
            std::vector<std::string> argv = {"d88cut", "-q", path};
            if (mode.option != nullptr) {
                argv.insert(argv.begin() + 1, mode.option);
            }
            runNative(D88CUT_PATH, argv, work.path());
            const std::map<std::string, Bytes> written = testsupport::filesIn(work.file(case_.name));
            for (const bool fromMemory : {false, true}) {
                SCOPED_TRACE(case_.name + " " + (mode.option ? mode.option : "auto") +
                             (fromMemory ? " from memory" : " from its file"));
                Opened opened(path, case_.bytes, fromMemory);
                const Cut made(opened.image, mode.mode);
                ASSERT_EQ(made.status, D88_OK) << d88_image_error(opened.image);
                EXPECT_TRUE(folderOf(made.cut) == written);
                missing += static_cast<int>(d88_cut_missing_count(made.cut));
                for (std::size_t i = 0; i < d88_cut_file_count(made.cut); ++i) {
                    incomplete += d88_cut_file_complete(d88_cut_file_at(made.cut, i)) ? 0 : 1;
                }
            }
        }
    }
    EXPECT_TRUE(missing > 0 && incomplete > 0) << "no image tried a missing or an incomplete file";
}

// The options d88cut's run gives a cut: the folders it named before, a set
// cut together (--merge), the set's folder name (--name).
TEST(CApi, OptionsCutAsD88cutsRunDoes)
{
    TempDir images;
    const Bytes three = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    const std::size_t disk = 1281968;
    const std::string whole = images.write("game.d88", three);
    const std::string first = images.write("set-1.d88", Bytes(three.begin(), three.begin() + disk));
    const std::string rest = images.write("set-2.d88", Bytes(three.begin() + disk, three.end()));
    const struct {
        const char* what;
        std::vector<std::string> argv;    // d88cut's, before the images
        std::vector<std::string> run;     // the images of the run
        std::string folder;               // the one compared, of the last image
        std::vector<std::string> given;   // the folders named before it
        const char* mergedName;
    } cases[] = {
        {"an image after one of its name", {"-q"}, {whole, whole}, "game-2", {"game"}, nullptr},
        {"a set", {"-q", "--merge"}, {first, rest}, "set-1", {}, nullptr},
        {"a set named", {"-q", "--merge", "--name", "both"}, {first, rest}, "both", {}, "both"},
        {"a set lacking a disk", {"-q", "--merge"}, {rest}, "set-2", {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir work;
        std::vector<std::string> argv = {"d88cut"};
        argv.insert(argv.end(), c.argv.begin(), c.argv.end());
        argv.insert(argv.end(), c.run.begin(), c.run.end());
        runNative(D88CUT_PATH, argv, work.path());
        const std::map<std::string, Bytes> written = testsupport::filesIn(work.file(c.folder));
        const bool merged = c.argv.size() > 1;
        std::vector<Opened*> opened;
        for (std::size_t i = merged ? 0 : c.run.size() - 1; i < c.run.size(); ++i) {
            opened.push_back(new Opened(c.run[i], {}, false));
        }
        std::vector<d88_image*> set;
        for (std::size_t i = 1; i < opened.size(); ++i) {
            set.push_back(opened[i]->image);
        }
        const Cut made(opened.front()->image, "auto", set, c.given, c.mergedName, merged);
        ASSERT_EQ(made.status, D88_OK) << d88_image_error(opened.front()->image);
        EXPECT_EQ(d88_cut_folder(made.cut), c.folder);
        EXPECT_TRUE(folderOf(made.cut) == written);
        for (Opened* image : opened) {
            delete image;
        }
    }
}

// Each call that cannot be served says why, and leaves its outputs empty.
TEST(CApi, StatusesSayWhyACallIsNotServed)
{
    TempDir work;
    const std::string text = work.write("notes.d88", testsupport::toBytes("not a disk image at all\n"));
    const std::string sample = SAMPLE_DIR "/three-disks.d88";
    const struct {
        const char* what;
        std::string path;
        d88_status (*call)(d88_image*);
        d88_status status;
        const char* details;  // in d88_image_error
        int errorNumber;      // d88_image_errno
    } cases[] = {
        {"a missing file", work.file("absent.d88"), nullptr, D88_ERR_OPEN, "absent.d88: cannot be read: No such file",
         ENOENT},
        {"a folder", work.path(), nullptr, D88_ERR_OPEN, "cannot be read: Is a directory", EISDIR},
        {"a cut of text", text, [](d88_image* i) { d88_cut* c; return d88_cut_image(i, nullptr, &c); },
         D88_ERR_NOT_AN_IMAGE, "notes.d88: not a D88 image (no whole 688-byte disk header)", 0},
        {"a disk past the last", sample, [](d88_image* i) { return d88_select_disk(i, 3); }, D88_ERR_NO_DISK,
         "no disk 3: the image holds 3", 0},
        {"a read with no disk selected", sample,
         [](d88_image* i) {
             std::size_t copied;
             return d88_read_sector(i, 1, {0, 1, 16, 3}, nullptr, 0, &copied);
         },
         D88_ERR_NO_DISK, "no disk is selected", 0},
        {"a report to nowhere", sample, [](d88_image* i) { return d88_report_json(i, nullptr, nullptr); },
         D88_ERR_ARGUMENT, "", 0},
        {"a report asking for neither text", sample,
         [](d88_image* i) { return d88_report(i, D88_TRACKS_COUNTED, nullptr, nullptr, nullptr, nullptr); },
         D88_ERR_ARGUMENT, "", 0},
        {"a report with tracks neither listed nor counted", sample,
         [](d88_image* i) {
             char* json = nullptr;
             return d88_report(i, static_cast<d88_report_tracks>(2), &json, nullptr, nullptr, nullptr);
         },
         D88_ERR_ARGUMENT, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d88_image* image = nullptr;
        d88_status status = d88_open_path(c.path.c_str(), &image);
        ASSERT_NE(image, nullptr);
        if (c.call != nullptr) {
            ASSERT_EQ(status, D88_OK);
            status = c.call(image);
        }
        EXPECT_EQ(status, c.status);
        EXPECT_NE(std::string(d88_image_error(image)).find(c.details), std::string::npos) << d88_image_error(image);
        EXPECT_EQ(d88_image_errno(image), c.errorNumber);
        EXPECT_STRNE(d88_status_text(status), "unknown status");
        d88_close(image);
    }
    EXPECT_EQ(d88_open_memory(nullptr, 1, "x", nullptr), D88_ERR_ARGUMENT);
    {
        // A set is refused for the image of it that is no image, by name.
        Opened first(sample, {}, false), notes(text, {}, false);
        const Cut set(first.image, "auto", {notes.image});
        EXPECT_EQ(set.status, D88_ERR_NOT_AN_IMAGE);
        EXPECT_EQ(set.cut, nullptr);
        EXPECT_NE(std::string(d88_image_error(first.image)).find("notes.d88: not a D88 image"), std::string::npos)
            << d88_image_error(first.image);
    }
    d88_cut_options* options = d88_cut_options_new();
    for (const char* refused : {"both", "", "TABLE"}) {
        EXPECT_EQ(d88_cut_options_set_mode(options, refused), D88_ERR_ARGUMENT) << refused;
    }
    for (const char* refused : {".", "..", "a/b"}) {
        EXPECT_EQ(d88_cut_options_set_merged_name(options, refused), D88_ERR_ARGUMENT) << refused;
    }
    EXPECT_EQ(d88_cut_options_set_mode(options, nullptr), D88_ERR_ARGUMENT);
    d88_cut_options_free(options);
}

// The release in the macros is the library's and the project's; the ways of
// taking files are listed by key, each a mode a cut takes.
TEST(CApi, VersionAndCuttersAreNamed)
{
    EXPECT_STREQ(d88_version(), D88_TEST_VERSION);
    EXPECT_STREQ(D88_VERSION_STRING, D88_TEST_VERSION);
    EXPECT_EQ(std::to_string(D88_VERSION_MAJOR) + "." + std::to_string(D88_VERSION_MINOR) + "." +
                  std::to_string(D88_VERSION_PATCH),
              D88_TEST_VERSION);
    EXPECT_EQ(D88_VERSION_NUMBER, D88_VERSION_MAJOR * 10000 + D88_VERSION_MINOR * 100 + D88_VERSION_PATCH);
    EXPECT_EQ(d88_api_version(), D88_API_VERSION);
    std::vector<std::string> keys;
    d88_cut_options* options = d88_cut_options_new();
    for (int i = 0; i < d88_cutter_count(); ++i) {
        keys.push_back(d88_cutter_key(i));
        EXPECT_EQ(d88_cut_options_set_mode(options, d88_cutter_key(i)), D88_OK);
    }
    d88_cut_options_free(options);
    EXPECT_EQ(keys, (std::vector<std::string>{"table", "files", "scan"}));
    EXPECT_EQ(d88_cutter_key(d88_cutter_count()), nullptr);
}

}  // namespace
