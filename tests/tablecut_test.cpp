// End-to-end runs of the built tablecut in a fresh folder: exit status,
// both output streams and every file written, byte for byte.
#include "program_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;
using testsupport::RunResult;

namespace {

const std::string kRecognised = " Disk \x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";  // を認識しました.
const std::string kProgram = "Program" + kRecognised;
const std::string kScenario = "Scenario" + kRecognised;
const std::string kEvent = "Event" + kRecognised;
constexpr int kLastTrack = 153;

std::string cutting(const std::vector<std::string>& names)
{
    std::string lines;
    for (const std::string& name : names) {
        lines += "cutting ... " + name + "\n";
    }
    return lines;
}

// What a run of length bytes from track t, sector r reads on a disk made by
// standardDisk(first, 8, ..., seed): sectors follow one another in order.
Bytes standardRun(int first, std::uint32_t seed, int t, int r, std::size_t length)
{
    Bytes bytes;
    for (int index = t * 8 + (r - first); bytes.size() < length; ++index) {
        const int track = index / 8;
        const Bytes data = d88build::pattern(seed + static_cast<std::uint32_t>(track * 256 + first + index % 8), 1024);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    bytes.resize(length);
    return bytes;
}

const std::vector<std::string> kScenarioNames = {"KX200", "KX201", "KX202", "KX203", "KX204", "KX205",
                                                 "KX206", "KX207", "KX208", "KX209", "KX210", "KX211"};
const std::vector<std::string> kEventNames = {"KX000", "KX001", "KX002", "KX003", "KX004", "KX005"};

class TablecutTest : public ProgramTest {
protected:
    TablecutTest() : ProgramTest(TABLECUT_PATH, "tablecut") {}
};

}  // namespace

TEST_F(TablecutTest, CutsTheProgramFilesFromTheirSectors)
{
    const auto track0 = d88build::standardTrack(0, 20, 4, 1);
    const auto track1 = d88build::standardTrack(1, 16, 5, 2);
    const RunResult result = run(Disk().track(0, track0).track(1, track1).build());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kProgram + cutting({"FMDRV", "BEEPDRV", "KX100"}));
    EXPECT_EQ(result.err, "");
    const auto files = outputs();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_SAME_BYTES(d88build::dataOf(track0), files.at("FMDRV"));
    EXPECT_SAME_BYTES(d88build::slice(d88build::dataOf(track1), 0, 4096), files.at("BEEPDRV"));
    EXPECT_SAME_BYTES(track1[4].data, files.at("KX100"));
}

TEST_F(TablecutTest, CutsEveryScenarioAndEventFileAcrossTracks)
{
    const RunResult result = run(d88build::concat({
        d88build::standardDisk(32, 8, kLastTrack, 200).build(),
        d88build::standardDisk(48, 8, kLastTrack, 300).build(),
    }));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kScenario + cutting(kScenarioNames) + kEvent + cutting(kEventNames));
    EXPECT_EQ(result.err, "");
    const auto files = outputs();
    ASSERT_EQ(files.size(), 18u);

    const struct {
        const char* name;
        int first;
        std::uint32_t seed;
        int track;
        int r;
        std::size_t length;
    } expected[] = {
        {"KX200", 32, 200, 16, 32, 3072}, {"KX201", 32, 200, 16, 35, 2048}, {"KX202", 32, 200, 16, 38, 2048},
        {"KX203", 32, 200, 17, 33, 2048}, {"KX204", 32, 200, 17, 36, 2048}, {"KX205", 32, 200, 17, 39, 2048},
        {"KX206", 32, 200, 18, 34, 3072}, {"KX207", 32, 200, 18, 37, 6144}, {"KX208", 32, 200, 19, 32, 3072},
        {"KX209", 32, 200, 19, 35, 3072}, {"KX210", 32, 200, 19, 38, 3072}, {"KX211", 32, 200, 20, 33, 1024},
        {"KX000", 48, 300, 3, 48, 2048},  {"KX001", 48, 300, 6, 48, 8192},  {"KX002", 48, 300, 6, 53, 3072},
        {"KX003", 48, 300, 48, 48, 1024}, {"KX004", 48, 300, 48, 50, 7168}, {"KX005", 48, 300, 85, 48, 4096},
    };
    for (const auto& file : expected) {
        EXPECT_SAME_BYTES(standardRun(file.first, file.seed, file.track, file.r, file.length), files.at(file.name))
            << file.name;
    }
    EXPECT_SAME_BYTES(files.at("KX208"), d88build::slice(files.at("KX207"), 3072, 3072));
    EXPECT_SAME_BYTES(files.at("KX002"), d88build::slice(files.at("KX001"), 5120, 3072));
}

