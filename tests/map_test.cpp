// The map drawn from hand-made survey facts, read back by its data
// attributes with a strict XML parser: the state of each record in its
// order of precedence, rows and disks of every kind, the cutters' files,
// hostile text and the bounds on what is drawn.
#include "image_map.h"
#include "map_reading.h"

#include "cutter.h"

#include <gtest/gtest.h>

namespace {

RecordFacts record(int r, int length, int present, int status = 0, int deleted = 0, int n = 3)
{
    SectorRecord header{};
    header.position = 0x2B0 + 1040ULL * static_cast<unsigned>(r);
    header.id = {0, 0, static_cast<unsigned char>(r), static_cast<unsigned char>(n)};
    header.count = 8;
    header.status = status;
    header.deleted = deleted;
    header.length = length;
    return {header, static_cast<std::uint32_t>(present)};
}

TrackFacts track(int index, std::vector<RecordFacts> records, std::uint32_t offset = 0x2B0)
{
    TrackFacts facts;
    facts.index = index;
    facts.offset = offset;
    facts.usable = true;
    facts.end = WalkEnd::Count;
    facts.recordCount = facts.trackRecords = records.size();
    facts.records = std::move(records);
    return facts;
}

// An image of hand-made disks, drawn as the survey would hand it on.
struct HandMade {
    struct Disk {
        DiskFacts facts;
        std::vector<TrackFacts> tracks;
    };
    ImageFacts image{"image.d88", true, "", 1 << 24, 0};
    std::vector<Disk> disks;
    ImageSummary summary;
    std::vector<MapArea> areas;

    Disk& disk(std::vector<TrackFacts> tracks)
    {
        Disk disk;
        disk.facts.index = static_cast<int>(disks.size());
        disk.facts.size = 1 << 20;
        disk.facts.bytesPresent = disk.facts.size;
        disk.facts.offset = static_cast<std::uint64_t>(disk.facts.index) << 20;
        disk.facts.media = 0x20;
        disk.tracks = std::move(tracks);
        disks.push_back(std::move(disk));
        image.diskCount = static_cast<int>(disks.size());
        return disks.back();
    }

    std::string draw() const
    {
        MapWriter writer;
        writer.beginImage(image);
        for (const MapArea& area : areas) {
            writer.addArea(area);
        }
        for (const Disk& disk : disks) {
            writer.beginDisk(disk.facts);
            for (const TrackFacts& facts : disk.tracks) {
                writer.track(facts);
            }
            writer.endDisk();
        }
        writer.endImage(summary);
        return writer.svg();
    }
};

DrawnMap drawAndRead(const HandMade& image)
{
    DrawnMap map;
    std::string error;
    EXPECT_TRUE(readMap(image.draw(), map, error)) << error;
    return map;
}

}  // namespace

TEST(Map, EachRecordIsDrawnInTheFirstStateThatApplies)
{
    const struct {
        RecordFacts facts;
        const char* state;
    } cases[] = {
        {record(1, 1024, 0), "missing"},
        {record(2, 1024, 500, 0xB0), "short"},
        {record(3, 1024, 1024, 0xB0, 0x10), "bad-status"},
        {record(3, 1024, 1024, 0, 0x10), "duplicate"},  // R 3 again
        {record(4, 1024, 1024, 0, 0x10), "deleted"},
        {record(9, 1024, 1024, 0x10), "deleted"},  // the status that says the mark was met
        {record(5, 0, 0, 0, 0), "empty"},
        {record(6, 1000, 1000), "odd-length"},
        {record(7, 1024, 1024), "whole"},
        {record(1, 1024, 0), "missing"},  // R 1 again, but its data is what counts first
        {record(8, 1024, 1024, 0, 0, 20), "odd-length"},  // N 20: no length is 128 << N
        {record(7, 1024, 1024), "duplicate"},
    };
    std::vector<RecordFacts> records;
    for (const auto& c : cases) {
        records.push_back(c.facts);
    }
    HandMade image;
    image.disk({track(0, records)});
    const DrawnMap map = drawAndRead(image);
    ASSERT_EQ(map.records.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const DrawnRecord& drawn = map.records.at({0, 0, static_cast<int>(i)});
        EXPECT_EQ(drawn.state, cases[i].state) << "record " << i;
        EXPECT_EQ(drawn.r, cases[i].facts.record.id.r) << "record " << i;
        EXPECT_EQ(drawn.n, cases[i].facts.record.id.n) << "record " << i;
    }
    EXPECT_NE(map.text.find("missing: the file ends before its data: 2\n"), std::string::npos) << map.text;
    EXPECT_NE(map.text.find("whole, in no area known of the disk: 1\n"), std::string::npos) << map.text;
}

