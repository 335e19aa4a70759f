// The scanner's two stages driven directly: laying a disk into the buffer,
// and finding files in it (written to a recorder instead of to disk).
#include "reader_fixture.h"
#include "recording_sink.h"

#include "block_scan.h"
#include "buffer_layout.h"
#include "image_buffer.h"
#include "linearize.h"

#include <array>
#include <cstring>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

unsigned char imageBuffer[kImageBufferSize];

class ScanTest : public ReaderTest {
protected:
    void SetUp() override { std::memset(imageBuffer, 0, sizeof imageBuffer); }

    Bytes laidIn(std::size_t from, std::size_t size) const
    {
        return Bytes(imageBuffer + from, imageBuffer + from + size);
    }

    // Runs the scan of disk 0; returns the names of the files found.
    std::string scan(int& counter, bool expectAllWritten = true)
    {
        const std::size_t before = sink_.files.size();
        EXPECT_EQ(scanBlocks(imageBuffer, 0, counter, sink_), expectAllWritten);
        std::string names;
        for (std::size_t i = before; i < sink_.files.size(); ++i) {
            names += sink_.files[i].name + "\n";
        }
        return names;
    }

    void linearize(int disk) { linearizeDisk(reader_, disk, imageBuffer); }

    // Block b: the six header words, non-zero filler, and an end mark
    // (three zero bytes at its end) when wanted.
    static void putBlock(int b, const std::array<int, 6>& words, bool endMark)
    {
        unsigned char* block = imageBuffer + b * kBlockSize;
        std::memset(block, 0x5A, kBlockSize);
        for (int i = 0; i < 6; ++i) {
            block[2 * i] = static_cast<unsigned char>(words[static_cast<std::size_t>(i)] & 0xFF);
            block[2 * i + 1] = static_cast<unsigned char>(words[static_cast<std::size_t>(i)] >> 8);
        }
        if (endMark) {
            std::memset(block + kBlockSize - 3, 0, 3);
        }
    }

    // A block that is no file start, with or without an end mark.
    static void putFiller(int b, bool endMark)
    {
        putBlock(b, {1, 0, 0, 0, 0, 0}, endMark);
    }

    RecordingSink sink_;
};

const std::array<int, 6> kHeader = {0x0010, 0x0020, 0x0030, 0x0040, 0x0050, 0x0300};

}  // namespace

TEST_F(ScanTest, AStandardDiskFillsAllButTheLastTrack)
{
    ASSERT_TRUE(openImage(d88build::standardDisk(1, 8, 153, 3).build()));
    linearize(0);
    Bytes expected;
    for (int t = 0; t < 153; ++t) {
        const Bytes track = d88build::dataOf(d88build::standardTrack(t, 1, 8, 3));
        expected.insert(expected.end(), track.begin(), track.end());
    }
    ASSERT_EQ(expected.size(), 1253376u);
    EXPECT_SAME_BYTES(expected, laidIn(0, expected.size()));
    EXPECT_SAME_BYTES(Bytes(8192, 0), laidIn(expected.size(), 8192)) << "track 153 is not read";
}

TEST_F(ScanTest, SectorsAreLaidInByNumberWithEqualNumbersInStoredOrder)
{
    const Bytes a(1024, 0xA1), b(1024, 0xB2), c(1024, 0xC3), d(1024, 0xD4);
    ASSERT_TRUE(openImage(Disk()
                              .track(0, {{0, 0, 5, 3, 3, a}, {0, 0, 1, 3, 3, b}, {0, 0, 3, 3, 3, c}})
                              .track(2, {{9, 0, 7, 3, 4, a}, {1, 0, 2, 3, 4, b}, {7, 0, 7, 3, 4, c}, {1, 0, 2, 3, 4, d}})
                              .build()));
    linearize(0);
    // Track 1 is absent and contributes nothing. On track 2 the two records
    // with ID (1, 0, 2, 3) both resolve to the first of them.
    const Bytes expected = d88build::concat({b, c, a, b, b, a, c, Bytes(1024, 0)});
    EXPECT_SAME_BYTES(expected, laidIn(0, expected.size()));
}

TEST_F(ScanTest, OnlyTheFirstSixteenRecordsOfATrackAreTaken)
{
    std::vector<Record> track;
    for (int i = 0; i < 20; ++i) {
        track.push_back({0, 0, 20 - i, 0, 20, Bytes(128, static_cast<unsigned char>(20 - i))});
    }
    ASSERT_TRUE(openImage(Disk().track(0, track).build()));
    linearize(0);
    Bytes expected;
    for (int r = 5; r <= 20; ++r) {
        expected.insert(expected.end(), 128, static_cast<unsigned char>(r));
    }
    expected.resize(expected.size() + 128, 0);
    EXPECT_SAME_BYTES(expected, laidIn(0, expected.size()));
}