TEST_F(TablecutTest, RecognitionNeedsTheExactProbeSectorWithData)
{
    // Track 1 of each disk carries a probe number under a wrong ID or with no
    // data; the last one has both 16 and 32 and is a Program Disk, though its
    // one-byte sectors are too short to start any of its files.
    auto probeDisk = [](std::vector<Record> track1) { return Disk().track(1, std::move(track1)).build(); };
    const Bytes data(1024, 0x11);
    const RunResult result = run(d88build::concat({
        probeDisk({{1, 1, 16, 3, 1, data}}),
        probeDisk({{0, 0, 32, 3, 1, data}}),
        probeDisk({{0, 1, 48, 2, 1, data}}),
        probeDisk({{0, 1, 16, 3, 1, {}}}),
        Disk().track(0, {{0, 1, 48, 3, 1, data}}).build(),
        probeDisk({{0, 1, 32, 3, 2, {1}}, {0, 1, 16, 3, 2, {2}}}),
    }));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kProgram);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(outputs().empty()) << "none of the Program files is on that disk";
}

TEST_F(TablecutTest, ALaterDiskOfTheSameKindReplacesTheEarlierFiles)
{
    const RunResult result = run(d88build::concat({
        d88build::standardDisk(32, 8, 20, 10).build(),
        d88build::standardDisk(1, 8, 20, 15).build(),
        d88build::standardDisk(32, 8, 20, 20).build(),
    }));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kScenario + cutting(kScenarioNames) + kScenario + cutting(kScenarioNames));
    const auto files = outputs();
    ASSERT_EQ(files.size(), 12u);
    EXPECT_SAME_BYTES(standardRun(32, 20, 16, 32, 3072), files.at("KX200"));
    EXPECT_SAME_BYTES(standardRun(32, 20, 20, 33, 1024), files.at("KX211"));
}

TEST_F(TablecutTest, AShortRunIsWrittenWholeWithZerosWhereSectorsAreMissing)
{
    Disk disk = d88build::standardDisk(32, 8, 20, 40);
    auto track18 = d88build::standardTrack(18, 32, 8, 40);
    track18[6].data.resize(100);  // sector 38, inside KX207
    disk.track(18, track18);
    auto track16 = d88build::standardTrack(16, 32, 8, 40);
    track16.erase(track16.begin() + 3);  // sector 35: KX201 cannot start
    disk.track(16, track16);
    const RunResult result = run(disk.build());

    std::vector<std::string> names = kScenarioNames;
    names.erase(names.begin() + 1);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kScenario + cutting(names));
    EXPECT_EQ(result.err, "");
    const auto files = outputs();
    EXPECT_EQ(files.count("KX201"), 0u);
    // KX206 filled the buffer with 3072 bytes just before; none of them may
    // show through behind KX207's short sector.
    Bytes kx207 = standardRun(32, 40, 18, 37, 1024);
    const Bytes partial = d88build::slice(track18[6].data, 0, 100);
    kx207.insert(kx207.end(), partial.begin(), partial.end());
    kx207.resize(6144, 0);
    EXPECT_SAME_BYTES(kx207, files.at("KX207"));
}

TEST_F(TablecutTest, AFileThatCannotBeWrittenIsReportedAndTheRestAreWritten)
{
    // One name is taken by a directory. Another is a link to a full disk:
    // the file replaces the link rather than being written through it.
    ASSERT_EQ(mkdir(work_.file("KX002").c_str(), 0700), 0);
    // (A link is a thing of this system's: Wine's file calls follow it to the
    // device, which a Windows program never meets.)
    if (!testsupport::windowsPrograms()) {
        ASSERT_EQ(symlink("/dev/full", work_.file("KX004").c_str()), 0);
    }
    const RunResult result = run(d88build::standardDisk(48, 8, 90, 50).build());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, kEvent + cutting(kEventNames));
    EXPECT_EQ(result.err, "tablecut: cannot write KX002: " + testsupport::directoryInTheWayReason() + "\n");
    const auto files = outputs();
    EXPECT_EQ(files.size(), 5u);
    EXPECT_SAME_BYTES(standardRun(48, 50, 48, 48, 1024), files.at("KX003"));
    EXPECT_SAME_BYTES(standardRun(48, 50, 48, 50, 7168), files.at("KX004"));
    EXPECT_SAME_BYTES(standardRun(48, 50, 85, 48, 4096), files.at("KX005"));
}

TEST_F(TablecutTest, WrongArgumentCountsGiveTheUsageLine)
{
    for (const std::vector<std::string>& argv : std::vector<std::vector<std::string>>{
             {"./tablecut"}, {"my-tablecut", "a.d88", "b.d88"}, {}, {""}}) {
        // With no argv[0] at all (or an empty one, which is what Linux makes
        // of an empty argument list) the program names itself.
        const RunResult result = runWith(argv);
        const std::string name =
            testsupport::shownProgramName(TABLECUT_PATH, argv.empty() || argv[0].empty() ? "tablecut" : argv[0]);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "Usage: " + name + " [d88file]\n");
    }
    EXPECT_TRUE(outputs().empty());
}

TEST_F(TablecutTest, TheSampleImageGivesAllTwentyOneFiles)
{
    const RunResult result = runOn(SAMPLE_DIR "/three-disks.d88");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kProgram + cutting({"FMDRV", "BEEPDRV", "KX100"}) + kScenario + cutting(kScenarioNames) +
                              kEvent + cutting(kEventNames));
    EXPECT_EQ(outputs().size(), 21u);
}