TEST(Map, RowsShowEveryKindOfTrackAndFilesAreDrawnWhereTheirSectorsLie)
{
    HandMade image;
    TrackFacts unusable = track(2, {}, 0x7FFFFFFF);
    unusable.usable = false;
    unusable.end = WalkEnd::Unusable;
    TrackFacts lost = track(3, {}, 0xFFF000);  // beyond the 16 MiB of the image, on disk 1
    lost.end = WalkEnd::EndOfFile;
    std::vector<RecordFacts> own = {record(1, 1024, 1024), record(2, 1024, 1024), record(3, 1024, 476)};
    own[1].record.id.c = 5;  // an ID of another cylinder
    image.disk({track(0, own)}).tracks[0].cutShort = true;
    image.disk({track(0, {record(1, 1024, 1024)}), unusable, lost});
    HandMade::Disk& again = image.disk({});
    again.facts.sameAs = 0;
    again.facts.offset = 0;
    image.disk({}).facts.blank = true;

    const auto sector = [](int r, std::size_t offset, std::size_t bytes, bool found = true) {
        FileSector sector;
        sector.disk = 2;  // disk 0 again: drawn on disk 0
        sector.id = {0, 0, static_cast<unsigned char>(r), 3};
        sector.found = found;
        sector.position = found ? 0x2B0 + 1040ULL * static_cast<unsigned>(r) : 0;
        sector.fileOffset = offset;
        sector.bytes = bytes;
        return sector;
    };
    PlannedFile padded{"KX200", 2, 3072, 2048 + 476, true, -1, false, "", {}};
    padded.sectors = {sector(1, 0, 1024), sector(2, 1024, 1024), sector(3, 2048, 476)};
    PlannedFile notWritten{"KX201", 2, 2048, 0, false, -1, false, "track 0: sector R 9 (C 0 H 0 N 3) is missing", {}};
    notWritten.sectors = {sector(9, 0, 0, false)};
    PlannedFile scanned{"KX200", 2, 1024, 1024, true, 0, false, "", {}};
    scanned.sectors = {sector(2, 0, 100), sector(3, 100, 924)};
    image.summary.cuts.resize(cutterCount());
    image.summary.cuts[cutterIndex(*findCutter("table"))] = {true, {padded, notWritten}};
    image.summary.cuts[cutterIndex(*findCutter("scan"))] = {true, {scanned}};
    // Areas a file-system reader knows: drawn before the files they hold.
    image.areas = {{MapAreaKind::Directory, "the directory", {{1, 0, 0x2B0 + 1040}}},
                   {MapAreaKind::System, "the boot sector", {{2, 0, 0x2B0 + 1040}, {1, 9, 0}}}};

    const DrawnMap map = drawAndRead(image);
    EXPECT_EQ(map.panels, std::vector<int>({0, 1})) << "disk 2 is disk 0 again, disk 3 is blank";
    const struct {
        int disk, track, index, c;
        const char* files;
        const char* titleEnd;
        const char* symbol;
    } cells[] = {
        {0, 0, 0, 0, "tablecut:KX200", "whole; in the system area: the boot sector; in KX200 (tablecut) bytes 0-1023",
         "#ks"},
        {0, 0, 1, 5, "tablecut:KX200 scancut:KX200",
         "whole; in KX200 (tablecut) bytes 1024-2047; in KX200 (scancut) bytes 0-99", "#kf"},
        {0, 0, 2, 0, "tablecut:KX200 scancut:KX200",
         "short: the file holds 476 of them; in KX200 (tablecut) bytes 2048-2523; in KX200 (scancut) bytes 100-1023",
         "#s"},
        {1, 0, 0, 0, "", "whole; in the directory: the directory", "#kd"},
    };
    ASSERT_EQ(map.records.size(), std::size(cells));
    for (const auto& cell : cells) {
        const DrawnRecord& drawn = map.records.at({cell.disk, cell.track, cell.index});
        EXPECT_EQ(drawn.c, cell.c) << cell.titleEnd;
        EXPECT_EQ(drawn.files, cell.files) << cell.titleEnd;
        EXPECT_EQ(drawn.symbol, cell.symbol) << cell.titleEnd;
        const std::string end = cell.titleEnd;
        EXPECT_EQ(drawn.title.substr(drawn.title.size() - std::min(end.size(), drawn.title.size())), end);
    }
    EXPECT_EQ(map.marks, std::vector<std::string>({"KX200 (tablecut) is zero-padded from byte 2524 on",
                                                   "KX201 (tablecut) is not written: " + notWritten.reason}));
    for (const char* words : {"C 0 H 1\n", "not read\n", "past the end of the file\n",
                              "KX200 (tablecut); KX200 (scancut); the file ends; KX200 zero-padded from byte 2524; "
                              "not written: KX201\n",
                              "disk 2: an earlier disk again", "disk 3: zero bytes read as empty disk headers",
                              "whole, in the directory: 1\n", "whole, in the system area (boot, parameters): 1\n",
                              "two greens): 1\n"}) {
        EXPECT_NE(map.text.find(words), std::string::npos) << words << " in\n" << map.text;
    }
}

