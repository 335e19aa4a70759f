// The block layer: where logical sectors lie under a geometry, and what a
// read of each gives from a disk with one fault per sector.
#include "test_support.h"

#include "block_disk.h"

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

struct PlaceCase {
    long long k;
    int track, r, n;
    std::uint64_t offset;
};

// The 2HD disk of 26 sectors with its track 0 of 26 x 128 in single density.
BlockGeometry twoHd26()
{
    BlockGeometry geometry = BlockGeometry::uniform(77, 2, 26, 1);
    geometry.firstTrack = {26, 0, true};
    return geometry;
}

}  // namespace

TEST(BlockGeometryTest, PlacesSectorsTrackByTrackWithTrackZeroOfItsOwn)
{
    const BlockGeometry geometry = twoHd26();
    ASSERT_TRUE(geometry.valid());
    EXPECT_EQ(geometry.totalBytes(), 26u * 128 + 153u * 26 * 256) << "1,021,696 bytes";
    EXPECT_EQ(geometry.sectorCount(), 26 * 154);
    EXPECT_EQ(geometryWords(geometry), "77 x 2 x 26 x 256, track 0 26 x 128 FM");
    const PlaceCase cases[] = {
        {0, 0, 1, 0, 0},
        {25, 0, 26, 0, 25 * 128},
        {26, 1, 1, 1, 26 * 128},
        {52, 2, 1, 1, 26 * 128 + 26 * 256},
        {26 * 154 - 1, 153, 26, 1, 26 * 128 + 153 * 26 * 256 - 256},
    };
    for (const PlaceCase& c : cases) {
        SectorPlace place;
        ASSERT_TRUE(locateSector(geometry, c.k, place)) << c.k;
        EXPECT_EQ(place.track, c.track) << c.k;
        EXPECT_EQ(place.c, c.track / 2) << c.k;
        EXPECT_EQ(place.h, c.track % 2) << c.k;
        EXPECT_EQ(place.r, c.r) << c.k;
        EXPECT_EQ(place.n, c.n) << c.k;
        EXPECT_EQ(place.offset, c.offset) << c.k;
    }
    SectorPlace place;
    EXPECT_FALSE(locateSector(geometry, -1, place));
    EXPECT_FALSE(locateSector(geometry, geometry.sectorCount(), place));
    for (BlockGeometry wrong : {BlockGeometry::uniform(83, 2, 8, 3), BlockGeometry::uniform(40, 3, 16, 1),
                                BlockGeometry::uniform(40, 2, 0, 1), BlockGeometry::uniform(40, 2, 16, 8),
                                BlockGeometry::uniform(40, 2, 16, 1, 241)}) {
        EXPECT_FALSE(wrong.valid()) << geometryWords(wrong);
    }
}

namespace {

Record rec(int c, int h, int r, int n, Bytes data)
{
    return {c, h, r, n, 4, std::move(data)};
}

struct ReadCase {
    const char* what;
    long long k;
    unsigned flags;
    int held;          // bytes of the record's data the sector takes
    int fromRecord;    // of the disk's records (numbered in the order below), -1 for none
};

}  // namespace

// A disk of 2 x 2 tracks of 4 sectors of 256 bytes; track 3 is cut short by
// the end of the file inside its second sector.
TEST(BlockDiskTest, EachReadSaysWhereItsBytesCameFrom)
{
    std::vector<Bytes> data;
    for (std::uint32_t i = 0; i < 16; ++i) {
        data.push_back(d88build::pattern(100 + i, 256));
    }
    std::vector<Record> all = {
        rec(0, 0, 1, 1, data[0]), rec(0, 0, 2, 1, data[1]), rec(0, 0, 3, 1, data[2]), rec(0, 0, 1, 1, data[3]),
        rec(0, 1, 1, 2, d88build::pattern(1, 512)), rec(0, 1, 2, 1, d88build::slice(data[5], 0, 100)),
        rec(0, 1, 3, 1, d88build::pattern(2, 300)), rec(0, 1, 4, 1, data[7]),
        rec(9, 9, 1, 1, data[8]), rec(1, 0, 1, 1, data[9]), rec(7, 7, 2, 1, data[10]), rec(1, 0, 3, 1, data[11]),
        rec(1, 1, 1, 1, data[12]), rec(1, 1, 2, 1, data[13]), rec(1, 1, 3, 1, data[14]), rec(1, 1, 4, 1, data[15]),
    };
    all[1].status = 0xB0;
    all[2].deleted = 0x10;
    all[7].status = 0x10;
    Disk disk;
    for (int t = 0; t < 4; ++t) {
        disk.track(t, std::vector<Record>(all.begin() + 4 * t, all.begin() + 4 * t + 4));
    }
    Bytes image = disk.build();
    image.resize(image.size() - 2 * (16 + 256) - 156);  // 100 bytes of track 3's R 2 stay

    const ReadCase cases[] = {
        {"duplicate ID: the first record", 0, kSectorDuplicate, 256, 0},
        {"bad status", 1, kSectorBadStatus, 256, 1},
        {"deleted mark", 2, kSectorDeleted, 256, 2},
        {"no record numbered 4", 3, kSectorMissing, 0, -1},
        {"another size code", 4, kSectorOtherSize, 0, 4},
        {"shorter data length", 5, kSectorOtherLength, 100, 5},
        {"longer data length", 6, kSectorOtherLength, 256, 6},
        {"status of a deleted sector", 7, kSectorDeleted, 256, 7},
        {"C and H of the track's place preferred", 8, 0, 256, 9},
        {"any C and H when none is of its place", 9, 0, 256, 10},
        {"sound", 10, 0, 256, 11},
        {"sound, last before the cut", 12, 0, 256, 12},
        {"the file ends inside it", 13, kSectorCutShort, 100, 13},
        {"past the end of the file", 14, kSectorMissing, 0, -1},
    };
    D88Image reader;
    ASSERT_TRUE(reader.openMemory(image.data(), image.size()));
    ASSERT_TRUE(reader.selectDisk(0));
    BlockDisk blocks(reader, BlockGeometry::uniform(2, 2, 4, 1));
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes sector(256, 0xAA);
        const SectorSource source = blocks.read(c.k, sector.data(), sector.size());
        EXPECT_EQ(source.flags, c.flags);
        EXPECT_EQ(source.held, c.held);
        EXPECT_EQ(source.found, c.fromRecord >= 0);
        Bytes expected(256, 0);
        if (c.fromRecord >= 0) {
            const Bytes& from = all[static_cast<std::size_t>(c.fromRecord)].data;
            std::copy(from.begin(), from.begin() + c.held, expected.begin());
            EXPECT_EQ(source.record.id.r, all[static_cast<std::size_t>(c.fromRecord)].r);
            EXPECT_EQ(source.record.id.c, all[static_cast<std::size_t>(c.fromRecord)].c);
        }
        EXPECT_SAME_BYTES(expected, sector);
    }
    Bytes sector(256);
    const SectorSource byId = blocks.readById(2, {7, 7, 2, 1}, sector.data(), sector.size());
    EXPECT_TRUE(byId.found && byId.exact());
    EXPECT_SAME_BYTES(data[10], sector);
    EXPECT_EQ(blocks.readById(2, {1, 0, 2, 1}, sector.data(), sector.size()).flags, kSectorMissing);
}
