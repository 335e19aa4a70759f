// Opening files, indexing the disk chain and selecting disks.
#include "reader_fixture.h"

#include <filesystem>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

Disk oneSectorDisk(int r, std::uint32_t seed)
{
    return Disk().track(0, {{0, 0, r, 3, 1, d88build::pattern(seed, 1024)}});
}

}  // namespace

TEST(ByteOrder, DecodesLowByteFirstAndKeepsU32Unsigned)
{
    const unsigned char bytes[] = {0x34, 0x12, 0xFF, 0xFF};
    EXPECT_EQ(readU16le(bytes), 0x1234);
    EXPECT_EQ(readU16le(bytes + 2), 0xFFFF);
    EXPECT_EQ(readU32le(bytes), 0xFFFF1234u);
}

TEST_F(ReaderTest, IndexesDisksBySizeAndIgnoresATrailingPartialHeader)
{
    const Bytes a = oneSectorDisk(1, 1).build();
    const Bytes b = oneSectorDisk(2, 2).name("SECOND").build();
    const Bytes c = oneSectorDisk(3, 3).build();
    ASSERT_TRUE(openImage(d88build::concat({a, b, c, Bytes(687, 0xAA)})));
    ASSERT_EQ(reader_.diskCount(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader_.selectDisk(i));
        EXPECT_SAME_BYTES(d88build::pattern(static_cast<std::uint32_t>(i + 1), 1024), sector(0, 0, 0, i + 1));
    }
    EXPECT_STREQ(reader_.diskName(), "");
    ASSERT_TRUE(reader_.selectDisk(1));
    EXPECT_STREQ(reader_.diskName(), "SECOND");
}

TEST_F(ReaderTest, ADiskSizeOfZeroIndexesTheSameDiskUpToTheLimit)
{
    const Bytes first = oneSectorDisk(1, 1).build();
    const Bytes stuck = oneSectorDisk(2, 2).name("STUCK").diskSize(0).build();
    ASSERT_TRUE(openImage(d88build::concat({first, stuck})));
    ASSERT_EQ(reader_.diskCount(), 64);
    for (int i : {1, 2, 63}) {
        ASSERT_TRUE(reader_.selectDisk(i));
        EXPECT_STREQ(reader_.diskName(), "STUCK") << "disk " << i;
        EXPECT_TRUE(sector(0, 0, 0, 2).empty()) << "no track lies within a disk of size 0";
    }
    EXPECT_FALSE(reader_.selectDisk(64));
}

TEST_F(ReaderTest, TheDiskChainNeverWrapsAt4GiB)
{
    // 0x1000 + 0xFFFFF000 is 4 GiB: in 32 bits it would lead back to disk 0.
    Bytes first = oneSectorDisk(1, 1).build();
    first.resize(0x1000);
    d88build::putU32(first, 0x1C, 0x1000);
    const Bytes second = oneSectorDisk(2, 2).diskSize(0xFFFFF000u).build();
    ASSERT_TRUE(openImage(d88build::concat({first, second})));
    EXPECT_EQ(reader_.diskCount(), 2);
}

TEST_F(ReaderTest, FilesShorterThanAHeaderOpenWithNoDisks)
{
    for (std::size_t size : {0, 687}) {
        ASSERT_TRUE(openImage(Bytes(size, 1))) << size;
        EXPECT_EQ(reader_.diskCount(), 0);
        EXPECT_FALSE(reader_.selectDisk(0));
    }
}

TEST_F(ReaderTest, FilesThatCannotBeReadDoNotOpen)
{
    ASSERT_TRUE(openImage(oneSectorDisk(1, 1).build()));
    EXPECT_FALSE(reader_.open(dir_.file("missing.d88").c_str()));
    EXPECT_EQ(reader_.diskCount(), 1) << "a failed open leaves the count";
    EXPECT_FALSE(reader_.selectDisk(0)) << "and holds no stream";
    EXPECT_FALSE(reader_.open(dir_.path().c_str())) << "a directory is no image";
    EXPECT_FALSE(reader_.open(nullptr));
}

