// End-to-end runs of the built d88cut: each image's folder holds exactly
// what tablecut or scancut write from it, checked by the real sha256sum and
// described by its manifest; nothing is overwritten unless asked, and a file
// is replaced whole or not at all.
#include "json_value.h"
#include "program_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

using d88build::Bytes;
using d88build::Disk;
using jsontest::Value;
using testsupport::RunResult;

namespace {

class D88cutTest : public ProgramTest {
protected:
    D88cutTest() : ProgramTest(D88CUT_PATH, "d88cut") {}

    // What a cutter program writes from image into an empty folder.
    static std::map<std::string, Bytes> programOutput(const char* path, const char* name, const std::string& image)
    {
        testsupport::TempDir folder;
        testsupport::runProgram(path, {name, image}, folder.path());
        return testsupport::filesIn(folder.path());
    }

    // A folder as the program shows it: a Windows program joins with '\'.
    static std::string shown(const std::string& directory, const std::string& name)
    {
        return directory + (testsupport::windowsPrograms() ? "\\" : "/") + name;
    }

    static Value json(const std::string& text)
    {
        Value value;
        std::string error;
        EXPECT_TRUE(jsontest::parse(text, value, error)) << error << "\n" << text;
        return value;
    }
};

// A Scenario Disk whose KX201 cannot start and whose KX207 runs into a short
// sector, twice, around an Event Disk: KX2xx of the last disk replace the
// first's, and KX207 is zero-padded.
Bytes damagedSet()
{
    auto scenario = [](std::uint32_t seed) {
        auto track16 = d88build::standardTrack(16, 32, 8, seed);
        track16.erase(track16.begin() + 3);
        auto track18 = d88build::standardTrack(18, 32, 8, seed);
        track18[6].data.resize(100);
        return d88build::standardDisk(32, 8, 20, seed).track(16, track16).track(18, track18).build();
    };
    return d88build::concat({scenario(7), d88build::standardDisk(48, 8, 90, 8).build(), scenario(9)});
}

Bytes scanDisk(std::uint32_t seed)
{
    Bytes content = d88build::scanFiller(64, seed);
    for (std::size_t block : {1, 20, 40, 50}) {
        const Bytes file = d88build::scanFile(3 + block % 4, seed + static_cast<std::uint32_t>(block));
        std::copy(file.begin(), file.end(), content.begin() + static_cast<std::ptrdiff_t>(block * 1024));
    }
    return d88build::linearDisk(content, 1).build();
}

}  // namespace

TEST_F(D88cutTest, EachFolderHoldsWhatTheCutterWritesWithSumsAndAManifest)
{
    const Bytes three = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    const struct {
        const char* name;
        Bytes image;
        std::vector<std::string> options;
        bool table;
        int status;
    } cases[] = {
        {"three-disk sample", three, {}, true, 0},
        {"three-disk sample scanned", three, {"--scan"}, false, 0},
        {"scan sample", testsupport::readFile(SAMPLE_DIR "/scan-disks.d88"), {}, false, 0},
        {"scan sample cut by table", testsupport::readFile(SAMPLE_DIR "/scan-disks.d88"), {"--table"}, true, 0},
        {"three-disk sample cut short", d88build::slice(three, 0, 1300000), {}, true, 3},
        {"damaged set", damagedSet(), {}, true, 3},
    };
    for (const auto& c : cases) {
        const std::string image = images_.write("game.d88", c.image);
        std::vector<std::string> argv = {"d88cut", "-q", "-C", work_.path()};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        argv.push_back(image);
        const RunResult result = runWith(argv);
        EXPECT_EQ(result.status, c.status) << c.name << "\n" << result.err;
        EXPECT_EQ(result.out, "") << c.name;

        const std::string folder = work_.file("game");
        auto files = testsupport::filesIn(folder);
        const Value manifest = json(std::string(files["manifest.json"].begin(), files["manifest.json"].end()));
        files.erase("manifest.json");
        files.erase("SHA256SUMS");
        const auto expected = c.table ? programOutput(TABLECUT_PATH, "tablecut", image)
                                      : programOutput(SCANCUT_PATH, "scancut", image);
        ASSERT_EQ(files.size(), expected.size()) << c.name;
        for (const auto& [name, bytes] : expected) {
            EXPECT_SAME_BYTES(bytes, files[name]) << c.name << ": " << name;
        }

        EXPECT_EQ(manifest["mode"].text, c.table ? "table" : "scan") << c.name;
        EXPECT_EQ(manifest["image_size"].integer(), static_cast<long long>(c.image.size())) << c.name;
        EXPECT_TRUE(manifest["problems"].items.empty()) << c.name;
        ASSERT_EQ(manifest["files"].items.size(), files.size()) << c.name;
        for (const Value& file : manifest["files"].items) {
            const Bytes& bytes = files[file["name"].text];
            const std::size_t supplied = static_cast<std::size_t>(file["supplied"].integer());
            EXPECT_EQ(static_cast<std::size_t>(file["size"].integer()), bytes.size()) << c.name;
            EXPECT_EQ(file["complete"].boolean, supplied == bytes.size()) << c.name << ": " << file["name"].text;
            EXPECT_TRUE(std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(supplied, bytes.size())),
                                    bytes.end(), [](unsigned char b) { return b == 0; }))
                << c.name << ": " << file["name"].text;
        }
        if (!files.empty()) {
            testsupport::RunOptions host;
            host.hostProgram = true;
            const RunResult check = testsupport::runProgram("/usr/bin/sha256sum",
                                                            {"sha256sum", "-c", "--strict", "SHA256SUMS"}, folder, host);
            EXPECT_EQ(check.status, 0) << c.name << "\n" << check.out << check.err;
            EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), static_cast<long>(files.size())) << c.name;
        }
        std::filesystem::remove_all(folder);
    }
}

