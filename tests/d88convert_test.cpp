// d88convert run as a user runs it, in a fresh folder: split and join of
// the samples, writing as the other programs write, what a damaged disk
// says, and its raw images against floptool's.
#include "json_value.h"
#include "program_fixture.h"

using d88build::Bytes;
using d88build::Disk;
using testsupport::readFile;
using testsupport::RunResult;

namespace {

class D88convertTest : public ProgramTest {
protected:
    D88convertTest() : ProgramTest(D88CONVERT_PATH, "d88convert") {}

    RunResult convert(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "d88convert");
        return runWith(arguments);
    }
    std::string at(const std::string& name) const { return work_.file(name); }
};

// A standard PC-98 2HD disk: 77 x 2 tracks of 8 sectors of 1024 bytes.
Bytes standard2hd(std::uint32_t seed)
{
    return d88build::standardDisk(1, 8, 153, seed).build();
}

}  // namespace

TEST_F(D88convertTest, SplittingASampleAndJoiningThePartsGivesItBack)
{
    for (const char* sample : {"three-disks", "scan-disks"}) {
        SCOPED_TRACE(sample);
        const std::string path = std::string(SAMPLE_DIR) + "/" + sample + ".d88";
        const std::string folder = at(sample);
        if (std::string(sample) == "three-disks") {  // the other's folder is made by the split
            ASSERT_EQ(testsupport::runProgram("/bin/mkdir", {"mkdir", folder}, work_.path(), {0, {}, 0, 0, true}).status,
                      0);
        }
        const RunResult split = convert({"--split", path, folder});
        EXPECT_EQ(split.status, 0) << split.err;
        EXPECT_EQ(split.err, "");
        const auto parts = testsupport::filesIn(folder);
        std::vector<std::string> arguments;
        for (const auto& part : parts) {
            EXPECT_EQ(part.first.compare(0, std::string(sample).size() + 1, std::string(sample) + "-"), 0) << part.first;
            arguments.push_back(folder + "/" + part.first);
        }
        ASSERT_GE(arguments.size(), 2u);
        arguments.push_back(at(std::string(sample) + "-joined.d88"));
        const RunResult join = convert(arguments);
        EXPECT_EQ(join.status, 0) << join.err;
        EXPECT_SAME_BYTES(readFile(path), readFile(arguments.back()));
    }
}