// A name and a path of any bytes still give well-formed XML, and however
// many records the disks hold, the map draws a bounded number and says so.
TEST(Map, HostileTextAndEndlessTracksGiveABoundedWellFormedMap)
{
    HandMade image;
    image.image.path = "a<b&c\"\x01\xff\xef\xbf\xbf.d88";
    std::vector<RecordFacts> many;
    for (int r = 0; r < 100; ++r) {
        many.push_back(record(r, 1024, 1024));
    }
    std::vector<TrackFacts> tracks;
    for (int t = 0; t < D88Image::kTrackCount; ++t) {
        tracks.push_back(track(t, many));
        tracks.back().recordCount = 65536;
    }
    for (int d = 0; d < 10; ++d) {
        image.disk(tracks).facts.name = "\x01<&>\"\x82";
    }
    const std::string svg = image.draw();
    DrawnMap map;
    std::string error;
    ASSERT_TRUE(readMap(svg, map, error)) << error;
    EXPECT_EQ(map.records.size(), kMapCellsPerImage);
    EXPECT_EQ(map.records.count({0, 0, static_cast<int>(kMapCellsPerTrack) - 1}), 1u);
    EXPECT_EQ(map.records.count({0, 0, static_cast<int>(kMapCellsPerTrack)}), 0u);
    const std::size_t visited = 10 * D88Image::kTrackCount * 65536;
    EXPECT_NE(map.text.find(std::to_string(visited - kMapCellsPerImage) + " records are not drawn"), std::string::npos);
    EXPECT_NE(map.text.find("+65472 not drawn"), std::string::npos);
    EXPECT_NE(map.text.find("a<b&c\"\\x01\\xff\\xef\\xbf\\xbf.d88"), std::string::npos);
    EXPECT_LT(svg.size(), 20u << 20);
}