TEST_F(ReaderTest, DiskNameTakesAtMost16BytesUpToTheFirstNul)
{
    ASSERT_TRUE(openImage(d88build::concat({
        oneSectorDisk(1, 1).name("ABCDEFGHIJKLMNOPQRSTU").build(),
        oneSectorDisk(1, 1).name(std::string("AB\0CD", 5)).build(),
        oneSectorDisk(1, 1).name("\x83\x65\x83\x58\x83\x67").media(0x10).build(),
    })));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_STREQ(reader_.diskName(), "ABCDEFGHIJKLMNOP");
    ASSERT_TRUE(reader_.selectDisk(1));
    EXPECT_STREQ(reader_.diskName(), "AB");
    ASSERT_TRUE(reader_.selectDisk(2));
    EXPECT_STREQ(reader_.diskName(), "\x83\x65\x83\x58\x83\x67") << "bytes are kept as stored";
    EXPECT_EQ(reader_.mediaType(), 0x10);
}

TEST_F(ReaderTest, NoDiskIsCurrentBeforeSelectionOrAfterAFailedOne)
{
    ASSERT_TRUE(openImage(oneSectorDisk(1, 1).name("DISK").media(0x20).build()));
    EXPECT_EQ(reader_.mediaType(), -1);
    EXPECT_STREQ(reader_.diskName(), "");
    EXPECT_TRUE(sector(0, 0, 0, 1).empty());

    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_EQ(reader_.mediaType(), 0x20);
    EXPECT_FALSE(reader_.selectDisk(1));
    EXPECT_FALSE(reader_.selectDisk(-1));
    EXPECT_EQ(reader_.mediaType(), -1);
    EXPECT_STREQ(reader_.diskName(), "");
    EXPECT_TRUE(sector(0, 0, 0, 1).empty());
}

TEST_F(ReaderTest, AHeaderCutShortAfterIndexingLeavesNoDiskCurrent)
{
    // The first disk is large enough that the second header is not still
    // held in any read buffer when it is read again.
    const Bytes first = d88build::standardDisk(1, 8, 3, 1).build();
    ASSERT_TRUE(openImage(d88build::concat({first, oneSectorDisk(2, 2).name("B").build()})));
    ASSERT_EQ(reader_.diskCount(), 2);
    ASSERT_TRUE(reader_.selectDisk(1));
    ASSERT_TRUE(reader_.selectDisk(0));
    std::filesystem::resize_file(path_, first.size() + 687);
    EXPECT_FALSE(reader_.selectDisk(1));
    EXPECT_STREQ(reader_.diskName(), "");
    EXPECT_EQ(reader_.mediaType(), -1);
}

TEST_F(ReaderTest, TheClosingOpenDropsTheStreamButKeepsTheName)
{
    ASSERT_TRUE(openImage(oneSectorDisk(1, 1).name("KEPT").build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_TRUE(reader_.open());
    EXPECT_EQ(reader_.diskCount(), 0);
    EXPECT_EQ(reader_.mediaType(), -1);
    EXPECT_STREQ(reader_.diskName(), "KEPT");
    EXPECT_TRUE(sector(0, 0, 0, 1).empty());
    EXPECT_FALSE(reader_.selectDisk(0));
    reader_.close();
    reader_.close();
}

TEST_F(ReaderTest, OpeningAnotherFileForgetsTheCurrentDisk)
{
    ASSERT_TRUE(openImage(oneSectorDisk(1, 1).name("OLD").build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    const std::string second = dir_.write("second.d88", d88build::concat({oneSectorDisk(1, 2).build(),
                                                                         oneSectorDisk(1, 3).build()}));
    ASSERT_TRUE(reader_.open(second.c_str()));
    EXPECT_EQ(reader_.diskCount(), 2);
    EXPECT_STREQ(reader_.diskName(), "");
    EXPECT_TRUE(sector(0, 0, 0, 1).empty());
    ASSERT_TRUE(reader_.selectDisk(1));
    EXPECT_SAME_BYTES(d88build::pattern(3, 1024), sector(0, 0, 0, 1));
}