// Sets whose disks do not fill the file: split writes what it can and says
// what it could not keep; join refuses them.
TEST_F(D88convertTest, ASetThatIsNotWholeIsSplitWithWhatItLostSaidAndNotJoined)
{
    const Bytes disk = standard2hd(7);
    struct Case {
        const char* what;
        Bytes set;
        std::size_t parts;
        const char* says;
    };
    Bytes cut = d88build::concat({disk, disk});
    cut.resize(cut.size() - 100);
    const Case cases[] = {
        {"bytes after the last disk", d88build::concat({disk, Bytes(10, 0x1A)}), 1,
         "set.d88: 10 bytes after the last disk are not part of any disk; left out\n"},
        {"the last disk cut short", cut, 2, "set.d88: disk 1 is cut short by the end of the file; written as it is\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string set = images_.write("set.d88", c.set);
        const std::string folder = at("parts");
        ASSERT_EQ(testsupport::runProgram("/bin/mkdir", {"mkdir", "-p", folder}, work_.path(), {0, {}, 0, 0, true}).status, 0);
        const RunResult split = convert({"--force", "--split", set, folder});
        EXPECT_EQ(split.status, 3);
        EXPECT_EQ(split.err, "d88convert: " + images_.path() + "/" + c.says);
        EXPECT_EQ(testsupport::filesIn(folder).size(), c.parts);
        EXPECT_SAME_BYTES(disk, readFile(folder + "/set-0.d88"));
        const RunResult join = convert({set, set, "joined.d88"});
        EXPECT_EQ(join.status, 1);
        EXPECT_NE(join.err.find("its disks do not fill it exactly"), std::string::npos) << join.err;
        EXPECT_FALSE(testsupport::filesIn(work_.path()).count("joined.d88"));
    }
}

TEST_F(D88convertTest, WritesAsTheOtherProgramsWriteAndSaysWhatItRefuses)
{
    const std::string image = images_.write("game.d88", standard2hd(5));
    const std::string set = images_.write("set.d88", d88build::concat({standard2hd(1), standard2hd(2)}));
    const Bytes before = testsupport::toBytes("keep me");
    const std::string taken = work_.write("game.hdm", before);

    RunResult result = convert({image, "game.hdm"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "d88convert: game.hdm: already exists; --force replaces it\n");
    EXPECT_SAME_BYTES(before, readFile(taken));

    result = convert({"--force", image, "game.hdm"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(taken).size(), 1261568u);

    result = convert({set, "set.hdm"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("it holds 2 disks and a raw image holds one: pick one with --disk N, or write each to a "
                              "file of its own with --split"),
              std::string::npos)
        << result.err;
    result = convert({"--disk", "1", set, "second.hdm"});
    EXPECT_EQ(result.status, 0) << result.err;
    result = convert({"--disk", "1", set, "second.d88"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_SAME_BYTES(standard2hd(2), readFile(at("second.d88")));

    result = convert({image, "no-such-folder/game.hdm"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("no-such-folder/game.hdm: cannot be written: "), std::string::npos) << result.err;

    testsupport::RunOptions full;
    full.standardOutput = "/dev/full";
    result = testsupport::runProgram(D88CONVERT_PATH, {"d88convert", "--json", image, "again.hdm"}, work_.path(), full);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("d88convert: cannot write standard output: "), std::string::npos) << result.err;

    const std::string raw = images_.write("testimg.d88", Bytes(327680, 0xE5));
    result = convert({raw, "x.hdm"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("not a D88 image; its size is that of a raw 2D image (40 x 2 x 16 x 256)"),
              std::string::npos)
        << result.err;

    for (const auto& [arguments, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{image}, "no output given"},
             {{"--geometry", "77x2x8x1000", image, "x.img"}, "--geometry takes"},
             {{"--name", "ABCDEFGHIJKLMNOPQ", "x.img", "x.d88"}, "a disk's name holds 16"},
             {{image, "x.zip"}, "its extension names no image format; name one with --to"},
         }) {
        result = convert(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    EXPECT_EQ(convert({"--help"}).status, 0);

    result = convert({"--name", "\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88 1", "--write-protect", "--first-r", "16",
                      "second.hdm", "named.d88"});
    EXPECT_EQ(result.status, 0) << result.err;
    const Bytes named = readFile(at("named.d88"));
    ASSERT_EQ(named.size(), 1281968u);
    EXPECT_SAME_BYTES(testsupport::toBytes("\x83\x65\x83\x58\x83\x67 1"), d88build::slice(named, 0, 8)) << "テスト 1";
    EXPECT_EQ(named[8], 0);
    EXPECT_EQ(named[0x1A], 0x10) << "write-protected";
    EXPECT_EQ(named[0x2B0 + 2], 16) << "R from 16";
    std::remove(at("named.d88").c_str());
    const auto left = outputs();
    EXPECT_EQ(left.size(), 4u) << "game.hdm, second.hdm, second.d88, again.hdm; nothing half written";
}

TEST_F(D88convertTest, ADamagedDiskIsWrittenWholeAndEveryLostSectorSaid)
{
    Bytes image = standard2hd(3);
    image.resize(image.size() - 3 * 1040 - 24);
    const std::string path = images_.write("cut.d88", image);
    const RunResult result = convert({"--json", path, "cut.hdm"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "d88convert: 3 sectors missing, filled with zeros: track 153 R 6-8\nd88convert: 1 sector cut "
                          "short by the end of the file, zeros after their bytes: track 153 R 5\n");
    const Bytes raw = readFile(at("cut.hdm"));
    ASSERT_EQ(raw.size(), 1261568u);
    jsontest::Value json;
    std::string error;
    ASSERT_TRUE(jsontest::parse(result.out, json, error)) << error;
    EXPECT_EQ(json["mode"].text, "to-raw");
    EXPECT_EQ(json["geometry"].text, "77 x 2 x 8 x 1024");
    EXPECT_FALSE(json["exact"].boolean);
    EXPECT_EQ(json["findings"][0]["kind"].text, "missing");
    EXPECT_EQ(json["findings"][0]["places"][0]["first_r"].integer(), 6);
    EXPECT_EQ(json["status"].integer(), 3);
}

// floptool, an independent reader of D88 and writer of raw images: the same
// raw bytes from each standard 2HD disk (and from the .fdi image made of
// it), and the raw bytes back from the D88 images d88convert makes of raw
// images of the sizes floptool writes.
TEST_F(D88convertTest, RawImagesAgreeWithFloptool)
{
    if (std::string(FLOPTOOL_PATH).empty()) {
        GTEST_SKIP() << "floptool is not installed (Debian package mame-tools)";
    }
    testsupport::RunOptions host;
    host.hostProgram = true;
    const auto floptool = [&](const char* format, const std::string& from, const std::string& to,
                              const char* fromFormat = "d88") {
        std::remove(to.c_str());
        const RunResult result = testsupport::runProgram(
            FLOPTOOL_PATH, {"floptool", "flopconvert", fromFormat, format, from, to}, work_.path(), host);
        EXPECT_EQ(result.status, 0) << result.err;
        return readFile(to);
    };
    for (std::uint32_t seed : {11u, 12u}) {
        const std::string image = images_.write("disk.d88", standard2hd(seed));
        ASSERT_EQ(convert({"--force", image, "ours.hdm"}).status, 0);
        EXPECT_SAME_BYTES(floptool("pc98", image, at("theirs.hdm")), readFile(at("ours.hdm")));
        ASSERT_EQ(convert({"--force", image, "ours.fdi"}).status, 0);
        EXPECT_SAME_BYTES(readFile(at("ours.hdm")), floptool("pc98", at("ours.fdi"), at("theirs.hdm"), "pc98_fdi"));
    }
    struct Kind {
        const char* file;
        std::size_t size;
        const char* format;  // floptool's
    };
    for (const Kind& kind : {Kind{"2hd.hdm", 1261568, "pc98"}, Kind{"2d.2d", 327680, "2d"},
                             Kind{"720k.img", 737280, "pc98"}}) {
        SCOPED_TRACE(kind.file);
        const Bytes raw = d88build::pattern(static_cast<std::uint32_t>(kind.size), kind.size);
        const std::string path = images_.write(kind.file, raw);
        ASSERT_EQ(convert({"--force", path, "back.d88"}).status, 0);
        EXPECT_SAME_BYTES(raw, floptool(kind.format, at("back.d88"), at("again.raw")));
        std::remove(at("again.raw").c_str());
    }
}
