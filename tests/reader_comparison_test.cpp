// The product reader, opening each image from a file and from memory, against
// the plain reference reader, operation by operation, on the samples and on
// images built for the purpose: whole, and cut short at many lengths (at and
// around every record boundary, inside headers and data, and in steps
// through whole tracks), so that the window meets the end of the image after
// holding earlier parts of it.
#include "reader_comparison.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <set>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

struct Region {
    int disk;
    int firstTrack;
    int lastTrack;
    std::size_t step;  // 0: record boundaries only
};

// Lengths to cut the image at: around each record of the regions' tracks,
// and every step bytes through them; each disk's header edges too.
std::set<std::size_t> cutLengths(const Bytes& image, const std::vector<Region>& regions)
{
    std::set<std::size_t> cuts;
    d88ref::ReferenceReader reference(image.data(), image.size());
    for (int d = 0; d < reference.diskCount(); ++d) {
        const std::size_t at = static_cast<std::size_t>(reference.diskOffset(d));
        for (std::size_t edge : {at + 1, at + 687, at + 688, at + 689}) {
            cuts.insert(edge);
        }
    }
    for (const Region& region : regions) {
        reference.selectDisk(region.disk);
        for (int t = region.firstTrack; t <= region.lastTrack; ++t) {
            std::vector<d88ref::Record> records;
            reference.walkTrack(t, records);
            for (const d88ref::Record& record : records) {
                const std::size_t p = static_cast<std::size_t>(record.position);
                const std::size_t length = static_cast<std::size_t>(record.length);
                for (std::size_t cut : {p, p + 1, p + 8, p + 15, p + 16, p + 17, p + 16 + length / 2, p + 15 + length}) {
                    cuts.insert(cut);
                }
            }
            if (region.step > 0 && !records.empty()) {
                const std::size_t from = static_cast<std::size_t>(records.front().position);
                const std::size_t to = static_cast<std::size_t>(records.back().position) + 16 +
                                       static_cast<std::size_t>(records.back().length);
                for (std::size_t cut = from; cut < to; cut += region.step) {
                    cuts.insert(cut);
                }
            }
        }
    }
    cuts.erase(cuts.lower_bound(image.size()), cuts.end());
    return cuts;
}

// Where a cut falls: the last disk starting before it, and two tracks
// before the last of that disk starting before it, so that the window holds
// earlier data of the disk when the walk meets the end of the file.
struct CutPlace {
    int disk = 0;
    int fromTrack = -1;
};

CutPlace placeOf(const Bytes& image, std::size_t cut)
{
    d88ref::ReferenceReader reference(image.data(), image.size());
    CutPlace place;
    for (int d = 0; d < reference.diskCount(); ++d) {
        if (reference.diskOffset(d) < cut) {
            place.disk = d;
        }
    }
    reference.selectDisk(place.disk);
    int last = -1;
    for (int t = 0; t < 164; ++t) {
        const std::uint64_t offset = reference.trackOffset(t);
        if (offset != 0 && reference.diskOffset(place.disk) + offset < cut) {
            last = t;
        }
    }
    place.fromTrack = std::max(-1, last - 2);
    return place;
}

struct ComparedImage {
    std::string name;
    Bytes bytes;
    std::vector<Region> regions;
};

Bytes sample(const std::string& name)
{
    return testsupport::readFile(std::string(SAMPLE_DIR) + "/" + name);
}

// Records of every length around the window's size, one longer than the
// window, and a second track after them.
Disk windowEdgesDisk()
{
    return Disk().track(0, d88build::varyingLengthTrack(60, 30)).track(1, d88build::standardTrack(1, 1, 8, 3));
}

