// What both programs do alike with an image that holds nothing or cannot be
// read: the same outcome, each with its own wording of the open error.
#include "program_fixture.h"

#include <sys/stat.h>

using d88build::Bytes;
using testsupport::RunResult;

namespace {

struct Program {
    const char* path;
    const char* name;
    std::string cannotOpen;
    const char* sample;
    std::size_t sampleFiles;
};

// ファイルをオープンできません, with a full stop in tablecut's wording only.
const std::string kCannotOpen =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";

void PrintTo(const Program& program, std::ostream* out)
{
    *out << program.name;
}

const Program kPrograms[] = {
    {TABLECUT_PATH, "tablecut", kCannotOpen + ".\n", "three-disks.d88", 21},
    {SCANCUT_PATH, "scancut", kCannotOpen + "\n", "scan-disks.d88", 4},
};

class BothProgramsTest : public ProgramTest, public ::testing::WithParamInterface<Program> {
protected:
    BothProgramsTest() : ProgramTest(GetParam().path, GetParam().name) {}
};

}  // namespace

TEST_P(BothProgramsTest, AnImageWithoutACompleteDiskHeaderWritesNothing)
{
    for (std::size_t size : {0, 100, 687}) {
        const RunResult result = run(Bytes(size, 0x55));
        EXPECT_EQ(result.status, 0) << size;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "");
    }
    EXPECT_TRUE(outputs().empty());
}

TEST_P(BothProgramsTest, AnImageThatCannotBeOpenedOrReadIsReported)
{
    // Missing; a directory; a file whose first read fails with an I/O error
    // (the running program's own memory, unmapped at offset 0).
    for (const std::string& path : {images_.file("missing.d88"), images_.path(), std::string("/proc/self/mem")}) {
        const RunResult result = runOn(path);
        EXPECT_EQ(result.status, 1) << path;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, GetParam().cannotOpen);
    }
    EXPECT_TRUE(outputs().empty());
}

TEST_P(BothProgramsTest, AnImageWithoutReadPermissionIsReported)
{
    // Run unprivileged, as root may read any file.
    if (testsupport::windowsPrograms()) {
        GTEST_SKIP() << "Wine keeps its prefix per user; the unprivileged user has none";
    }
    const std::string image = images_.write("locked.d88", d88build::standardDisk(32, 8, 20, 1).build());
    ASSERT_EQ(chmod(image.c_str(), 0), 0);
    ASSERT_EQ(chmod(images_.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(work_.path().c_str(), 0777), 0);
    testsupport::RunOptions unprivileged;
    unprivileged.asUnprivileged = true;
    const RunResult result = testsupport::runProgram(GetParam().path, {GetParam().name, image}, work_.path(), unprivileged);
    if (!result.skipped.empty()) {
        GTEST_SKIP() << result.skipped;
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, GetParam().cannotOpen);
    EXPECT_TRUE(outputs().empty());
}

TEST_P(BothProgramsTest, StandardOutputThatCannotBeWrittenIsReportedAndTheFilesAreStillWritten)
{
    testsupport::RunOptions full;
    full.standardOutput = "/dev/full";
    const RunResult result = testsupport::runProgram(
        GetParam().path, {GetParam().name, std::string(SAMPLE_DIR) + "/" + GetParam().sample}, work_.path(), full);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, std::string(GetParam().name) + ": cannot write standard output: No space left on device\n");
    EXPECT_EQ(outputs().size(), GetParam().sampleFiles);
}

INSTANTIATE_TEST_SUITE_P(Programs, BothProgramsTest, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<Program>& info) { return std::string(info.param.name); });
