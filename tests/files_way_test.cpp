// End-to-end runs of the file-system way: built disks of each file system
// (and an mtools-made FAT12 disk) through d88cut --files give the files the
// builder put there, byte for byte, folders as folders; a disk cut short
// gives each file complete, zero-padded or missing as the bytes say, and a
// loop or disagreeing table copies are the survey's damage, with status 3;
// d88info names the file system, lists the files and agrees in
// its JSON; the default takes the file systems where no table kind is
// known; a raw image is told as one by both programs.
#include "file_system_builder.h"
#include "json_value.h"
#include "program_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

using d88build::Bytes;
using d88build::FVolume;
using d88build::HuVolume;
using d88build::N88Volume;
using jsontest::Value;
using testsupport::RunResult;

namespace {

// A track side of a built 2D disk in the D88 file: header, then 16 records
// of 256 bytes with their 16-byte headers.
constexpr std::size_t kTrack2D = 16 * (16 + 256);
constexpr std::size_t kHeader = 0x2B0;

// Every regular file under folder, by its path within it.
std::map<std::string, Bytes> filesUnder(const std::string& folder)
{
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), folder).generic_string()] =
                testsupport::readFile(entry.path().string());
        }
    }
    return files;
}

Value json(const std::string& text)
{
    Value value;
    std::string error;
    EXPECT_TRUE(jsontest::parse(text, value, error)) << error << "\n" << text;
    return value;
}

struct Disk {
    Bytes image;
    std::map<std::string, Bytes> files;  // what --files must write, by path
};

struct Case {
    const char* name;
    const char* type;      // the JSON's file_system type
    const char* line;      // what d88info's disk line says
    std::function<Disk(const testsupport::TempDir&)> build;
    int status;                          // d88cut --files
    std::set<std::string> incomplete;    // of the files, those zero-padded
    std::set<std::string> missing;       // those not written
    std::set<std::string> damage;        // the manifest's kinds of damage
};

const Case kCases[] = {
    {"N88-BASIC 2D", "n88-basic", "files: N88-BASIC 2D: 2 files",
     [](const testsupport::TempDir&) {
         N88Volume v("2D");
         Disk d;
         d.files["GAME.BAS"] = v.file("GAME  BAS", 0x80, {10, 12, 5}, 3, 1);
         d.files["DATA"] = v.file("DATA", 0x01, {20}, 8, 2);
         d.image = v.image.disk(v.media).build();
         return d;
     },
     0, {}, {}, {}},
    {"Hu-BASIC 2D", "hu-basic", "files: Hu-BASIC 2D: 1 file",
     [](const testsupport::TempDir&) {
         HuVolume v("2D");
         Disk d;
         d.files["GAME.Bin"] = v.file("GAME", "Bin", 0x01, {5, 9, 3}, 1, 2 * 4096 + 300, 1);
         d.image = v.image.disk(v.media).build();
         return d;
     },
     0, {}, {}, {}},
    {"F-BASIC 2D", "f-basic", "files: F-BASIC 2D: 1 file",
     [](const testsupport::TempDir&) {
         FVolume v("2D");
         Disk d;
         d.files["PROG"] = v.file("PROG", 0, false, {10, 3, 20}, 5, 1);
         d.image = v.image.disk(v.media).build();
         return d;
     },
     0, {}, {}, {}},
    {"FAT12 720 KB made by mtools, with a folder", "fat12", "files: FAT12 720 KiB: 2 files",
     [](const testsupport::TempDir& dir) {
         Disk d;
         d.files["ROOT.TXT"] = testsupport::toBytes("in the root\n");
         d.files["SUB/INNER.BIN"] = Bytes(5000, 0x5A);
         for (const auto& [path, bytes] : d.files) {
             dir.write(std::filesystem::path(path).filename().string(), bytes);
         }
         std::string steps = "cd '" + dir.path() + "'";
         for (const char* step : {"mformat -C -f 720 -i fat.img ::", "mmd -i fat.img ::SUB",
                                  "mcopy -i fat.img ROOT.TXT ::", "mcopy -i fat.img INNER.BIN ::SUB"}) {
             steps += std::string(" && MTOOLS_SKIP_CHECK=1 MTOOLSRC=/dev/null ") + step;
         }
         if (std::system((steps + " >/dev/null 2>&1").c_str()) != 0) {
             return Disk{};  // no mtools here
         }
         d.image = d88build::SectorImage::fromRaw(testsupport::readFile(dir.file("fat.img")), 2, 9, 2).disk(0x10).build();
         return d;
     },
     0, {}, {}, {}},
    // Cut inside track 38 after its first cluster and a little: KEPT lies
    // whole before the cut, HALF's second cluster is cut, GONE lies past it.
    {"N88-BASIC 2D cut short", "n88-basic", "files: N88-BASIC 2D: 3 files",
     [](const testsupport::TempDir&) {
         N88Volume v("2D");
         Disk d;
         d.files["KEPT"] = v.file("KEPT", 0x80, {20}, 8, 1);
         Bytes half = v.file("HALF", 0x80, {76, 77}, 8, 2);
         const Bytes gone = v.file("GONE", 0x80, {78}, 8, 3);
         const Bytes whole = v.image.disk(v.media).build();
         const std::size_t cut = kHeader + 38 * kTrack2D + 8 * (16 + 256) + 16 + 100;
         d.image = d88build::slice(whole, 0, cut);
         std::fill(half.begin() + 8 * 256 + 100, half.end(), 0);
         d.files["HALF"] = half;
         return d;
     },
     3, {"HALF"}, {"GONE"}, {"truncated", "short-sector", "walk-past-end-of-file"}},
    {"N88-BASIC 2D with a loop and table copies that disagree", "n88-basic", "files: N88-BASIC 2D: 2 files",
     [](const testsupport::TempDir&) {
         N88Volume v("2D");
         Disk d;
         d.files["LOOP"] = v.file("LOOP", 0x80, {30, 31}, 8, 6);
         v.link(31, 30);
         d.files["KEPT"] = v.file("KEPT", 0x80, {50, 51}, 2, 10);
         v.link(51, 0xC5, 1);  // outvoted by the two other copies
         d.image = v.image.disk(v.media).build();
         return d;
     },
     3, {}, {}, {"file-damage", "file-system-damage"}},
};