TEST_F(D88cutTest, NothingIsOverwrittenUnlessForcedAndAFileIsReplacedWholeOrNotAtAll)
{
    const std::string image = images_.write("game.d88", scanDisk(1));
    const std::string folder = work_.file("game");
    const std::string victim = images_.write("victim", testsupport::toBytes("not to be written through"));
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    d88build::writeFile(folder + "/KX000", testsupport::toBytes("mine"));
    d88build::writeFile(folder + "/notes.txt", testsupport::toBytes("notes"));
    ASSERT_EQ(symlink(victim.c_str(), (folder + "/KX001").c_str()), 0);

    // In the way: nothing in the folder is touched.
    RunResult result = runWith({"d88cut", "-C", work_.path(), image});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "d88cut: " + image + ": skipped: " + shown(work_.path(), "game") +
                              " already holds KX000 and KX001; nothing was written (--force replaces them)\n");
    EXPECT_EQ(testsupport::filesIn(folder).size(), 3u);  // KX000, notes.txt, and the link's target
    EXPECT_SAME_BYTES(testsupport::toBytes("mine"), testsupport::readFile(folder + "/KX000"));

    // Forced: the files are replaced, the link itself rather than its target,
    // and what is not ours stays.
    const auto expected = programOutput(SCANCUT_PATH, "scancut", image);
    result = runWith({"d88cut", "--force", "-C", work_.path(), image});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, shown(work_.path(), "game") + ": 4 files, 0 incomplete\n");
    EXPECT_FALSE(std::filesystem::is_symlink(folder + "/KX001"));
    EXPECT_SAME_BYTES(testsupport::toBytes("not to be written through"), testsupport::readFile(victim));
    for (const auto& [name, bytes] : expected) {
        EXPECT_SAME_BYTES(bytes, testsupport::readFile(folder + "/" + name)) << name;
    }
    EXPECT_SAME_BYTES(testsupport::toBytes("notes"), testsupport::readFile(folder + "/notes.txt"));

    // Forced again from another image, on a disk too full for the larger
    // files: those keep their earlier contents, whole, and no part of the
    // new ones is left behind.
    if (testsupport::windowsPrograms()) {
        return;  // file size limits are a POSIX means
    }
    std::filesystem::create_directory(images_.file("other"));
    const std::string other = images_.write("other/game.d88", scanDisk(2));
    testsupport::RunOptions tight;
    tight.fileSizeLimit = 3500;
    result = testsupport::runProgram(D88CUT_PATH, {"d88cut", "--force", "-q", "-C", work_.path(), other}, work_.path(),
                                     tight);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("d88cut: " + folder + "/KX003: cannot write: File too large\n"), std::string::npos)
        << result.err;
    const auto now = testsupport::filesIn(folder);
    const auto newer = programOutput(SCANCUT_PATH, "scancut", other);
    for (const auto& [name, bytes] : expected) {
        EXPECT_SAME_BYTES(bytes.size() > 3500 ? bytes : newer.at(name), now.at(name)) << name;
    }
    for (const auto& [name, bytes] : now) {
        EXPECT_NE(name[0], '.') << "a temporary file was left behind: " << name;
    }
}

