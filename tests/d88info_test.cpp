// End-to-end runs of the built d88info: its preview and its map agree
// with what tablecut and scancut then write, the map with the report, it
// names each kind of damage on images damaged on purpose, and its command
// line behaves as documented.
#include "json_value.h"
#include "map_reading.h"
#include "program_fixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;
using jsontest::Value;
using testsupport::RunResult;

namespace {

std::vector<std::string> lines(const std::string& text);

// The terminal columns of a line of UTF-8: two for a kanji, kana or
// full-width form, one for anything else.
std::size_t columns(const std::string& line)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(line[i]);
        if ((byte & 0xC0) == 0x80) {
            continue;
        }
        const bool wide = (byte >= 0xE3 && byte <= 0xE9) ||
                          (byte == 0xEF && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) <= 0xBD);
        count += wide ? 2 : 1;
    }
    return count;
}

class D88infoTest : public ProgramTest {
protected:
    D88infoTest() : ProgramTest(D88INFO_PATH, "d88info") {}

    // Runs d88info; every line of a text report it gives must fit in 80
    // columns.
    RunResult runWith(const std::vector<std::string>& argv)
    {
        const RunResult result = ProgramTest::runWith(argv);
        if (std::find(argv.begin(), argv.end(), "--json") == argv.end()) {
            for (const std::string& line : lines(result.out)) {
                EXPECT_LE(columns(line), 80u) << line << "\nfrom d88info run on " << argv.back();
            }
        }
        return result;
    }

    // d88info --json on one image; its report of that image. With map,
    // also --map, and the map read back into it.
    Value reportOn(const std::string& image, DrawnMap* map = nullptr)
    {
        const std::string svg = work_.file("map.svg");
        const RunResult result = runWith(map != nullptr ? std::vector<std::string>{"d88info", "--json", "--map", svg, image}
                                                        : std::vector<std::string>{"d88info", "--json", image});
        Value document;
        std::string error;
        EXPECT_TRUE(jsontest::parse(result.out, document, error)) << error;
        EXPECT_EQ(document["version"].integer(), 1);
        if (map != nullptr) {
            const Bytes drawn = testsupport::readFile(svg);
            EXPECT_TRUE(readMap(std::string(drawn.begin(), drawn.end()), *map, error)) << error;
        }
        return document["images"].items.empty() ? Value{} : document["images"][0];
    }
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        all.push_back(line);
    }
    return all;
}

// What a preview says the folder of a cutter's run holds: for each name,
// the last written file of that name.
std::map<std::string, const Value*> finalFiles(const Value& cuts)
{
    std::map<std::string, const Value*> files;
    for (const Value& cut : cuts.items) {
        if (cut["written"].boolean) {
            files[cut["name"].text] = &cut;
        }
    }
    return files;
}

void expectPreviewMatches(const Value& cuts, const RunResult& run, const std::map<std::string, Bytes>& written,
                          const std::string& linePrefix, const std::string& what)
{
    // The progress lines name the files written, in the preview's order.
    std::vector<std::string> announced;
    for (const std::string& line : lines(run.out)) {
        if (line.compare(0, linePrefix.size(), linePrefix) == 0) {
            announced.push_back(line.substr(linePrefix.size()));
        }
    }
    std::vector<std::string> previewed;
    for (const Value& cut : cuts.items) {
        if (cut["written"].boolean) {
            previewed.push_back(cut["name"].text);
        }
        // Replaced exactly when a later file of the same name is written.
        const auto later = std::find_if(&cut + 1, cuts.items.data() + cuts.items.size(), [&](const Value& other) {
            return other["written"].boolean && other["name"].text == cut["name"].text;
        });
        EXPECT_EQ(cut["replaced"].boolean, cut["written"].boolean && later != cuts.items.data() + cuts.items.size())
            << what << " " << cut["name"].text;
    }
    EXPECT_EQ(announced, previewed) << what;

    const auto files = finalFiles(cuts);
    ASSERT_EQ(written.size(), files.size()) << what;
    for (const auto& [name, cut] : files) {
        ASSERT_EQ(written.count(name), 1u) << what << " " << name;
        const Bytes& bytes = written.at(name);
        EXPECT_EQ(bytes.size(), static_cast<std::size_t>((*cut)["size"].integer())) << what << " " << name;
        const std::size_t supplied = static_cast<std::size_t>((*cut)["supplied"].integer());
        EXPECT_EQ((*cut)["complete"].boolean, supplied == bytes.size()) << what << " " << name;
        EXPECT_TRUE(std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(supplied, bytes.size())),
                                bytes.end(), [](unsigned char b) { return b == 0; }))
            << what << " " << name << ": zeros from byte " << supplied;
    }
}

