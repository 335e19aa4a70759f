// End-to-end runs of the built scancut in a fresh folder: exit status,
// both output streams and every file written, byte for byte.
#include "program_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;
using testsupport::RunResult;

namespace {

constexpr std::size_t kBlock = 1024;

void place(Bytes& content, std::size_t block, const Bytes& file)
{
    std::copy(file.begin(), file.end(), content.begin() + static_cast<std::ptrdiff_t>(block * kBlock));
}

class ScancutTest : public ProgramTest {
protected:
    ScancutTest() : ProgramTest(SCANCUT_PATH, "scancut") {}
};

}  // namespace

TEST_F(ScancutTest, FilesAreNumberedAcrossTwoDisksAndTheStaleTailIsScannedAgain)
{
    const Bytes a = d88build::scanFile(3, 1), b = d88build::scanFile(4, 2), c = d88build::scanFile(5, 3);
    Bytes first = d88build::scanFiller(1224, 10);
    place(first, 6, a);  // blocks 6..8 cross from track 0 into track 1
    place(first, 1000, b);
    Bytes second = d88build::scanFiller(400, 20);
    place(second, 50, c);

    // Disk 0 keeps track 1's sectors in reverse order; disk 2 is never read.
    Disk disk0 = d88build::linearDisk(first, 1);
    std::vector<Record> track1;
    for (int i = 7; i >= 0; --i) {
        track1.push_back({0, 1, 1 + i, 3, 8, d88build::slice(first, (8 + static_cast<std::size_t>(i)) * kBlock, kBlock)});
    }
    disk0.track(1, track1);
    Bytes third = d88build::scanFiller(16, 30);
    place(third, 0, d88build::scanFile(3, 4));

    const RunResult result = run(d88build::concat({disk0.build(), d88build::linearDisk(second, 1).build(),
                                                   d88build::linearDisk(third, 1).build()}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "KX000\nKX001\nKX002\nKX003\n");
    EXPECT_EQ(result.err, "");
    const auto files = outputs();
    ASSERT_EQ(files.size(), 4u);
    EXPECT_SAME_BYTES(a, files.at("KX000"));
    EXPECT_SAME_BYTES(b, files.at("KX001"));
    EXPECT_SAME_BYTES(c, files.at("KX002"));
    EXPECT_SAME_BYTES(b, files.at("KX003")) << "disk 1 ends before block 1000: disk 0's file is still there";
}

TEST_F(ScancutTest, AFileThatCannotBeWrittenIsReportedAndTheScanGoesOn)
{
    Bytes content = d88build::scanFiller(64, 5);
    place(content, 1, d88build::scanFile(3, 6));
    place(content, 20, d88build::scanFile(3, 7));
    place(content, 40, d88build::scanFile(3, 8));
    place(content, 50, d88build::scanFile(4, 9));
    // A directory in the way; a link to a full disk, which the file
    // replaces rather than being written through it.
    ASSERT_EQ(mkdir(work_.file("KX001").c_str(), 0700), 0);
    // (A link is a thing of this system's: Wine's file calls follow it to the
    // device, which a Windows program never meets.)
    if (!testsupport::windowsPrograms()) {
        ASSERT_EQ(symlink("/dev/full", work_.file("KX002").c_str()), 0);
    }
    const RunResult result = run(d88build::linearDisk(content, 1).build());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "KX000\nKX001\nKX002\nKX003\n");
    EXPECT_EQ(result.err, "scancut: cannot write KX001: " + testsupport::directoryInTheWayReason() + "\n");
    const auto files = outputs();
    EXPECT_EQ(files.size(), 3u);
    EXPECT_SAME_BYTES(d88build::scanFile(3, 6), files.at("KX000"));
    EXPECT_SAME_BYTES(d88build::scanFile(3, 8), files.at("KX002"));
    EXPECT_SAME_BYTES(d88build::scanFile(4, 9), files.at("KX003"));
}

TEST_F(ScancutTest, WrongArgumentCountsGiveTheUsageLine)
{
    for (const std::vector<std::string>& argv :
         std::vector<std::vector<std::string>>{{"scancut"}, {"./other", "a.d88", "b.d88"}, {}}) {
        const RunResult result = runWith(argv);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "Usage: scancut [d88file]\n");
    }
}

TEST_F(ScancutTest, TheSampleImageGivesFourFiles)
{
    const RunResult result = runOn(SAMPLE_DIR "/scan-disks.d88");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "KX000\nKX001\nKX002\nKX003\n");
    const auto files = outputs();
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files.at("KX000").size(), 3u * kBlock);
    EXPECT_EQ(files.at("KX003").size(), 11u * kBlock);
}

TEST_F(ScancutTest, TheSampleCutInsideATrackGivesOnlyWhatTheFileHolds)
{
    // 10,000 bytes hold disk 0's header, track 0 whole (8 records of 16 +
    // 1024 bytes) and 976 data bytes of track 1's first sector. The file at
    // block 6 spans three blocks: sectors 7 and 8 of track 0, then those 976
    // bytes and zeros, for nothing else was ever laid in there.
    const Bytes sample = testsupport::readFile(SAMPLE_DIR "/scan-disks.d88");
    ASSERT_GT(sample.size(), 10000u);
    const Bytes image = d88build::slice(sample, 0, 10000);
    const std::size_t track0 = 688, record = 16 + kBlock;
    Bytes expected = d88build::concat({d88build::slice(image, track0 + 6 * record + 16, kBlock),
                                       d88build::slice(image, track0 + 7 * record + 16, kBlock),
                                       d88build::slice(image, track0 + 8 * record + 16, kBlock)});
    ASSERT_EQ(expected.size(), 2 * kBlock + 976);
    expected.resize(3 * kBlock, 0);

    const RunResult result = run(image);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "KX000\n");
    EXPECT_EQ(result.err, "");
    const auto files = outputs();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_SAME_BYTES(expected, files.at("KX000"));
}