TEST_F(ScanTest, ASectorGivesAtMostItsNominalSizeForEverySizeCode)
{
    ASSERT_TRUE(openImage(Disk()
                              .track(0, {{0, 0, 1, 0, 5, Bytes(1024, 1)},
                                         {0, 0, 2, 8, 5, Bytes(40000, 2)},
                                         {0, 0, 3, 9, 5, Bytes(65535, 3)},
                                         {0, 0, 4, 255, 5, Bytes(600, 4)},
                                         {0, 0, 5, 3, 5, {}}})
                              .build()));
    linearize(0);
    Bytes expected = d88build::concat({Bytes(128, 1), Bytes(32768, 2), Bytes(65535, 3), Bytes(600, 4)});
    expected.resize(expected.size() + 16, 0);
    EXPECT_SAME_BYTES(expected, laidIn(0, expected.size()));
}

TEST_F(ScanTest, LayingInStopsAtTheEndOfTheBuffer)
{
    // Sixteen 1024-byte sectors a track: twice what the buffer holds.
    ASSERT_TRUE(openImage(d88build::standardDisk(1, 16, 152, 8).build()));
    linearize(0);
    const Bytes lastSector = d88build::standardTrack(76, 1, 16, 8)[15].data;
    EXPECT_SAME_BYTES(lastSector, laidIn(kImageBufferSize - 1024, 1024));

    // A sector that crosses the end contributes what fits: track 0 carries
    // 300 bytes more than a full buffer leaves room for, so the last sector
    // of track 152 gets only 724 of its 1024 bytes.
    std::memset(imageBuffer, 0, sizeof imageBuffer);
    Disk disk = d88build::standardDisk(1, 8, 152, 8);
    std::vector<Record> track0 = d88build::standardTrack(0, 1, 15, 8);
    track0.push_back({0, 0, 16, 4, 16, d88build::pattern(9, 1324)});
    for (Record& record : track0) {
        record.count = 16;
    }
    disk.track(0, track0);
    ASSERT_TRUE(openImage(disk.build()));
    linearize(0);
    const Bytes last = d88build::standardTrack(152, 1, 8, 8)[7].data;
    EXPECT_SAME_BYTES(d88build::slice(last, 0, 724), laidIn(kImageBufferSize - 724, 724));
}

// Every byte laid in is traced to the record it came from: disk 1, shorter
// than disk 0 and cut short by the end of the file, lies over disk 0, whose
// data beyond disk 1's end, from the middle of a sector on, stays traced to
// disk 0.
TEST_F(ScanTest, TheLayoutTracesEveryByteLaidInToItsRecord)
{
    std::vector<Record> odd = d88build::standardTrack(5, 1, 6, 3);
    odd.push_back({2, 1, 7, 0, 8, d88build::pattern(70, 128)});   // 128 bytes
    odd.push_back({2, 1, 8, 3, 8, d88build::pattern(80, 700)});   // 700 of 1024
    for (Record& record : odd) {
        record.count = 8;
    }
    const Bytes first = d88build::standardDisk(1, 8, 20, 3).track(5, odd).build();
    Bytes image = d88build::concat({first, d88build::standardDisk(1, 8, 6, 9).build()});
    image.resize(image.size() - 300);  // disk 1's last sector is cut short
    ASSERT_TRUE(openImage(image));

    BufferLayout layout;
    int disk1End = 0;
    for (int disk = 0; disk < 2; ++disk) {
        layout.beginDisk(disk);
        reader_.setReadObserver(&layout);
        linearize(disk);
        reader_.setReadObserver(nullptr);
        const std::vector<BufferLayout::Piece> pieces = layout.piecesOf(0, kImageBufferSize);
        int at = 0;
        for (const BufferLayout::Piece& piece : pieces) {
            ASSERT_EQ(piece.offset, at) << "disk " << disk << ": the pieces follow one another";
            EXPECT_SAME_BYTES(d88build::slice(image, piece.position + 16 + piece.from, piece.bytes),
                              laidIn(piece.offset, piece.bytes))
                << "disk " << disk << ", track " << piece.track << ", at " << piece.offset;
            if (disk == 1 && piece.disk == 1) {
                disk1End = piece.offset + piece.bytes;
            }
            at += piece.bytes;
        }
        EXPECT_EQ(at, 21 * 8192 - 1024 + 128 + 700 - 1024) << "disk " << disk << ": disk 0's data, all traced";
    }
    EXPECT_EQ(disk1End, 7 * 8192 - 300);
    const std::vector<BufferLayout::Piece> seam = layout.piecesOf(disk1End - 10, 20);
    ASSERT_EQ(seam.size(), 2u);
    EXPECT_EQ(seam[0].disk, 1);
    EXPECT_EQ(seam[1].disk, 0);
    const int disk0Track6 = 5 * 8192 + 6 * 1024 + 128 + 700;  // where disk 0's 1024-byte sectors go on
    EXPECT_EQ(seam[1].from, (disk1End - disk0Track6) % 1024) << "disk 0's sector, from where disk 1's data ends";
    EXPECT_EQ(seam[0].bytes + seam[1].bytes, 20);
}