// The records the report lists, by disk, track and place on the track.
std::map<std::tuple<int, int, int>, const Value*> listedRecords(const Value& report)
{
    std::map<std::tuple<int, int, int>, const Value*> records;
    for (const Value& disk : report["disks"].items) {
        for (const Value& track : disk["tracks"].items) {
            for (std::size_t i = 0; i < track["records"].items.size(); ++i) {
                records[{static_cast<int>(disk["index"].integer()), static_cast<int>(track["index"].integer()),
                         static_cast<int>(i)}] = &track["records"][i];
            }
        }
    }
    return records;
}

// The map draws every record the report lists (of a disk that is not an
// earlier one again), with its ID and its state, and nothing else.
void expectMapShowsTheRecords(const Value& report, const DrawnMap& map, const std::string& what)
{
    std::size_t listed = 0;
    for (const auto& [key, record] : listedRecords(report)) {
        const Value& disk = report["disks"][static_cast<std::size_t>(std::get<0>(key))];
        if (!disk["same_as"].isNull() || disk["blank"].boolean) {
            continue;
        }
        ++listed;
        const auto drawn = map.records.find(key);
        ASSERT_NE(drawn, map.records.end()) << what << ": disk " << std::get<0>(key) << " track " << std::get<1>(key)
                                            << " record " << std::get<2>(key) << " is not drawn";
        const DrawnRecord& cell = drawn->second;
        EXPECT_EQ(cell.state, (*record)["state"].text) << what << ": " << cell.title;
        EXPECT_EQ(std::vector<long long>({cell.c, cell.h, cell.r, cell.n}),
                  std::vector<long long>({(*record)["c"].integer(), (*record)["h"].integer(), (*record)["r"].integer(),
                                          (*record)["n"].integer()}))
            << what << ": " << cell.title;
    }
    EXPECT_EQ(map.records.size(), listed) << what;
}