TEST_F(D88cutTest, TheCommandLineAndTheFolderNamesBehaveAsDocumented)
{
    const std::string good = images_.write("good.d88", scanDisk(3));
    std::filesystem::create_directory(images_.file("again"));
    const std::string again = images_.write("again/good.d88", scanDisk(4));
    const std::string bare = images_.write("bare", scanDisk(5));  // no extension: its folder name is taken
    const std::string missing = images_.file("missing/good.d88");
    const std::string out = work_.file("out");
    const std::string cannot = "d88cut: " + missing + ": cannot be read: No such file or directory\n";
    struct Case {
        std::vector<std::string> argv;
        int status;
        std::string out;
        std::string err;
    };
    std::vector<Case> cases = {
        {{"d88cut", "-V"}, 0, "d88cut (d88image) 1.2.0\n", ""},
        {{"d88cut"}, 1, "", "d88cut: no image given\nTry 'd88cut --help' for more information.\n"},
        {{"d88cut", "--table", "--scan", good}, 1, "",
         "d88cut: --table and --scan exclude each other\nTry 'd88cut --help' for more information.\n"},
        {{"d88cut", "-x", good}, 1, "", "d88cut: unknown option '-x'\nTry 'd88cut --help' for more information.\n"},
        {{"d88cut", "-nC", out, good}, 0, shown(out, "good") + ": would write 4 files, 0 incomplete\n", ""},
        // An image that cannot be read takes no folder name from the next.
        {{"d88cut", "-C", out, missing, good, again}, 1,
         shown(out, "good") + ": 4 files, 0 incomplete\n" + shown(out, "good-2") + ": 4 files, 0 incomplete\n", cannot},
        {{"d88cut", "-q", "-C", images_.path(), bare}, 0, "", ""},
        {{"d88cut", "-C", good, good}, 2, "",
         "d88cut: " + shown(good, "good") + ": cannot make the folder: Not a directory\n"},
        {{"d88cut", "-C", out, images_.path()}, 1, "", "d88cut: " + images_.path() + ": cannot be read: Is a directory\n"},
    };
    if (!testsupport::windowsPrograms()) {
        const std::string fifo = images_.file("fifo.d88");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        cases.push_back({{"d88cut", "-C", out, fifo}, 1, "", "d88cut: " + fifo + ": cannot be read: not a regular file\n"});
    }
    for (const auto& c : cases) {
        const RunResult result = runWith(c.argv);
        EXPECT_EQ(result.status, c.status) << c.argv.back();
        EXPECT_EQ(result.out, c.out) << c.argv.back();
        EXPECT_EQ(result.err, c.err) << c.argv.back();
    }
    EXPECT_EQ(testsupport::runProgram(D88CUT_PATH, {"d88cut", "--help"}, work_.path()).out.substr(0, 31),
              "Usage: d88cut [OPTION]... IMAGE");
    EXPECT_EQ(testsupport::filesIn(out + "/good").size(), 6u) << "4 files, the sums and the manifest";
    EXPECT_EQ(testsupport::filesIn(images_.file("bare-2")).size(), 6u);

    const RunResult report = runWith({"d88cut", "--json", "-n", "-C", out, good, missing});
    const Value document = json(report.out);
    ASSERT_EQ(document["images"].items.size(), 2u);
    const Value& skipped = document["images"][0];
    EXPECT_EQ(skipped["mode"].text, "scan");
    EXPECT_TRUE(skipped["skipped"].boolean);
    EXPECT_TRUE(skipped["files"].items.empty()) << "nothing is written when the folder holds the files";
    EXPECT_EQ(skipped["problems"][0]["name"].text, "KX000");
    EXPECT_TRUE(document["images"][1]["image_size"].isNull());
}

// A set kept one disk per file, cut with --merge, gives what tablecut writes
// from the files joined into one; without one of its disks, the set's
// manifest names the kind it lacks and that kind's files as missing.
TEST_F(D88cutTest, ASetKeptInSeveralFilesIsCutAsOne)
{
    const std::string whole = SAMPLE_DIR "/three-disks.d88";
    const Bytes three = testsupport::readFile(whole);
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < three.size();) {
        const std::size_t size = three[at + 0x1C] | three[at + 0x1D] << 8 | three[at + 0x1E] << 16 |
                                 static_cast<std::size_t>(three[at + 0x1F]) << 24;
        parts.push_back(images_.write("disk" + std::to_string(parts.size()) + ".d88", d88build::slice(three, at, size)));
        at += size;
    }
    ASSERT_EQ(parts.size(), 3u);
    std::vector<std::string> argv = {"d88cut", "--merge", "--name", "set", "-C", work_.path()};
    argv.insert(argv.end(), parts.begin(), parts.end());
    RunResult result = runWith(argv);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, shown(work_.path(), "set") + ": 21 files, 0 incomplete\n");
    auto files = testsupport::filesIn(work_.file("set"));
    const Value manifest = json(std::string(files["manifest.json"].begin(), files["manifest.json"].end()));
    files.erase("manifest.json");
    files.erase("SHA256SUMS");
    EXPECT_EQ(files, programOutput(TABLECUT_PATH, "tablecut", whole));
    EXPECT_EQ(manifest["images"].items.size(), 3u);
    EXPECT_EQ(manifest["files"][0]["image"].text, parts[0]);
    EXPECT_EQ(manifest["files"][20]["image"].text, parts[2]);
    EXPECT_TRUE(manifest["lacks"].items.empty());

    result = runWith({"d88cut", "--merge", "-C", work_.path(), parts[0], parts[2]});
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_EQ(result.out,
              shown(work_.path(), "disk0") + ": 9 files, 0 incomplete, 12 missing; the set lacks Scenario Disk\n");
    files = testsupport::filesIn(work_.file("disk0"));
    const Value lacking = json(std::string(files["manifest.json"].begin(), files["manifest.json"].end()));
    ASSERT_EQ(lacking["lacks"].items.size(), 1u);
    EXPECT_EQ(lacking["lacks"][0].text, "Scenario Disk");
    ASSERT_EQ(lacking["missing"].items.size(), 12u);
    EXPECT_EQ(lacking["missing"][0]["name"].text, "KX200");
    EXPECT_TRUE(lacking["missing"][0]["disk"].isNull());
}
