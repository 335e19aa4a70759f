// The C API against what it passes through, on the samples whole and
// damaged: its reader operations against D88Image's over the same image,
// from a file and from memory; its report against what d88info --json
// prints, and its cut against the folder d88cut writes, with each file's
// facts against the manifest; and its statuses where a call cannot be
// served.
#include <d88image/d88.h>
#include <d88image/d88image.h>

#include "json_value.h"
#include "test_support.h"

#include <algorithm>
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
    std::vector<d88_record> records;
    static int visit(const d88_record* record, void* context)
    {
        static_cast<Recorded*>(context)->records.push_back(*record);
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
        const d88_record& got = walked.records[i];
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
            d88_set_sector_range(image, 16, 23);
            reader.setSectorRange(16, 23);
            for (int d = 0; d < reader.diskCount(); ++d) {
                d88_disk disk;
                ASSERT_EQ(d88_disk_info(image, d, &disk), D88_OK);
                ASSERT_EQ(d88_select_disk(image, d), D88_OK);
                ASSERT_TRUE(reader.selectDisk(d));
                EXPECT_EQ(d88_selected_disk(image), d);
                EXPECT_EQ(disk.offset, reader.diskOffset(d));
                EXPECT_EQ(disk.size, reader.diskSize());
                EXPECT_EQ(disk.media, reader.mediaType());
                EXPECT_EQ(disk.write_protect, reader.writeProtect());
                EXPECT_STREQ(disk.name, reader.diskName());
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

// The report and the map of one survey, and the map alone.
struct ReportAndMap {
    std::string json, svg, svgAlone;
};

ReportAndMap reportAndMapOf(d88_image* image)
{
    char *json = nullptr, *svg = nullptr, *alone = nullptr;
    std::size_t jsonLength = 0, svgLength = 0, aloneLength = 0;
    EXPECT_EQ(d88_report_and_map(image, &json, &jsonLength, &svg, &svgLength), D88_OK);
    EXPECT_EQ(d88_map_svg(image, &alone, &aloneLength), D88_OK);
    ReportAndMap made{{json, jsonLength}, {svg, svgLength}, {alone, aloneLength}};
    for (char* text : {json, svg, alone}) {
        d88_text_free(text);
    }
    return made;
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
        }
    }
}

// The cut's files, checksum list and manifest as the folder d88cut writes
// would hold them; and each file's facts, and the missing files, as the
// manifest gives them.
std::map<std::string, Bytes> folderOf(const d88_cut& cut)
{
    std::map<std::string, Bytes> folder;
    jsontest::Value manifest;
    std::string error;
    EXPECT_TRUE(jsontest::parse(std::string(cut.manifest, cut.manifest_length), manifest, error)) << error;
    EXPECT_EQ(manifest["mode"].text, cut.mode);
    EXPECT_EQ(manifest["files"].items.size(), cut.file_count);
    for (std::size_t i = 0; i < cut.file_count && i < manifest["files"].items.size(); ++i) {
        const d88_cut_file& file = cut.files[i];
        const jsontest::Value& listed = manifest["files"][i];
        folder[file.name] = Bytes(file.data, file.data + file.size);
        EXPECT_EQ(listed["name"].text, file.name);
        EXPECT_EQ(listed["size"].integer(), static_cast<long long>(file.size));
        EXPECT_EQ(listed["disk"].integer(), file.disk);
        EXPECT_EQ(listed["supplied"].integer(), static_cast<long long>(file.supplied));
        EXPECT_EQ(listed["complete"].boolean, file.complete != 0);
    }
    EXPECT_EQ(manifest["missing"].items.size(), cut.missing_count);
    for (std::size_t i = 0; i < cut.missing_count && i < manifest["missing"].items.size(); ++i) {
        const jsontest::Value& listed = manifest["missing"][i];
        EXPECT_EQ(listed["name"].text, cut.missing[i].name);
        EXPECT_EQ(listed["disk"].integer(), cut.missing[i].disk);
        EXPECT_EQ(listed["reason"].text, cut.missing[i].reason);
    }
    if (cut.checksums != nullptr) {
        folder["SHA256SUMS"] = Bytes(cut.checksums, cut.checksums + cut.checksums_length);
    }
    folder["manifest.json"] = Bytes(cut.manifest, cut.manifest + cut.manifest_length);
    return folder;
}

TEST(CApi, CutHoldsWhatD88cutWrites)
{
    const struct {
        d88_cut_mode mode;
        const char* option;
    } modes[] = {{D88_CUT_AUTO, nullptr}, {D88_CUT_TABLE, "--table"}, {D88_CUT_SCAN, "--scan"}};
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
                d88_cut* cut = nullptr;
                ASSERT_EQ(d88_cut_image(opened.image, mode.mode, &cut), D88_OK) << d88_image_error(opened.image);
                EXPECT_TRUE(folderOf(*cut) == written);
                missing += static_cast<int>(cut->missing_count);
                for (std::size_t i = 0; i < cut->file_count; ++i) {
                    incomplete += cut->files[i].complete ? 0 : 1;
                }
                d88_cut_free(cut);
            }
        }
    }
    EXPECT_TRUE(missing > 0 && incomplete > 0) << "no image tried a missing or an incomplete file";
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
    } cases[] = {
        {"a missing file", work.file("absent.d88"), nullptr, D88_ERR_OPEN, "absent.d88: cannot be read: No such file"},
        {"a folder", work.path(), nullptr, D88_ERR_OPEN, "cannot be read: Is a directory"},
        {"a cut of text", text, [](d88_image* i) { d88_cut* c; return d88_cut_image(i, D88_CUT_AUTO, &c); },
         D88_ERR_NOT_AN_IMAGE, "notes.d88: not a D88 image (no whole 688-byte disk header)"},
        {"a disk past the last", sample, [](d88_image* i) { return d88_select_disk(i, 3); }, D88_ERR_NO_DISK,
         "no disk 3: the image holds 3"},
        {"a read with no disk selected", sample,
         [](d88_image* i) {
             std::size_t copied;
             return d88_read_sector(i, 1, {0, 1, 16, 3}, nullptr, 0, &copied);
         },
         D88_ERR_NO_DISK, "no disk is selected"},
        {"a cut in no mode", sample, [](d88_image* i) { d88_cut* c; return d88_cut_image(i, d88_cut_mode(7), &c); },
         D88_ERR_ARGUMENT, ""},
        {"a report to nowhere", sample, [](d88_image* i) { return d88_report_json(i, nullptr, nullptr); },
         D88_ERR_ARGUMENT, ""},
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
        EXPECT_STRNE(d88_status_text(status), "unknown status");
        d88_close(image);
    }
    EXPECT_EQ(d88_open_memory(nullptr, 1, "x", nullptr), D88_ERR_ARGUMENT);
    EXPECT_STREQ(d88_version(), D88_TEST_VERSION);
    EXPECT_EQ(d88_api_version(), D88_API_VERSION);
}

}  // namespace