// Every cell drawn as part of one of program's files holds, in its record's
// data, the bytes the program wrote there; the parts drawn of each file
// cover what its sectors supply, from its first byte on; and each file
// that runs out of data is marked.
void expectMapShowsTheFiles(const Value& report, const DrawnMap& map, const Bytes& image, const std::string& program,
                            const std::map<std::string, Bytes>& written, const std::string& what)
{
    const auto records = listedRecords(report);
    std::set<std::pair<std::string, long long>> replaced;  // a later disk's file of the name is what stays
    for (const Value& cut : report[program].items) {
        if (cut["replaced"].boolean) {
            replaced.insert({cut["name"].text, cut["disk"].integer()});
        }
    }
    // The byte ranges drawn of each file: by name and, for tablecut, disk.
    std::map<std::pair<std::string, long long>, std::vector<std::pair<std::size_t, std::size_t>>> ranges;
    const std::string marker = "; in ";
    for (const auto& [key, cell] : map.records) {
        for (std::size_t at = cell.title.find(marker); at != std::string::npos; at = cell.title.find(marker, at + 1)) {
            std::istringstream part(cell.title.substr(at + marker.size()));
            std::string name, cutter, bytes;
            std::size_t first = 0, last = 0;
            char dash = 0;
            part >> name >> cutter >> bytes >> first >> dash >> last;
            if (cutter != "(" + program + ")") {
                continue;
            }
            EXPECT_NE(cell.files.find(program + ":" + name), std::string::npos) << what << ": " << cell.title;
            const long long disk = program == "tablecut" ? std::get<0>(key) : -1;
            if (replaced.count({name, disk}) > 0) {
                continue;
            }
            ranges[{name, disk}].push_back({first, last + 1});
            const Value& record = *records.at(key);
            const Bytes data = d88build::slice(image, static_cast<std::size_t>(record["position"].integer()) + 16,
                                               static_cast<std::size_t>(record["present"].integer()));
            ASSERT_EQ(written.count(name), 1u) << what << ": " << cell.title;
            const Bytes& file = written.at(name);
            ASSERT_LE(last, file.size()) << what << ": " << cell.title;
            const auto from = file.begin() + static_cast<std::ptrdiff_t>(first);
            EXPECT_NE(std::search(data.begin(), data.end(), from, file.begin() + static_cast<std::ptrdiff_t>(last) + 1),
                      data.end())
                << what << ": " << cell.title << ": the file's bytes are not the record's";
        }
    }
    for (const Value& cut : report[program].items) {
        const std::string name = cut["name"].text;
        const long long disk = program == "tablecut" ? cut["disk"].integer() : -1;
        if (cut["written"].boolean && !cut["replaced"].boolean) {
            std::vector<std::pair<std::size_t, std::size_t>> parts = ranges[{name, disk}];
            std::sort(parts.begin(), parts.end());
            std::size_t covered = 0;
            for (const auto& part : parts) {
                EXPECT_EQ(part.first, covered) << what << ": " << name << " is drawn from byte " << part.first;
                covered = part.second;
            }
            if (program == "tablecut") {
                EXPECT_EQ(covered, static_cast<std::size_t>(cut["supplied"].integer())) << what << ": " << name;
            } else {
                // Where no sector was laid in, scancut's buffer holds zeros.
                const Bytes& file = written.at(name);
                EXPECT_TRUE(std::all_of(file.begin() + static_cast<std::ptrdiff_t>(std::min(covered, file.size())),
                                        file.end(), [](unsigned char b) { return b == 0; }))
                    << what << ": " << name << " is not drawn from byte " << covered;
            }
        }
        if (!cut["complete"].boolean) {
            const std::string start = name + " (" + program + ") is ";
            EXPECT_TRUE(std::any_of(map.marks.begin(), map.marks.end(),
                                    [&](const std::string& mark) { return mark.compare(0, start.size(), start) == 0; }))
                << what << ": no mark where " << name << " runs out of data";
        }
    }
}

// A track of a record of each state, cut by the end of the file inside the
// last record's data (short) or right after its header (missing).
Bytes eachState(bool missing)
{
    auto rec = [](int r, std::size_t length) { return Record{0, 0, r, 3, 8, d88build::pattern(static_cast<std::uint32_t>(r), length)}; };
    Record badStatus = rec(2, 1024), deleted = rec(3, 1024);
    badStatus.status = 0xB0;
    deleted.deleted = 0x10;
    const Bytes disk = Disk().track(0, {rec(1, 1024), badStatus, deleted, rec(1, 1024), rec(4, 0), rec(5, 1000),
                                        rec(6, 1024), rec(7, 1024)})
                           .build();
    return d88build::slice(disk, 0, disk.size() - (missing ? 1024 : 500));
}

// A Scenario Disk whose KX201 cannot start (sector 35 of track 16 missing)
// and whose KX207 runs into a short sector (38 of track 18, 100 bytes).
Disk damagedScenario(std::uint32_t seed)
{
    Disk disk = d88build::standardDisk(32, 8, 20, seed);
    auto track16 = d88build::standardTrack(16, 32, 8, seed);
    track16.erase(track16.begin() + 3);
    auto track18 = d88build::standardTrack(18, 32, 8, seed);
    track18[6].data.resize(100);
    return disk.track(16, track16).track(18, track18);
}

Bytes staleTailScan()
{
    Bytes first = d88build::scanFiller(1224, 10);
    const Bytes late = d88build::scanFile(4, 2);
    std::copy(late.begin(), late.end(), first.begin() + 1000 * 1024);
    const Bytes early = d88build::scanFile(3, 1);
    std::copy(early.begin(), early.end(), first.begin() + 6 * 1024);
    Bytes second = d88build::scanFiller(400, 20);
    return d88build::concat({d88build::linearDisk(first, 1).build(), d88build::linearDisk(second, 1).build()});
}

}  // namespace

