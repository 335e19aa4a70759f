// What both programs do alike with an image that holds nothing or cannot be
// read, and with files that cannot be written whole: the same outcome, each
// with its own wording of the open error.
#include "program_fixture.h"

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

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
    // Only a regular file is opened: a FIFO would block the open until a
    // writer came, /dev/urandom would be read without end. Each ends at
    // once; the time limit turns a hang into a failure.
    const std::string fifo = images_.file("fifo.d88");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        bool posixOnly;  // FIFOs and devices are not what Wine shows a Windows program
    } oddPaths[] = {
        {images_.file("missing.d88"), false},
        {images_.path(), false},              // a directory
        {"/proc/self/mem", false},            // a file whose first read fails (unmapped at offset 0)
        {fifo, true},
        {"/dev/urandom", true},
        {"/dev/null", true},
    };
    testsupport::RunOptions guarded;
    guarded.timeLimit = 10;
    for (const auto& odd : oddPaths) {
        if (odd.posixOnly && testsupport::windowsPrograms()) {
            continue;
        }
        const RunResult result =
            testsupport::runProgram(GetParam().path, {GetParam().name, odd.path}, work_.path(), guarded);
        EXPECT_EQ(result.status, 1) << odd.path;
        EXPECT_EQ(result.out, "") << odd.path;
        EXPECT_EQ(result.err, GetParam().cannotOpen) << odd.path;
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

TEST_P(BothProgramsTest, AFullDiskLeavesEachNameWholeOrAsItWas)
{
    if (testsupport::windowsPrograms()) {
        GTEST_SKIP() << "file size limits are a POSIX means";
    }
    // Between the sizes of the samples' files, so that some fit and some do
    // not: writing one of those fails part way (EFBIG), as on a full disk.
    constexpr std::size_t kLimit = 3500;
    const std::string sample = std::string(SAMPLE_DIR) + "/" + GetParam().sample;
    const RunResult whole = runOn(sample);
    ASSERT_EQ(whole.status, 0);
    const auto written = outputs();
    ASSERT_EQ(written.size(), GetParam().sampleFiles);

    // An older file under every other name, nothing under the rest.
    std::map<std::string, Bytes> expected;
    std::size_t index = 0;
    for (const auto& [name, bytes] : written) {
        ASSERT_TRUE(std::filesystem::remove(work_.file(name)));
        if (index++ % 2 == 0) {
            expected[name] = testsupport::toBytes("older " + name);
            work_.write(name, expected[name]);
        }
        if (bytes.size() <= kLimit) {
            expected[name] = bytes;
        }
    }
    // The "cannot write" lines, one per file too large, in the order written.
    std::string err;
    std::istringstream lines(whole.out);
    for (std::string line; std::getline(lines, line);) {
        const std::string name = line.substr(line.rfind(' ') + 1);
        if (written.count(name) != 0 && written.at(name).size() > kLimit) {
            err += std::string(GetParam().name) + ": cannot write " + name + ": File too large\n";
        }
    }
    ASSERT_NE(err, "");

    testsupport::RunOptions full;
    full.fileSizeLimit = kLimit;
    const RunResult result = testsupport::runProgram(GetParam().path, {GetParam().name, sample}, work_.path(), full);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, whole.out);
    EXPECT_EQ(result.err, err);
    // No partial file under a final name, no temporary file left behind.
    const auto now = outputs();
    const auto names = [](const std::map<std::string, Bytes>& files) {
        std::vector<std::string> list;
        for (const auto& entry : files) {
            list.push_back(entry.first);
        }
        return list;
    };
    ASSERT_EQ(names(now), names(expected));
    for (const auto& [name, bytes] : expected) {
        EXPECT_SAME_BYTES(bytes, now.at(name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, BothProgramsTest, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<Program>& info) { return std::string(info.param.name); });
