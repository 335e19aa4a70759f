// What both programs do alike with an image that holds nothing or cannot be
// read: the same outcome, each with its own wording of the open error.
#include "program_fixture.h"

using d88build::Bytes;
using testsupport::RunResult;

namespace {

struct Program {
    const char* path;
    const char* name;
    std::string cannotOpen;
};

// ファイルをオープンできません, with a full stop in tablecut's wording only.
const std::string kCannotOpen =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";

const Program kPrograms[] = {
    {TABLECUT_PATH, "tablecut", kCannotOpen + ".\n"},
    {SCANCUT_PATH, "scancut", kCannotOpen + "\n"},
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
    for (const std::string& path : {images_.file("missing.d88"), images_.path()}) {
        const RunResult result = runOn(path);
        EXPECT_EQ(result.status, 1) << path;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, GetParam().cannotOpen);
    }
    EXPECT_TRUE(outputs().empty());
}

INSTANTIATE_TEST_SUITE_P(Programs, BothProgramsTest, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<Program>& info) { return std::string(info.param.name); });