TEST_F(D88infoTest, ThePreviewAndTheMapAgreeWithWhatTheCuttersWriteAndTheReport)
{
    const Bytes three = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    const Bytes scan = testsupport::readFile(SAMPLE_DIR "/scan-disks.d88");
    const struct {
        const char* name;
        Bytes image;
        std::size_t notWritten;  // tablecut files the preview says are not written
    } cases[] = {
        {"three-disk sample", three, 0},
        {"scan sample", scan, 0},
        {"three-disk sample cut to 1,300,000 bytes", d88build::slice(three, 0, 1300000), 12},
        {"scan sample cut to 10,000 bytes", d88build::slice(scan, 0, 10000), 0},
        {"two damaged Scenario Disks and an Event Disk",
         d88build::concat({damagedScenario(7).build(), d88build::standardDisk(48, 8, 90, 8).build(),
                           damagedScenario(9).build()}),
         2},
        {"a second disk shorter than the first", staleTailScan(), 0},
        {"three-disk sample cut to 1,417,760 bytes", d88build::slice(three, 0, 1417760), 11},
        {"a record of each state, the last one short", eachState(false), 0},
        {"a record of each state, the last one missing", eachState(true), 0},
    };
    for (const auto& c : cases) {
        const std::string image = images_.write("image.d88", c.image);
        DrawnMap map;
        const Value report = reportOn(image, &map);
        expectMapShowsTheRecords(report, map, c.name);
        EXPECT_EQ(std::count_if(report["tablecut"].items.begin(), report["tablecut"].items.end(),
                                [](const Value& cut) { return !cut["written"].boolean; }),
                  static_cast<std::ptrdiff_t>(c.notWritten))
            << c.name;
        for (const auto& [program, path, prefix] :
             {std::tuple<std::string, std::string, std::string>{"tablecut", TABLECUT_PATH, "cutting ... "},
              {"scancut", SCANCUT_PATH, ""}}) {
            testsupport::TempDir folder;
            const RunResult run = testsupport::runProgram(path, {program, image}, folder.path());
            std::string lines;
            for (const std::string& line : ::lines(run.out)) {
                if (program == "scancut" || line.compare(0, prefix.size(), prefix) == 0) {
                    lines += line + "\n";
                }
            }
            const auto written = testsupport::filesIn(folder.path());
            expectPreviewMatches(report[program], {run.status, lines, run.err, ""}, written, prefix,
                                 std::string(c.name) + ", " + program);
            expectMapShowsTheFiles(report, map, c.image, program, written, std::string(c.name) + ", " + program);
        }
    }
}

// "40 x 2, 16 x 256": a disk's geometry as its report gives it.
std::string geometry(const Value& disk)
{
    const Value& g = disk["geometry"];
    return std::to_string(g["cylinders"].integer()) + " x " + std::to_string(g["heads"].integer()) + ", " +
           std::to_string(g["sectors"].integer()) + " x " + std::to_string(g["sector_size"].integer());
}

// A 2D disk as the field's tools write one: 40 cylinders, 2 heads, 16
// sectors of 256 bytes, each record saying count.
Disk twoD(int count)
{
    Disk disk;
    for (int t = 0; t < 80; ++t) {
        std::vector<Record> records;
        for (int r = 1; r <= 16; ++r) {
            records.push_back({t / 2, t % 2, r, 1, count, d88build::pattern(static_cast<std::uint32_t>(t * 16 + r), 256)});
        }
        disk.track(t, records);
    }
    return disk.media(0x00);
}