TEST_F(ScanTest, AHeaderWhoseOwnBlockEndsInZerosIsAOneBlockFile)
{
    putBlock(10, kHeader, true);
    int counter = 0;
    EXPECT_EQ(scan(counter), "KX000\n");
    EXPECT_EQ(counter, 1);
    ASSERT_EQ(sink_.files.size(), 1u);
    EXPECT_EQ(sink_.files[0].name, "KX000");
    EXPECT_SAME_BYTES(laidIn(10 * 1024, 1024), sink_.files[0].data);
}

TEST_F(ScanTest, TheEndSearchStartsAtTheBlockOfTheLastOffset)
{
    std::array<int, 6> header = kHeader;
    header[5] = 0x0C00;
    putBlock(0, header, true);  // its own end mark is not looked at
    putFiller(1, true);
    putFiller(2, true);
    putFiller(3, false);
    putFiller(4, true);
    int counter = 5;
    EXPECT_EQ(scan(counter), "KX005\n");
    ASSERT_EQ(sink_.files.size(), 1u);
    EXPECT_EQ(sink_.files[0].data.size(), 5u * 1024);
}

TEST_F(ScanTest, OnlyValidHeadersWithAnEndMarkWithinTwelveBlocksStartFiles)
{
    const std::array<int, 6> rejected[] = {
        {0x1000, 0x1010, 0x1020, 0x1030, 0x1040, 0x1050},  // first offset 4096
        {0x0008, 0x0020, 0x0030, 0x0040, 0x0050, 0x0300},  // not a multiple of 16
        {0x0010, 0x0020, 0x0020, 0x0040, 0x0050, 0x0300},  // not strictly ascending
        {0x0010, 0x0020, 0x0030, 0x0040, 0x0050, 0x3000},  // ends 12 blocks on
        {0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000},  // all zero
    };
    for (int b = 0; b < kBufferBlocks; ++b) {
        putFiller(b, false);
    }
    for (int i = 0; i < 5; ++i) {
        putBlock(100 * i, rejected[i], true);
        putFiller(100 * i + 1, true);
        putFiller(100 * i + 12, true);
    }
    // The end mark needs all three bytes: here 1021 is not zero and the
    // search goes on to the next block, then gives up after block b + 11.
    putBlock(600, kHeader, true);
    imageBuffer[600 * 1024 + 1021] = 1;
    putFiller(612, true);
    int counter = 0;
    EXPECT_EQ(scan(counter), "");
    EXPECT_TRUE(sink_.files.empty());
}

TEST_F(ScanTest, StartsInsideAFileGiveOverlappingFiles)
{
    std::array<int, 6> header = kHeader;
    header[5] = 0x0800;
    putBlock(20, header, false);
    putBlock(21, kHeader, false);
    putFiller(22, true);
    int counter = 0;
    EXPECT_EQ(scan(counter), "KX000\nKX001\n");
    ASSERT_EQ(sink_.files.size(), 2u);
    EXPECT_SAME_BYTES(laidIn(20 * 1024, 3072), sink_.files[0].data);
    EXPECT_SAME_BYTES(laidIn(21 * 1024, 2048), sink_.files[1].data);
}

TEST_F(ScanTest, NoFileReachesPastTheBuffer)
{
    // The last start examined, 1223, may end in the buffer's last block...
    std::array<int, 6> header = kHeader;
    header[5] = 0x2000;
    putBlock(1223, header, false);
    putFiller(1231, true);
    // ...but a search that would need block 1232 finds nothing.
    putBlock(1222, {0x0010, 0x0020, 0x0030, 0x0040, 0x0050, 0x2800}, false);
    int counter = 0;
    EXPECT_EQ(scan(counter), "KX000\n");
    ASSERT_EQ(sink_.files.size(), 1u);
    EXPECT_SAME_BYTES(laidIn(1223 * 1024, 9 * 1024), sink_.files[0].data);

    std::memset(imageBuffer, 0, sizeof imageBuffer);
    sink_.files.clear();
    putBlock(1223, kHeader, false);
    for (int b = 1224; b < kBufferBlocks; ++b) {
        putFiller(b, false);
    }
    EXPECT_EQ(scan(counter), "");
    EXPECT_TRUE(sink_.files.empty());
}

TEST_F(ScanTest, AFailedWriteIsReportedAndTheScanGoesOn)
{
    putBlock(3, kHeader, true);
    putBlock(9, kHeader, true);
    sink_.succeed = false;
    int counter = 0;
    EXPECT_EQ(scan(counter, false), "KX000\nKX001\n");
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(sink_.files[1].firstBlock, 9);
}