class FilesWayTest : public ProgramTest {
protected:
    FilesWayTest() : ProgramTest(D88CUT_PATH, "d88cut") {}
    static RunResult info(const std::vector<std::string>& argv, const std::string& cwd)
    {
        return testsupport::runProgram(D88INFO_PATH, argv, cwd);
    }
};

TEST_F(FilesWayTest, EachFileSystemGivesItsFilesAndD88infoAgrees)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir scratch;
        const Disk disk = c.build(scratch);
        if (disk.image.empty()) {
            std::printf("skipped %s: mtools is not installed\n", c.name);
            continue;
        }
        const std::string image = images_.write("disk.d88", disk.image);
        for (const bool asked : {true, false}) {  // --files, and the default's choice
            testsupport::TempDir out;
            std::vector<std::string> argv = {"d88cut", "-C", out.path(), image};
            if (asked) {
                argv.insert(argv.begin() + 1, "--files");
            }
            const RunResult cut = runWith(argv);
            EXPECT_EQ(cut.status, c.status) << cut.err;
            std::map<std::string, Bytes> got = filesUnder(out.path() + "/disk");
            const Bytes& manifestBytes = got["manifest.json"];
            const Value manifest = json(std::string(manifestBytes.begin(), manifestBytes.end()));
            EXPECT_EQ(manifest["mode"].text, "files");
            got.erase("manifest.json");
            got.erase("SHA256SUMS");
            std::map<std::string, Bytes> expected = disk.files;
            for (const std::string& name : c.missing) {
                expected.erase(name);
            }
            ASSERT_EQ(got.size(), expected.size());
            for (const auto& [path, bytes] : expected) {
                EXPECT_SAME_BYTES(bytes, got[path]) << path;
            }
            for (const Value& file : manifest["files"].items) {
                EXPECT_EQ(file["complete"].boolean, c.incomplete.count(file["name"].text) == 0) << file["name"].text;
                EXPECT_FALSE(file["file_system"].text.empty());
            }
            std::set<std::string> missing;
            for (const Value& file : manifest["missing"].items) {
                missing.insert(file["name"].text);
            }
            EXPECT_EQ(missing, c.missing);
            std::set<std::string> damage;
            for (const Value& found : manifest["damage"].items) {
                damage.insert(found["kind"].text);
            }
            EXPECT_EQ(damage, c.damage);
        }

        const RunResult text = info({"d88info", "--files", image}, work_.path());
        EXPECT_NE(text.out.find(c.line), std::string::npos) << text.out;
        EXPECT_EQ(text.out.find("  incomplete: sector") != std::string::npos, !c.incomplete.empty()) << text.out;
        EXPECT_EQ(text.out.find("  missing: sector") != std::string::npos, !c.missing.empty()) << text.out;
        const Value report = json(info({"d88info", "--json", image}, work_.path()).out);
        const Value& fileSystem = report["images"][0]["disks"][0]["file_system"];
        EXPECT_EQ(fileSystem["type"].text, c.type);
        std::size_t listed = 0;
        for (const Value& file : fileSystem["files"].items) {
            if (file["type"].text == "folder") {
                continue;
            }
            ++listed;
            const std::string& path = file["path"].text;
            EXPECT_EQ(file["complete"].boolean, c.incomplete.count(path) == 0 && c.missing.count(path) == 0) << path;
            EXPECT_EQ(file["damaged_sectors"].items.empty(), file["complete"].boolean) << path;
        }
        EXPECT_EQ(listed, disk.files.size() + c.missing.size());
        EXPECT_EQ(report["images"][0]["status"].text, c.status == 0 ? "ok" : "damaged");

        // The map tells the directory and the allocation table apart, and
        // outlines each file written.
        info({"d88info", "--map", "disk.svg", image}, work_.path());
        const Bytes drawn = testsupport::readFile(work_.path() + "/disk.svg");
        const std::string svg(drawn.begin(), drawn.end());
        EXPECT_NE(svg.find("the directory of "), std::string::npos);
        EXPECT_NE(svg.find("the allocation table of "), std::string::npos);
        for (const auto& [path, bytes] : disk.files) {
            EXPECT_NE(svg.find(path.substr(path.rfind('/') + 1)), std::string::npos) << path;
        }
    }
}