// Each image built here, damaged on purpose or written as the field's tools
// write their variants, gives the facts, the anomaly kinds and the status
// expected, in the JSON report and in the text report, whose answer comes
// first and names every kind.
TEST_F(D88infoTest, EachKindOfDamageIsNamed)
{
    auto rec = [](int r, int count, std::size_t length) { return Record{0, 0, r, 3, count, Bytes(length, 0x11)}; };
    Record deleted = rec(2, 2, 1024);
    deleted.deleted = 0x10;
    Record badStatus = rec(1, 2, 1024);
    badStatus.status = 0xB0;
    Record deletedStatus = rec(1, 2, 1024);
    deletedStatus.status = 0x10;
    const Bytes standard = d88build::standardDisk(1, 8, 3, 1).build();
    Bytes odd = Disk()
                    .track(0, {rec(1, 3, 1024), rec(2, 4, 1024), rec(3, 3, 1024)})
                    .track(1, {rec(1, 3, 1024), rec(2, 0, 1024), rec(3, 3, 1024)})
                    .track(2, {rec(1, 2, 1000), rec(2, 2, 1024)})
                    .track(3, {rec(1, 3, 1024), rec(2, 3, 1024), rec(1, 3, 1024)})
                    .track(4, {rec(1, 2, 0), rec(2, 2, 1024)})
                    .track(5, {badStatus, deleted})
                    .build();
    d88build::putU32(odd, 0x20 + 4 * 6, 0x7FFFFFFF);  // beyond the disk
    d88build::putU32(odd, 0x20 + 4 * 7, 0x100);       // inside the header
    Bytes beyond = standard;  // too little is left after its size for another disk
    d88build::putU32(beyond, 0x1C, static_cast<std::uint32_t>(standard.size() - 500));
    // Counts of 65535 would end the walk at record 65534, which says 1.
    std::vector<Record> endless;
    for (int i = 0; i < 65537; ++i) {
        endless.push_back({i >> 8, 0, i & 0xFF, 3, i == 65534 ? 1 : 65535, {}});
    }
    Bytes sizeBeyondFile = standard;
    d88build::putU32(sizeBeyondFile, 0x1C, static_cast<std::uint32_t>(standard.size() + 5000));
    // Unused entries hold the disk's size; a second disk follows, whose
    // header a walk from there would read as records.
    Bytes unusedEntries = twoD(16).build();
    for (int t = 80; t < 164; ++t) {
        d88build::putU32(unusedEntries, 0x20 + 4 * static_cast<std::size_t>(t),
                         static_cast<std::uint32_t>(unusedEntries.size()));
    }
    std::vector<Record> longSectors = d88build::standardTrack(0, 1, 8, 5);
    longSectors[3].data.resize(1024 + 130, 0x22);

    using Kinds = std::set<std::string>;
    const struct {
        const char* name;
        Bytes image;
        Kinds kinds;
        const char* status;
        int disks;             // disks indexed
        int headerSize;        // disk 0's, when checked
        const char* geometry;  // disk 0's, when checked
    } cases[] = {
        {"a whole disk", standard, {}, "ok", 1, 688, "2 x 2, 8 x 1024"},
        {"no disk header", Bytes(100, 0x41), {"no-disks"}, "not-an-image", 0, 0, nullptr},
        {"only zero bytes", Bytes(2000, 0), {"no-disks"}, "not-an-image", 64, 0, nullptr},
        {"cut inside a sector", d88build::slice(standard, 0, 5000), {"truncated", "walk-past-end-of-file", "short-sector"},
         "damaged", 1, 688, nullptr},
        {"bytes after the disk, too few for a header", d88build::concat({standard, Bytes(100, 1)}), {"trailing-bytes"},
         "ok", 1, 688, nullptr},
        {"zero bytes after the disk", d88build::concat({standard, Bytes(1000, 0)}), {"trailing-zeros"}, "ok", 64, 688,
         "2 x 2, 8 x 1024"},
        {"a header's worth of bytes after 64 disks",
         d88build::concat({d88build::concat(std::vector<Bytes>(64, standard)), Bytes(700, 1)}), {"trailing-data"},
         "damaged", 64, 688, nullptr},
        {"a disk size of 0", Disk(d88build::standardDisk(1, 8, 1, 1)).diskSize(0).build(),
         {"disk-size-zero", "track-offset-out-of-range", "no-tracks", "trailing-data", "disk-repeated"}, "not-an-image", 64,
         688, nullptr},
        {"a disk size inside the header", Disk().diskSize(100).build(), {"disk-size-short", "no-tracks", "trailing-zeros"},
         "damaged", 1, 688, nullptr},
        {"a disk size beyond the file, every track whole", sizeBeyondFile, {"size-beyond-file"}, "ok", 1, 688, nullptr},
        {"records beyond the disk", beyond, {"records-beyond-disk", "trailing-bytes"}, "damaged", 1, 688, nullptr},
        {"records of every oddity", odd,
         {"count-mismatch", "zero-count", "length-mismatch", "duplicate-id", "empty-sector", "bad-status",
          "deleted-data", "track-offset-out-of-range", "track-offset-in-header"},
         "damaged", 1, 688, nullptr},
        {"a walk no count ends", Disk().track(0, endless).build(), {"walk-limit", "count-mismatch", "empty-sector"},
         "damaged", 1, 688, nullptr},
        {"a 2D disk with the 672-byte header", twoD(16).headerSize(0x2A0).build(), {"short-header"}, "ok", 1, 672,
         "40 x 2, 16 x 256"},
        {"a 2D disk whose counts are stored byte-swapped", twoD(16 << 8).build(), {"byte-swapped-count"}, "ok", 1, 688,
         "40 x 2, 16 x 256"},
        {"a write-protect byte of 0x01", twoD(16).writeProtect(1).build(), {}, "ok", 1, 688, "40 x 2, 16 x 256"},
        {"unused track entries that hold the disk's size", d88build::concat({unusedEntries, standard}),
         {"unused-entries"}, "ok", 2, 688, "40 x 2, 16 x 256"},
        {"a sector longer than its size code", Disk().track(0, longSectors).build(), {"long-sector"}, "ok", 1, 688,
         "1 x 1, 8 x 1024"},
        {"a status that says deleted data", Disk().track(0, {deletedStatus, rec(2, 2, 1024)}).build(),
         {"deleted-data"}, "ok", 1, 688, nullptr},
    };
    for (const auto& c : cases) {
        const std::string image = images_.write("image.d88", c.image);
        const Value report = reportOn(image);
        Kinds kinds;
        for (const Value& anomaly : report["anomalies"].items) {
            kinds.insert(anomaly["kind"].text);
            EXPECT_FALSE(anomaly["message"].text.empty()) << c.name;
        }
        EXPECT_EQ(kinds, c.kinds) << c.name;
        EXPECT_EQ(report["status"].text, c.status) << c.name;
        EXPECT_EQ(report["disk_count"].integer(), c.disks) << c.name;
        if (c.headerSize != 0) {
            EXPECT_EQ(report["disks"][0]["header_size"].integer(), c.headerSize) << c.name;
        }
        if (c.geometry != nullptr) {
            EXPECT_EQ(geometry(report["disks"][0]), c.geometry) << c.name;
        }

        const std::string text = runWith({"d88info", image}).out;
        // A file that is no image is told in a line of the judgement alone.
        const bool foreign = c.status == std::string("not-an-image");
        const std::string first = image + ": " + c.status + (foreign ? ": not a D88 image" : "");
        EXPECT_EQ(lines(text).front().substr(0, foreign ? first.size() : std::string::npos), first) << c.name;
        for (const std::string& kind : foreign ? Kinds() : kinds) {
            EXPECT_NE(text.find(kind), std::string::npos) << c.name << ": " << kind;
        }
    }
}

