// d88cut and d88info judge an image with the same survey: the files d88cut
// lists as missing are exactly those d88info's preview says tablecut would
// not write, the damage d88cut names is d88info's on the disks the cutter
// reads, and the exit status follows from both. Run in process, over the
// sample cut at every disk boundary and at many track starts, and over a
// table of damaged and foreign inputs.
#include "d88cut.h"
#include "d88info.h"
#include "file_storage.h"
#include "json_value.h"
#include "report_collector.h"
#include "test_support.h"

#include <d88image/d88image.h>

#include <algorithm>
#include <filesystem>
#include <set>

using d88build::Bytes;
using jsontest::Value;

namespace {

Value runJson(std::vector<std::string> args, int& status, bool cut)
{
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    ReportCollector report;
    if (cut) {
        FileStorage storage;
        status = runD88cut(static_cast<int>(args.size()), argv.data(), storage, report);
    } else {
        status = runD88info(static_cast<int>(args.size()), argv.data(), report);
    }
    Value value;
    std::string error;
    EXPECT_TRUE(jsontest::parse(report.text, value, error)) << error << "\n" << report.text;
    return value;
}

struct Judged {
    int infoStatus = 0;
    int cutStatus = 0;
    Value info;  // the image's d88info report
    Value cut;   // the image's d88cut manifest
};

Judged judge(const testsupport::TempDir& work, const Bytes& image, const std::vector<std::string>& options = {})
{
    const std::string path = work.write("image.d88", image);
    Judged judged;
    judged.info = runJson({"d88info", "--json", path}, judged.infoStatus, false)["images"][0];
    std::vector<std::string> args = {"d88cut", "--json", "-n", "-C", work.file("out")};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path);
    judged.cut = runJson(args, judged.cutStatus, true)["images"][0];
    return judged;
}

// "name@disk" for each file the table cutter's preview says is not written
// and no other disk writes.
std::multiset<std::string> notWritten(const Value& info)
{
    std::set<std::string> written;
    for (const Value& file : info["tablecut"].items) {
        if (file["written"].boolean) {
            written.insert(file["name"].text);
        }
    }
    std::multiset<std::string> names;
    for (const Value& file : info["tablecut"].items) {
        if (!file["written"].boolean && written.count(file["name"].text) == 0) {
            names.insert(file["name"].text + "@" + std::to_string(file["disk"].integer()));
        }
    }
    return names;
}

std::multiset<std::string> missing(const Value& manifest)
{
    std::multiset<std::string> names;
    for (const Value& file : manifest["missing"].items) {
        names.insert(file["name"].text + "@" + std::to_string(file["disk"].integer()));
    }
    return names;
}

// "kind@disk/track" of each damage anomaly on a disk the cutter reads.
std::vector<std::string> damage(const Value& anomalies, bool table, bool fromInfo)
{
    std::vector<std::string> found;
    for (const Value& anomaly : anomalies.items) {
        const long long disk = anomaly["disk"].isNull() ? -1 : anomaly["disk"].integer();
        if (fromInfo && (anomaly["severity"].text != "damage" || (!table && disk >= 2))) {
            continue;
        }
        const long long track = anomaly["track"].isNull() ? -1 : anomaly["track"].integer();
        found.push_back(anomaly["kind"].text + "@" + std::to_string(disk) + "/" + std::to_string(track));
    }
    return found;
}

}  // namespace

TEST(DamageAccount, TheCutListsAsMissingAndDamagedWhatTheReportFinds)
{
    testsupport::TempDir work;
    const Bytes sample = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    D88Image reader;
    ASSERT_TRUE(reader.open(SAMPLE_DIR "/three-disks.d88"));
    std::set<std::size_t> lengths;
    for (int d = 0; d < reader.diskCount(); ++d) {
        const std::uint64_t disk = reader.diskOffset(d);
        for (const std::uint64_t at : {disk, disk + 100, disk + 687, disk + 688, disk + 1000}) {
            lengths.insert(static_cast<std::size_t>(at));
        }
        reader.selectDisk(d);
        for (int t = 0; t < D88Image::kTrackCount; t += 7) {
            const std::uint64_t track = disk + reader.trackOffset(t);
            for (const std::uint64_t at : {track, track + 16 + 500, track + 3 * 1040 + 8}) {
                lengths.insert(static_cast<std::size_t>(at));
            }
        }
    }
    int wholeFilesButDamaged = 0;
    for (const std::size_t length : lengths) {
        const Judged j = judge(work, d88build::slice(sample, 0, length));
        const std::string at = "cut at " + std::to_string(length);
        if (j.info["disks"].items.empty() || j.cut["mode"].isNull()) {
            EXPECT_EQ(j.cutStatus, 1) << at;  // no D88 image left, or no track of it
            continue;
        }
        const bool table = j.cut["mode"].text == "table";
        EXPECT_EQ(missing(j.cut), table ? notWritten(j.info) : std::multiset<std::string>{}) << at;
        const auto damaged = damage(j.cut["damage"], table, false);
        EXPECT_EQ(damaged, damage(j.info["anomalies"], table, true)) << at;
        bool incomplete = false;
        for (const Value& file : j.cut["files"].items) {
            incomplete = incomplete || !file["complete"].boolean;
        }
        const bool anyMissing = !j.cut["missing"].items.empty();
        EXPECT_EQ(j.cutStatus, incomplete || anyMissing || !damaged.empty() ? 3 : 0) << at;
        wholeFilesButDamaged += !incomplete && !anyMissing && !damaged.empty() && !j.cut["files"].items.empty();
    }
    // Some cuts leave every file found whole and still damage a disk read.
    EXPECT_GT(wholeFilesButDamaged, 0);
}