// An image of several disks puts each disk's files in disk-N/, and so does
// a set of one-disk images cut together, numbering its disks on.
TEST_F(FilesWayTest, SeveralDisksGoIntoTheirOwnFolders)
{
    N88Volume first("2D");
    const Bytes a = first.file("A", 0x80, {10}, 8, 1);
    N88Volume second("2D");
    const Bytes b = second.file("B", 0x80, {11}, 8, 2);
    // A file of which the image holds nothing: missing, named in its folder.
    second.file("GONE", 0x80, {70}, 8, 3);
    for (int i = 0; i < 8; ++i) {
        second.image.drop(second.sectorOf(70, i));
    }
    const Bytes one = first.image.disk(first.media).build();
    const Bytes two = second.image.disk(second.media).build();
    const std::map<std::string, Bytes> expected = {{"disk-0/A", a}, {"disk-1/B", b}};

    const std::string p1 = images_.write("set-1.d88", one);
    const std::string p2 = images_.write("set-2.d88", two);
    const std::string both = images_.write("both.d88", d88build::concat({one, two}));
    const struct {
        std::vector<std::string> command;
        std::string folder;
    } runs[] = {{{"--files", both}, "both"}, {{"--files", "--merge", p1, p2}, "set-1"}};
    for (const auto& run : runs) {
        testsupport::TempDir out;
        std::vector<std::string> command = {"d88cut", "-C", out.path()};
        command.insert(command.end(), run.command.begin(), run.command.end());
        EXPECT_EQ(runWith(command).status, 3) << run.folder;
        std::map<std::string, Bytes> got = filesUnder(out.path() + "/" + run.folder);
        const Value manifest = json(std::string(got["manifest.json"].begin(), got["manifest.json"].end()));
        got.erase("manifest.json");
        got.erase("SHA256SUMS");
        EXPECT_EQ(got, expected) << run.folder;
        const std::vector<Value>& missing = manifest["missing"].items;
        ASSERT_EQ(missing.size(), 1u) << run.folder;
        EXPECT_EQ(missing[0]["name"].text, "disk-1/GONE") << run.folder;
    }
}

// A disk's file named as the folder's checksum list takes the next name.
TEST_F(FilesWayTest, AFileOfOurListsNameTakesTheNext)
{
    HuVolume v("2D");
    const Bytes sums = v.file("SHA256SUMS", "", 0x01, {5}, 1, 300, 1);
    const std::string image = images_.write("sums.d88", v.image.disk(v.media).build());
    EXPECT_EQ(runWith({"d88cut", "--files", "-C", work_.path(), image}).status, 0);
    const std::map<std::string, Bytes> got = filesUnder(work_.file("sums"));
    ASSERT_EQ(got.count("SHA256SUMS-2"), 1u);
    EXPECT_SAME_BYTES(sums, got.at("SHA256SUMS-2"));
    const Bytes& list = got.at("SHA256SUMS");
    EXPECT_NE(std::string(list.begin(), list.end()).find("  SHA256SUMS-2\n"), std::string::npos);
}

// A raw 2D image is no D88 image, and both programs say what it is and how
// to make one of it.
TEST_F(FilesWayTest, ARawImageIsToldAsOneByBothPrograms)
{
    const std::string image = images_.write("testimg.2d", Bytes(327680, 0xE5));
    const std::string said =
        "not a D88 image; its size is that of a raw 2D image (40 x 2 x 16 x 256) or a raw 320 KB image (40 x 2 x 8 x "
        "512): d88convert " +
        image + " " + images_.file("testimg.d88") + " makes one";
    const RunResult cut = runWith({"d88cut", "-C", work_.path(), image});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find(said), std::string::npos) << cut.err;
    EXPECT_FALSE(std::filesystem::exists(work_.file("testimg")));

    const RunResult text = info({"d88info", image}, work_.path());
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.err.find(said), std::string::npos) << text.err;
    EXPECT_EQ(text.out.rfind(image + ": not-an-image: not a D88 image", 0), 0u) << text.out;
    const Value report = json(info({"d88info", "--json", image}, work_.path()).out);
    EXPECT_EQ(report["images"][0]["status"].text, "not-an-image");
    EXPECT_EQ(report["images"][0]["error"].text, said);
}

}  // namespace