TEST_F(D88infoTest, TheCommandLineBehavesAsDocumented)
{
    const std::string whole = images_.write("whole.d88", d88build::standardDisk(1, 8, 3, 1).build());
    const std::string damaged = images_.write("-cut.d88", d88build::slice(d88build::standardDisk(1, 8, 3, 1).build(), 0, 3000));
    const std::string missing = images_.file("missing.d88");
    testsupport::TempDir elsewhere;
    const std::string sameName = elsewhere.write("whole.d88", d88build::standardDisk(1, 8, 3, 2).build());
    struct Case {
        std::vector<std::string> argv;
        int status;
        std::string outStart;
        std::string err;
        std::vector<std::string> maps = {};  // drawn into the working folder
    };
    std::vector<Case> cases = {
        {{"d88info", "--help"}, 0, "Usage: d88info [OPTION]... IMAGE...\n", ""},
        {{"d88info", "-V"}, 0, "d88info (d88image) 1.2.0\n", ""},
        {{"d88info"}, 1, "", "d88info: no image given\nTry 'd88info --help' for more information.\n"},
        {{"d88info", "--bogus", whole}, 1, "",
         "d88info: unknown option '--bogus'\nTry 'd88info --help' for more information.\n"},
        {{"d88info", whole}, 0, whole + ": ", ""},
        {{"d88info", "--", damaged}, 3, damaged + ": ", ""},
        {{"d88info", whole, missing, damaged}, 1, whole + ": ",
         "d88info: " + missing + ": cannot be read: No such file or directory\n"},
        {{"d88info", "--map", "one.svg", whole}, 0, whole + ": ", "", {"one.svg"}},
        {{"d88info", "--map", "maps", whole, sameName, missing, damaged}, 1, whole + ": ",
         "d88info: " + missing + ": cannot be read: No such file or directory\n",
         {"maps/whole.svg", "maps/whole-2.svg", "maps/-cut.svg"}},
        {{"d88info", "--map"}, 1, "",
         "d88info: option '--map' needs a file or a folder\nTry 'd88info --help' for more information.\n"},
        {{"d88info", "--map", whole + "/", whole}, 2, whole + ": ", "d88info: " + whole + "/whole.svg: cannot write the map: "},
    };
    if (!testsupport::windowsPrograms()) {
        // Refused before it is opened: a FIFO without a writer would block.
        const std::string fifo = images_.file("fifo.d88");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        cases.push_back({{"d88info", fifo}, 1, fifo + ": cannot be read: not a regular file\n",
                         "d88info: " + fifo + ": cannot be read: not a regular file\n"});
    }
    for (const auto& c : cases) {
        const RunResult result = runWith(c.argv);
        EXPECT_EQ(result.status, c.status) << c.argv.back();
        EXPECT_EQ(result.out.substr(0, c.outStart.size()), c.outStart) << c.argv.back();
        // A reason given by the system is not compared.
        const bool reasonFollows = !c.err.empty() && c.err.back() == ' ';
        EXPECT_EQ(reasonFollows ? result.err.substr(0, c.err.size()) : result.err, c.err) << c.argv.back();
        // The maps drawn, and nothing else: no temporary file is left.
        std::vector<std::string> drawn;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(work_.path())) {
            if (entry.is_regular_file()) {
                drawn.push_back(std::filesystem::relative(entry.path(), work_.path()).generic_string());
            }
        }
        std::sort(drawn.begin(), drawn.end());
        std::vector<std::string> expected = c.maps;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(drawn, expected) << c.argv.back();
        for (const std::string& map : drawn) {
            const Bytes svg = testsupport::readFile(work_.file(map));
            DrawnMap read;
            std::string error;
            EXPECT_TRUE(readMap(std::string(svg.begin(), svg.end()), read, error)) << map << ": " << error;
            std::filesystem::remove(work_.file(map));
        }
    }
}