TEST(DamageAccount, DamagedAndForeignInputsEndAsTheManifestSays)
{
    const Bytes sample = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    Bytes text;
    for (int i = 0; i < 200; ++i) {
        for (const char c : std::string("A line of plain text, no disk at all.\n")) {
            text.push_back(static_cast<unsigned char>(c));
        }
    }
    const Bytes blank = d88build::Disk().build();  // a disk with no track: unformatted, not damaged
    auto scenario = d88build::standardDisk(32, 8, 20, 5);
    auto track16 = d88build::standardTrack(16, 32, 8, 5);
    track16.erase(track16.begin());  // KX200's first sector
    const Bytes lostSector = scenario.track(16, track16).build();
    const struct {
        const char* name;
        Bytes image;
        std::vector<std::string> options;
        int status;
        std::size_t missing;
        std::string damageKinds;  // as the manifest lists them, in order, each once
    } cases[] = {
        {"sound sample", sample, {}, 0, 0, ""},
        {"plain text", text, {}, 1, 0, "-"},
        {"too short for a header", d88build::slice(sample, 0, 687), {}, 1, 0, "-"},
        {"zero bytes", Bytes(4096, 0), {}, 1, 0, "-"},
        {"blank disk", blank, {}, 0, 0, ""},
        {"a sector missing", lostSector, {}, 3, 1, ""},
        {"cut inside disk 1", d88build::slice(sample, 0, 1300000), {}, 3, 12, "walk-past-end-of-file short-sector truncated"},
        {"scanned, cut inside disk 1", d88build::slice(sample, 0, 1300000), {"--scan"}, 3, 0,
         "walk-past-end-of-file short-sector truncated"},
        {"scanned, cut inside disk 2, which the scan does not read", d88build::slice(sample, 0, 3000000), {"--scan"}, 0,
         0, ""},
    };
    testsupport::TempDir work;
    for (const auto& c : cases) {
        const Judged j = judge(work, c.image, c.options);
        EXPECT_EQ(j.cutStatus, c.status) << c.name;
        if (c.damageKinds == "-") {
            EXPECT_TRUE(j.cut["mode"].isNull()) << c.name;
            EXPECT_NE(j.cut["problems"][0]["problem"].text.find("not a D88 image"), std::string::npos) << c.name;
            continue;
        }
        EXPECT_EQ(j.cut["missing"].items.size(), c.missing) << c.name;
        std::string kinds;
        for (const Value& found : j.cut["damage"].items) {
            if (kinds.find(found["kind"].text) == std::string::npos) {
                kinds += (kinds.empty() ? "" : " ") + found["kind"].text;
            }
        }
        EXPECT_EQ(kinds, c.damageKinds) << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("out")));  // dry runs, and nothing for what is no image
}

// A file name that is not UTF-8 (Shift-JIS on Linux) keeps its exact bytes in
// the JSON of both programs.
TEST(DamageAccount, APathThatIsNotUtf8KeepsItsBytes)
{
    testsupport::TempDir work;
    const std::string name = "\x83Q\x81[\x83\x80";  // "ゲーム" in Shift-JIS
    const std::string path = work.write(name + ".d88", testsupport::readFile(SAMPLE_DIR "/three-disks.d88"));
    std::string hex;
    for (const unsigned char byte : path) {
        static const char kDigits[] = "0123456789abcdef";
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    int status = 0;
    const Value info = runJson({"d88info", "--json", path}, status, false);
    EXPECT_EQ(info["images"][0]["path_hex"].text, hex);
    const Value cut = runJson({"d88cut", "--json", "-n", "-C", work.file("out"), path}, status, true);
    EXPECT_EQ(cut["images"][0]["path_hex"].text, hex);
    EXPECT_FALSE(cut["images"][0]["folder_hex"].isNull());
}