// What damaged dumps hold: counts that disagree or are 0, empty and
// oversized sectors, duplicate IDs, more than 16 records, odd size codes,
// and track offsets at and beyond the disk's size.
Disk oddRecordsDisk()
{
    std::vector<Record> many;
    for (int i = 0; i < 20; ++i) {
        many.push_back({0, 1, 20 - i, i % 4, 20, d88build::pattern(static_cast<std::uint32_t>(i), 50 + 37 * static_cast<std::size_t>(i))});
    }
    Disk disk;
    disk.name("\x82\xa0ODD").media(0x10)
        .track(0, {{0, 0, 1, 3, 3, Bytes(1024, 1)}, {0, 0, 2, 3, 0, Bytes(1024, 2)}, {0, 0, 3, 3, 3, Bytes(1024, 3)}})
        .track(1, many)
        .track(2, {{1, 0, 5, 3, 4, {}}, {1, 0, 5, 3, 4, Bytes(300, 5)}, {1, 0, 5, 3, 4, Bytes(200, 6)},
                   {1, 0, 7, 9, 9, Bytes(5000, 7)}})
        .track(3, {{1, 1, 1, 0, 2, Bytes(128, 8)}, {1, 1, 2, 255, 7, Bytes(10, 9)}, {1, 1, 3, 3, 7, Bytes(1, 10)}});
    return disk;
}

// 70,000 records whose counts never end a walk: 65535 would end it at
// record 65534, which says 1.
std::vector<Record> endlessWalk()
{
    std::vector<Record> records(70000, Record{1, 2, 3, 0, 65535, {}});
    records[65534].count = 1;
    return records;
}

std::vector<ComparedImage> images()
{
    const Bytes odd = oddRecordsDisk().build();
    Bytes beyond = odd;
    d88build::putU32(beyond, 0x20 + 4 * 5, static_cast<std::uint32_t>(odd.size()));
    d88build::putU32(beyond, 0x20 + 4 * 6, static_cast<std::uint32_t>(odd.size()) + 1);
    beyond.insert(beyond.end(), {4, 1, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 9, 9, 9});
    Bytes protectedDisk = d88build::standardDisk(48, 8, 3, 5).name("EVENT").build();
    protectedDisk[0x1A] = 0x10;
    return {
        {"scan sample", sample("scan-disks.d88"), {{0, 0, 1, 300}, {0, 152, 153, 0}, {1, 0, 0, 0}, {1, 153, 153, 0}}},
        {"three-disk sample", sample("three-disks.d88"), {{1, 16, 17, 300}, {0, 153, 153, 0}, {2, 0, 1, 0}, {2, 153, 153, 0}}},
        {"window edges", windowEdgesDisk().build(), {{0, 0, 1, 251}}},
        {"odd records and tracks", d88build::concat({protectedDisk, beyond}), {{0, 0, 3, 0}, {1, 0, 6, 53}}},
        // Past the walk limit: a list is bound only by its capacity.
        {"a walk no count ends", Disk().track(0, endlessWalk()).build(), {}},
    };
}

}  // namespace

TEST(ReaderComparison, TheReaderAgreesWithThePlainReferenceWholeAndCutShort)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("image.d88");
    for (const ComparedImage& image : images()) {
        ASSERT_FALSE(image.bytes.empty()) << image.name;
        for (const d88ref::ImageForm form : {d88ref::ImageForm::File, d88ref::ImageForm::Memory}) {
            const std::string name = image.name + ", " + d88ref::formName(form);
            ASSERT_TRUE(d88build::writeFile(path, image.bytes));
            d88ref::ReaderComparison whole(form, path, image.bytes.data(), image.bytes.size());
            whole.compareEverything();
            ASSERT_TRUE(whole.agree()) << name << ", whole: " << whole.difference();
            EXPECT_GT(whole.operations(), 1000) << name;

            // Longest first, so that each cut only shortens the file.
            const std::set<std::size_t> cuts = cutLengths(image.bytes, image.regions);
            for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
                std::filesystem::resize_file(path, *cut);
                d88ref::ReaderComparison comparison(form, path, image.bytes.data(), *cut);
                comparison.compareIndex();
                const CutPlace place = placeOf(image.bytes, *cut);
                comparison.compareDisk(place.disk, place.fromTrack);
                ASSERT_TRUE(comparison.agree()) << name << " cut to " << *cut << " bytes: " << comparison.difference();
            }
        }
    }
}