// A Shift-JIS name is shown decoded, with its stored bytes beside it, and
// given decoded in the JSON report, null when it does not decode; tracks
// that look alike share a line, which -v splits and --sectors extends by a
// line per record.
TEST_F(D88infoTest, TheTextReportShowsNamesWithoutLossAndEveryRecordWhenAsked)
{
    const std::string image = images_.write("named.d88", Disk()
                                                             .name("\x82\xa0" "A\\B")
                                                             .media(0x10)
                                                             .track(0, {{0, 0, 7, 3, 1, Bytes(1024, 5)}})
                                                             .track(1, {{0, 1, 7, 3, 1, Bytes(1024, 6)}})
                                                             .track(2, {{1, 0, 7, 3, 1, Bytes(1024, 7)}})
                                                             .build());
    const std::string folded = runWith({"d88info", image}).out;
    EXPECT_NE(folded.find("\"\xe3\x81\x82" "A\\B\""), std::string::npos) << folded;
    EXPECT_NE(folded.find("\"\\x82\\xa0A\\\\B\""), std::string::npos) << folded;
    const Value disk = reportOn(image)["disks"][0];
    EXPECT_EQ(disk["name_hex"].text, "82a0415c42");
    EXPECT_EQ(disk["name"].text, "\xe3\x81\x82" "A\\B");
    EXPECT_TRUE(reportOn(images_.write("odd-name.d88", Disk().name("\x82").build()))["disks"][0]["name"].isNull());

    const auto trackLines = [](const std::string& text) {
        const std::vector<std::string> all = lines(text);
        return std::count_if(all.begin(), all.end(),
                             [](const std::string& line) {
            return line.find("track") != std::string::npos && line.find(" at 0x") != std::string::npos;
        });
    };
    const RunResult everyTrack = runWith({"d88info", "-v", image});
    const RunResult everyRecord = runWith({"d88info", "--sectors", image});
    EXPECT_EQ(everyTrack.status, 0);
    EXPECT_EQ(trackLines(folded), 1) << folded;
    EXPECT_EQ(trackLines(everyTrack.out), 3) << everyTrack.out;
    EXPECT_EQ(everyTrack.out, runWith({"d88info", "--tracks", image}).out);
    for (const char* position : {"0x000002b0", "0x000006c0", "0x00000ad0"}) {
        EXPECT_EQ(everyTrack.out.find(position), std::string::npos) << position;
        EXPECT_NE(everyRecord.out.find(position), std::string::npos) << position;
    }
}

