// Finding sectors by ID, reading runs across tracks and listing IDs.
#include "reader_fixture.h"

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

Record rec(int c, int h, int r, int count, Bytes data)
{
    return {c, h, r, 3, count, std::move(data)};
}

// Each sector a read took: its track, R, the record's position (0 when none
// was found) and the bytes copied.
struct SectorTaken {
    int track;
    int r;
    std::uint64_t position;
    int copied;
    bool operator==(const SectorTaken& other) const
    {
        return track == other.track && r == other.r && position == other.position && copied == other.copied;
    }
};

std::ostream& operator<<(std::ostream& out, const SectorTaken& taken)
{
    return out << "{track " << taken.track << " R " << taken.r << " at " << taken.position << ": " << taken.copied
               << "}";
}

class ReadLog final : public ReadObserver {
public:
    void sectorRead(int track, SectorId id, const SectorRecord* found, int copied) override
    {
        taken.push_back({track, id.r, found != nullptr ? found->position : 0, copied});
    }
    std::vector<SectorTaken> taken;
};

}  // namespace

TEST_F(ReaderTest, ReadSectorMatchesAllFourIdBytesAndBoundsTheCopy)
{
    const Bytes data = d88build::pattern(7, 1024);
    ASSERT_TRUE(openImage(Disk().track(3, {rec(1, 1, 5, 1, data)}).build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_SAME_BYTES(data, sector(3, 1, 1, 5));
    EXPECT_SAME_BYTES(d88build::slice(data, 0, 1), sector(3, 1, 1, 5, 1)) << "the presence probe";
    EXPECT_SAME_BYTES(d88build::slice(data, 0, 100), sector(3, 1, 1, 5, 100));
    EXPECT_TRUE(sector(3, 0, 1, 5).empty());
    EXPECT_TRUE(sector(3, 1, 0, 5).empty());
    EXPECT_TRUE(sector(3, 1, 1, 6).empty());
    unsigned char byte = 0;
    EXPECT_EQ(reader_.readSector(3, 1, 1, 5, 2, &byte, 1), 0) << "size code differs";
    EXPECT_EQ(reader_.readSector(3, 1, 1, 5, 3, &byte, 0), 0);
    EXPECT_EQ(reader_.readSector(3, 1, 1, 5, 3, &byte, -5), 0);
    EXPECT_EQ(reader_.readSector(3, 1 + 256, 1, 5, 3, &byte, 1), 0) << "IDs are bytes 0..255";
}

TEST_F(ReaderTest, ReadSectorTakesTheFirstOfEqualIdsAndSkipsEmptyData)
{
    const Bytes first = d88build::pattern(1, 1024);
    ASSERT_TRUE(openImage(Disk().track(0, {rec(0, 0, 1, 4, {}), rec(0, 0, 2, 4, first),
                                           rec(0, 0, 2, 4, d88build::pattern(2, 1024)), rec(0, 0, 3, 4, {1, 2})})
                              .build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_TRUE(sector(0, 0, 0, 1).empty()) << "an empty sector reads as missing";
    EXPECT_SAME_BYTES(first, sector(0, 0, 0, 2));
    EXPECT_SAME_BYTES(Bytes({1, 2}), sector(0, 0, 0, 3));
}

TEST_F(ReaderTest, ReadSectorTrustsEachRecordsOwnCount)
{
    ASSERT_TRUE(openImage(Disk()
                              .track(0, {rec(0, 0, 1, 2, {1}), rec(0, 0, 2, 2, {2}), rec(0, 0, 3, 2, {3})})
                              .track(1, {rec(0, 1, 1, 3, {1}), rec(0, 1, 2, 0, {2}), rec(0, 1, 3, 3, {3})})
                              .track(2, {rec(1, 0, 1, 2, {1}), rec(1, 0, 2, 9, {2}), rec(1, 0, 3, 9, {3})})
                              .build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_SAME_BYTES(Bytes({2}), sector(0, 0, 0, 2));
    EXPECT_TRUE(sector(0, 0, 0, 3).empty()) << "past the second record of a two-record track";
    EXPECT_SAME_BYTES(Bytes({1}), sector(1, 0, 1, 1));
    EXPECT_TRUE(sector(1, 0, 1, 2).empty()) << "a count of 0 ends the walk before the ID is seen";
    EXPECT_TRUE(sector(1, 0, 1, 3).empty());
    EXPECT_SAME_BYTES(Bytes({3}), sector(2, 1, 0, 3)) << "the first record's count of 2 is not remembered";
}

TEST_F(ReaderTest, AWalkWhoseCountsNeverEndStopsAfter65536Records)
{
    // Counts of 65535 end a walk only at record 65534, which says 1 instead.
    std::vector<Record> records(65538, Record{0, 0, 0, 0, 65535, {}});
    records[65534].count = 1;
    records[65535] = {0, 0, 1, 3, 65535, {0xA1}};
    records[65536] = {0, 0, 2, 3, 65535, {0xA2}};
    ASSERT_TRUE(openImage(Disk().track(0, std::move(records)).build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_SAME_BYTES(Bytes({0xA1}), sector(0, 0, 0, 1));
    EXPECT_TRUE(sector(0, 0, 0, 2).empty());
}

TEST_F(ReaderTest, TheEndOfTheFileEndsAWalkAndCutsASectorShort)
{
    const Bytes data = d88build::pattern(5, 1024);
    Bytes image = Disk().track(0, {rec(0, 0, 1, 9, {1}), rec(0, 0, 2, 9, data)}).build();
    image.resize(image.size() - 24);
    ASSERT_TRUE(openImage(image));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_SAME_BYTES(d88build::slice(data, 0, 1000), sector(0, 0, 0, 2)) << "what the file still has";
    EXPECT_TRUE(sector(0, 0, 0, 3).empty()) << "the walk meets the end of the file";
    image.resize(688 + 17 + 8);
    ASSERT_TRUE(openImage(image));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_TRUE(sector(0, 0, 0, 2).empty()) << "a header cut short";
}

TEST_F(ReaderTest, OnlyTracksWithinTheTableAndTheDiskAreUsable)
{
    const Disk disk = Disk().track(0, {rec(0, 0, 1, 1, {1})}).track(163, {rec(81, 1, 1, 1, {2})});
    Bytes image = disk.build();
    const std::uint32_t size = static_cast<std::uint32_t>(image.size());
    ASSERT_TRUE(openImage(image));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_SAME_BYTES(Bytes({2}), sector(163, 81, 1, 1));
    EXPECT_TRUE(sector(164, 82, 0, 1).empty());
    EXPECT_TRUE(sector(-1, 0, 0, 1).empty());
    EXPECT_TRUE(sector(1, 0, 1, 1).empty()) << "offset 0: track absent";

    // A track offset equal to the disk size is walked; one more is not. The
    // records placed there lie beyond the disk's own size.
    const Bytes beyond = Disk().track(0, {rec(0, 0, 1, 1, {3})}).build();
    Bytes withTail = d88build::concat({image, d88build::slice(beyond, 688, 17)});
    d88build::putU32(withTail, 0x20 + 4 * 5, size);
    d88build::putU32(withTail, 0x20 + 4 * 6, size + 1);
    ASSERT_TRUE(openImage(withTail));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_SAME_BYTES(Bytes({3}), sector(5, 0, 0, 1));
    EXPECT_TRUE(sector(6, 0, 0, 1).empty());
    EXPECT_EQ(reader_.listSectorIds(6, Bytes(4).data(), 4), 0);
}

TEST_F(ReaderTest, ReadRunWrapsFromTheLastSectorOntoTheNextTrack)
{
    Disk disk;
    for (int t = 16; t <= 19; ++t) {
        disk.track(t, d88build::standardTrack(t, 32, 8, 100));
    }
    ASSERT_TRUE(openImage(disk.build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    reader_.setSectorRange(32, 39);

    // Track 17 is cylinder 8 head 1: after sector 39 comes track 18, C 9, H 0.
    Bytes run(4096);
    ASSERT_EQ(reader_.readRun(17, 8, 1, 38, 3, run.data(), 4096), 4096);
    const auto t17 = d88build::standardTrack(17, 32, 8, 100);
    const auto t18 = d88build::standardTrack(18, 32, 8, 100);
    const Bytes expected = d88build::concat({t17[6].data, t17[7].data, t18[0].data, t18[1].data});
    EXPECT_SAME_BYTES(expected, run);

    // A total that is not a whole number of sectors ends with a partial step.
    Bytes part(2500, 0xEE);
    ASSERT_EQ(reader_.readRun(16, 8, 0, 32, 3, part.data(), 2500), 2500);
    EXPECT_SAME_BYTES(d88build::slice(d88build::dataOf(d88build::standardTrack(16, 32, 8, 100)), 0, 2500), part);

    EXPECT_EQ(reader_.readRun(16, 8, 0, 32, 3, nullptr, 0), 0);
}

// An observer changes no result and is told each step: the record found,
// or none, and what it gave.
TEST_F(ReaderTest, ReadRunCountsOnlyWholeStepsAndTellsTheObserverEachOne)
{
    auto track = d88build::standardTrack(0, 1, 8, 5);
    track.erase(track.begin() + 2);  // sector 3 missing
    track[3].data.resize(1000);      // sector 5 short
    ASSERT_TRUE(openImage(Disk().track(0, track).build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    const auto at = [](int record) { return 0x2B0 + 1040ULL * record; };  // records before sector 5 are whole
    const struct {
        int r;
        int total;
        int result;
        std::vector<SectorTaken> taken;
    } cases[] = {
        {1, 8192, 2048, {{0, 1, at(0), 1024}, {0, 2, at(1), 1024}, {0, 3, 0, 0}}},
        {4, 8192, 1024, {{0, 4, at(2), 1024}, {0, 5, at(3), 1000}}},
        {4, 2024, 2024, {{0, 4, at(2), 1024}, {0, 5, at(3), 1000}}},  // the last step asks for 1000 only
        {4, 2025, 1024, {{0, 4, at(2), 1024}, {0, 5, at(3), 1000}}},
        {5, 10, 10, {{0, 5, at(3), 10}}},
        {9, 8192, 0, {{0, 9, 0, 0}}},
    };
    for (const auto& c : cases) {
        ReadLog log;
        Bytes run(8192);
        const int unobserved = reader_.readRun(0, 0, 0, c.r, 3, run.data(), c.total);
        reader_.setReadObserver(&log);
        EXPECT_EQ(reader_.readRun(0, 0, 0, c.r, 3, run.data(), c.total), unobserved) << "from R " << c.r;
        reader_.setReadObserver(nullptr);
        EXPECT_EQ(unobserved, c.result) << "from R " << c.r << ", " << c.total << " bytes";
        EXPECT_EQ(log.taken, c.taken) << "from R " << c.r << ", " << c.total << " bytes";
    }
}

TEST_F(ReaderTest, ReadRunHandlesEverySizeCode)
{
    ASSERT_TRUE(openImage(Disk()
                              .track(0, {{0, 0, 1, 9, 3, d88build::pattern(1, 600)},
                                         {0, 0, 1, 255, 3, d88build::pattern(2, 700)},
                                         {0, 0, 1, 0, 3, d88build::pattern(3, 300)}})
                              .build()));
    ASSERT_TRUE(reader_.selectDisk(0));
    Bytes run(1000);
    EXPECT_EQ(reader_.readRun(0, 0, 0, 1, 9, run.data(), 600), 600);
    EXPECT_EQ(reader_.readRun(0, 0, 0, 1, 255, run.data(), 700), 700);
    EXPECT_EQ(reader_.readRun(0, 0, 0, 1, 255, run.data(), 1000), 0);
    EXPECT_EQ(reader_.readRun(0, 0, 0, 1, -1, run.data(), 1000), 0);
    EXPECT_EQ(reader_.readRun(0, 0, 0, 1, 0, run.data(), 256), 128) << "128-byte steps; sector 2 is missing";
}

TEST_F(ReaderTest, ListSectorIdsGivesStoredOrderWithinTheCapacity)
{
    std::vector<Record> twenty;
    for (int i = 0; i < 20; ++i) {
        twenty.push_back({i, 1, 40 - i, i % 4, 20, {}});
    }
    auto eight = d88build::standardTrack(2, 1, 8, 9);
    std::swap(eight[0], eight[5]);
    ASSERT_TRUE(openImage(Disk().track(0, twenty).track(2, eight).build()));
    ASSERT_TRUE(reader_.selectDisk(0));

    Bytes ids(64, 0xFF);
    ASSERT_EQ(reader_.listSectorIds(2, ids.data(), 64), 32);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ids[4 * i + 2], eight[i].r);
        EXPECT_EQ(ids[4 * i + 0], 1);
        EXPECT_EQ(ids[4 * i + 1], 0);
        EXPECT_EQ(ids[4 * i + 3], 3);
    }
    EXPECT_EQ(ids[32], 0xFF);

    ASSERT_EQ(reader_.listSectorIds(0, ids.data(), 64), 64);
    EXPECT_EQ(ids[60], 15);
    EXPECT_EQ(ids[62], 25);
    EXPECT_EQ(ids[63], 3);

    Bytes odd(10, 0xFF);
    EXPECT_EQ(reader_.listSectorIds(0, odd.data(), 6), 4) << "never past the capacity";
    EXPECT_EQ(odd[4], 0xFF);
    EXPECT_EQ(reader_.listSectorIds(0, odd.data(), -4), 0);
}

TEST_F(ReaderTest, ListSectorIdsReadsCountZeroTracksToTheCapacityOrTheEnd)
{
    Bytes image = Disk().track(0, std::vector<Record>(10, Record{1, 2, 3, 4, 0, {9, 9}})).build();
    ASSERT_TRUE(openImage(image));
    ASSERT_TRUE(reader_.selectDisk(0));
    Bytes ids(64);
    EXPECT_EQ(reader_.listSectorIds(0, ids.data(), 32), 32);
    EXPECT_EQ(reader_.listSectorIds(0, ids.data(), 64), 40) << "the file ends after 10 records";
    image.resize(image.size() - 10);
    ASSERT_TRUE(openImage(image));
    ASSERT_TRUE(reader_.selectDisk(0));
    EXPECT_EQ(reader_.listSectorIds(0, ids.data(), 64), 36) << "the last header is cut short";
}

TEST_F(ReaderTest, ReadsInAnyOrderGiveTheFileAsStoredAcrossWindowEdges)
{
    // Records of all lengths over several window sizes, one track of 254
    // records and a second, shorter one, read in a scrambled order and with
    // limits that end at, before and past each sector's end.
    const std::vector<Record> records = d88build::varyingLengthTrack(254, 100);
    std::vector<Record> tail(records.begin(), records.begin() + 10);
    for (Record& record : tail) {
        record.count = 10;
        record.h = 1;
    }
    Bytes image = Disk().track(0, records).track(1, tail).build();
    image.resize(image.size() - 500);  // the last sector is cut short
    ASSERT_TRUE(openImage(image));
    ASSERT_TRUE(reader_.selectDisk(0));
    for (int k = 0; k < 600; ++k) {
        const int r = 1 + (k * 97) % 254;
        const Record& record = records[static_cast<std::size_t>(r - 1)];
        const int max = (k % 3 == 0) ? 65535 : static_cast<int>(record.data.size()) - k % 5;
        Bytes got(static_cast<std::size_t>(std::max(max, 0)));
        got.resize(static_cast<std::size_t>(reader_.readSector(0, 0, 0, r, 3, got.data(), max)));
        EXPECT_SAME_BYTES(d88build::slice(record.data, 0, static_cast<std::size_t>(std::max(max, 0))), got)
            << "sector " << r;
        if (k % 50 == 0) {
            const Bytes last = d88build::slice(tail[9].data, 0, tail[9].data.size() - 500);
            EXPECT_SAME_BYTES(last, sector(1, 0, 1, 10, 65535));
        }
    }
}