// The default report is short: the three-disk sample's in at most 60
// lines that still name every disk and every file of the preview, and a
// disk chain that stands still or zero bytes after the last disk add a few
// lines, not a disk's worth each.
TEST_F(D88infoTest, TheDefaultReportIsShortAndNamesWhatMatters)
{
    const Bytes sound = d88build::standardDisk(32, 8, 153, 7).build();
    const struct {
        const char* name;
        Bytes image;
        std::size_t most;  // lines
    } cases[] = {
        {"three-disk sample", testsupport::readFile(SAMPLE_DIR "/three-disks.d88"), 60},
        {"sound disk", sound, 30},
        {"a disk size of 0", Disk(d88build::standardDisk(32, 8, 153, 7)).diskSize(0).build(), 40},
        {"zero bytes after the disk", d88build::concat({sound, Bytes(1000, 0)}), 35},
    };
    for (const auto& c : cases) {
        const std::string image = images_.write("image.d88", c.image);
        const std::string text = runWith({"d88info", image}).out;
        EXPECT_LE(lines(text).size(), c.most) << c.name << ":\n" << text;
        const Value report = reportOn(image);
        const bool foreign = report["status"].text == "not-an-image";  // told in the judgement's line alone
        for (const Value& disk : report["disks"].items) {
            if (!foreign && disk["same_as"].isNull() && !disk["blank"].boolean) {
                EXPECT_NE(text.find("disk " + std::to_string(disk["index"].integer()) + " "), std::string::npos) << c.name;
            }
        }
        for (const char* program : {"tablecut", "scancut"}) {
            for (const Value& cut : report[program].items) {
                EXPECT_NE(text.find(cut["name"].text), std::string::npos) << c.name << ": " << cut["name"].text;
            }
        }
    }
}

// A newcomer's words: a disk of no known kind says so plainly, the probes'
// details only under --tracks; a disk the file cuts short says so, not
// "mixed".
TEST_F(D88infoTest, TheReportSaysPlainlyWhatADiskIsNotAndThatItIsCutShort)
{
    const Bytes unknown = d88build::standardDisk(1, 8, 153, 7).build();
    const Bytes three = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    const Bytes cutShort(three.begin(), three.begin() + 1417760);
    const struct {
        const char* name;
        const Bytes& image;
        std::vector<std::string> options;
        std::vector<std::string> said, unsaid;
    } cases[] = {
        {"no known kind", unknown, {}, {"not one of the three disks tablecut knows"}, {"the probes look", "no known"}},
        {"no known kind, --tracks", unknown, {"--tracks"}, {"knows (the probes look on track 1"}, {}},
        {"cut short", cutShort, {}, {"8 x 1024 B (cut short)", "cut short by the end of the file"}, {"mixed"}},
    };
    for (const auto& c : cases) {
        const std::string image = images_.write("image.d88", c.image);
        std::vector<std::string> command = {"d88info"};
        command.insert(command.end(), c.options.begin(), c.options.end());
        command.push_back(image);
        // The report wraps its lines: the words are looked for in one.
        std::string text = runWith(command).out;
        std::replace(text.begin(), text.end(), '\n', ' ');
        text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
                   text.end());
        for (const std::string& words : c.said) {
            EXPECT_NE(text.find(words), std::string::npos) << c.name << ": " << words << " in\n" << text;
        }
        for (const std::string& words : c.unsaid) {
            EXPECT_EQ(text.find(words), std::string::npos) << c.name << ": " << words << " in\n" << text;
        }
    }
}
