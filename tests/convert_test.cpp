// The conversions from memory: every known raw size there and back, the
// choice of a raw image's geometry, and what a raw image of a damaged disk
// holds and says.
#include "test_support.h"

#include "conversion.h"
#include "image_survey.h"

#include <functional>

using d88build::Bytes;
using d88build::Disk;
using d88build::Record;

namespace {

class NoReport final : public ReportWriter {
public:
    void beginImage(const ImageFacts&) override {}
    void beginDisk(const DiskFacts&) override {}
    void track(const TrackFacts&) override {}
    void endDisk() override {}
    void endImage(const ImageSummary&) override {}
};

ImageStatus surveyed(const Bytes& image)
{
    NoReport report;
    ImageSurvey survey(report);
    return survey.survey(ImageInput("image.d88", image.data(), image.size()));
}

// The tracks of a sound disk of the geometry, each sector's bytes from its place.
std::vector<std::vector<Record>> soundTracks(const BlockGeometry& g)
{
    std::vector<std::vector<Record>> tracks(static_cast<std::size_t>(g.tracks()));
    for (int t = 0; t < g.tracks(); ++t) {
        const TrackLayout& layout = g.layout(t);
        for (int s = 0; s < layout.sectors; ++s) {
            Record record{t / g.heads, t % g.heads, g.firstR + s, layout.sizeCode, layout.sectors,
                          d88build::pattern(static_cast<std::uint32_t>(t * 256 + s), std::size_t{128} << layout.sizeCode)};
            record.density = layout.single ? 0x40 : 0;
            tracks[static_cast<std::size_t>(t)].push_back(record);
        }
    }
    return tracks;
}

Disk diskOf(const std::vector<std::vector<Record>>& tracks, int media)
{
    Disk disk;
    disk.media(media);
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        disk.track(static_cast<int>(t), tracks[t]);
    }
    return disk;
}

Bytes rawOf(const std::vector<std::vector<Record>>& tracks)
{
    Bytes raw;
    for (const auto& track : tracks) {
        const Bytes data = d88build::dataOf(track);
        raw.insert(raw.end(), data.begin(), data.end());
    }
    return raw;
}

ToRawResult toRaw(const Bytes& image, Bytes& raw, int disk = -1)
{
    MemorySink sink;
    ToRawResult result = convertToRaw(ImageInput("image.d88", image.data(), image.size()), disk, ImageFormat::Raw,
                                      nullptr, sink);
    raw = sink.bytes;
    return result;
}

}  // namespace

// Every kind of the size table: its raw image makes a D88 image that the
// survey calls sound, byte for byte the disk built of the same sectors,
// which converts back to the same raw bytes.
TEST(ConversionTest, EveryKnownGeometryGoesToD88AndBackUnchanged)
{
    for (const RawKind& kind : rawKinds()) {
        SCOPED_TRACE(kind.name);
        const auto tracks = soundTracks(kind.geometry);
        const Bytes raw = rawOf(tracks);
        ASSERT_EQ(raw.size(), kind.geometry.totalBytes());
        MemorySink d88;
        const ToD88Result made =
            convertToD88(raw.data(), raw.size(), ImageFormat::Raw, &kind, nullptr, -1, DiskLabel(), d88);
        ASSERT_TRUE(made.converted) << made.choice.why;
        EXPECT_SAME_BYTES(diskOf(tracks, mediaFor(kind.geometry)).build(), d88.bytes);
        EXPECT_EQ(surveyed(d88.bytes), ImageStatus::Ok);
        Bytes back;
        const ToRawResult result = toRaw(d88.bytes, back);
        ASSERT_TRUE(result.converted) << result.error;
        EXPECT_TRUE(result.findings.exact()) << result.findings.lines("test", 8);
        EXPECT_TRUE(result.geometry == kind.geometry) << geometryWords(result.geometry);
        EXPECT_SAME_BYTES(raw, back);
    }
}

namespace {

struct ChoiceCase {
    const char* what;
    std::uint64_t size;
    const char* extension;  // of the file's name
    std::function<void(Bytes&)> fill;
    const char* geometry;   // chosen, or null
    const char* why;        // what the refusal says, in part
};

void fatBoot(Bytes& raw, int bytes, int sectors, int heads, int media, int total)
{
    d88build::putU16(raw, 0x13, total);
    d88build::putU16(raw, 0x0B, bytes);
    d88build::putU16(raw, 0x18, sectors);
    d88build::putU16(raw, 0x1A, heads);
    raw[0x15] = static_cast<unsigned char>(media);
}

void fatMedia(Bytes& raw, int media)
{
    raw[512] = static_cast<unsigned char>(media);
    raw[513] = raw[514] = 0xFF;
}

void fdi(Bytes& raw, std::uint32_t dataSize, std::uint32_t bytes, std::uint32_t sectors, std::uint32_t heads,
         std::uint32_t cylinders)
{
    const std::uint32_t fields[] = {0, 0x90, 4096, dataSize, bytes, sectors, heads, cylinders};
    for (int i = 0; i < 8; ++i) {
        d88build::putU32(raw, 4 * static_cast<std::size_t>(i), fields[i]);
    }
}

}  // namespace

TEST(ConversionTest, ARawImageGeometryComesFromEvidenceOrNotAtAll)
{
    const auto none = [](Bytes&) {};
    const ChoiceCase cases[] = {
        {"a size of one kind", 1261568, "img", none, "77 x 2 x 8 x 1024", nullptr},
        {"the 26-sector 2HD size", 1021696, "2hd", none, "77 x 2 x 26 x 256, track 0 26 x 128 FM", nullptr},
        {"a shared size, nothing to tell", 327680, "img", none, nullptr,
         "a raw 2D image (40 x 2 x 16 x 256) or a raw 320 KB image (40 x 2 x 8 x 512)"},
        {"a shared size, a parameter block", 327680, "img", [](Bytes& raw) { fatBoot(raw, 512, 8, 2, 0xFF, 640); },
         "40 x 2 x 8 x 512", nullptr},
        {"a shared size, a FAT's media byte", 655360, "img", [](Bytes& raw) { fatMedia(raw, 0xFB); },
         "80 x 2 x 8 x 512", nullptr},
        {"a media byte of neither", 655360, "img", [](Bytes& raw) { fatMedia(raw, 0xF0); }, nullptr,
         "nothing in it tells which"},
        {"the extension settles it", 327680, "2d", none, "40 x 2 x 16 x 256", nullptr},
        {"an extension of another size", 327680, "hdm", none, nullptr,
         "where a raw image of 77 x 2 x 8 x 1024 holds 1261568 bytes"},
        {"an unknown size", 1000, "img", none, nullptr, "its size, 1000 bytes, is that of no raw image"},
        {"an FDI header", 4096 + 1261568, "fdi", [](Bytes& raw) { fdi(raw, 1261568, 1024, 8, 2, 77); },
         "77 x 2 x 8 x 1024", nullptr},
        {"an FDI header of another size", 4096 + 1261568, "fdi", [](Bytes& raw) { fdi(raw, 1261568, 512, 8, 2, 77); },
         nullptr, "does not agree with the file's 1265664 bytes"},
        {"no FDI header", 4096 + 1261568, "fdi", none, nullptr, "its FDI header names no disk geometry"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes raw(static_cast<std::size_t>(c.size), 0xE5);
        c.fill(raw);
        ImageFormat format = ImageFormat::Raw;
        const RawKind* named = nullptr;
        ASSERT_TRUE(formatOfPath(std::string("disk.") + c.extension, format, named));
        MemorySink sink;
        const ToD88Result result = convertToD88(raw.data(), raw.size(), format, named, nullptr, -1, DiskLabel(), sink);
        EXPECT_EQ(result.converted, c.geometry != nullptr) << result.choice.why;
        if (c.geometry != nullptr) {
            EXPECT_EQ(geometryWords(result.choice.geometry), c.geometry);
        } else {
            EXPECT_NE(result.choice.why.find(c.why), std::string::npos) << result.choice.why;
            EXPECT_TRUE(sink.bytes.empty());
        }
    }
    const Bytes filler(327680, 0xE5);
    EXPECT_EQ(rawKindOf(filler.size(), filler.data(), filler.size()),
              "a raw 2D image (40 x 2 x 16 x 256) or a raw 320 KB image (40 x 2 x 8 x 512)");
    Bytes cutD88 = diskOf(soundTracks(BlockGeometry::uniform(40, 2, 16, 1)), 0).build();
    cutD88.resize(327680);
    EXPECT_EQ(rawKindOf(cutD88.size(), cutD88.data(), cutD88.size()), "") << "a D88 image, cut short to the size";
}

namespace {

using Tracks = std::vector<std::vector<Record>>;

struct DamageCase {
    const char* what;
    std::function<void(Tracks&)> damage;
    std::function<void(Bytes& image)> cut;        // after building; may be empty
    std::map<Finding, std::size_t> findings;      // sectors of each kind found
    std::function<void(Bytes& raw)> expectRaw;    // the sound raw image made what the damaged one must give
};

constexpr std::size_t kTrack = 16 * 256;

void zero(Bytes& raw, std::size_t from, std::size_t size)
{
    std::fill(raw.begin() + static_cast<long>(from), raw.begin() + static_cast<long>(from + size), 0);
}

}  // namespace

// A 2D disk with one fault each: every byte the image holds in its place,
// zeros where it holds none, and every sector said by its kind.
TEST(ConversionTest, ADamagedDiskGivesEveryByteItHoldsAndSaysEverySectorItLost)
{
    const auto keep = [](Bytes&) {};
    const DamageCase cases[] = {
        {"cut inside track 79's sector R 5", [](Tracks&) {}, [](Bytes& image) { image.resize(image.size() - 11 * 272 - 200); },
         {{Finding::CutShort, 1}, {Finding::Missing, 11}}, [](Bytes& raw) { zero(raw, raw.size() - 11 * 256 - 200, 11 * 256 + 200); }},
        {"a bad status", [](Tracks& t) { t[3][1].status = 0xB0; }, nullptr, {{Finding::BadStatus, 1}}, keep},
        {"a deleted mark", [](Tracks& t) { t[4][6].deleted = 0x10; }, nullptr, {{Finding::Deleted, 1}}, keep},
        {"an extra R 17", [](Tracks& t) { t[5].push_back({2, 1, 17, 1, 17, Bytes(256, 7)}); }, nullptr,
         {{Finding::Extra, 1}}, keep},
        {"a second R 3", [](Tracks& t) { t[6].push_back({3, 0, 3, 1, 17, Bytes(256, 7)}); }, nullptr,
         {{Finding::Duplicate, 1}}, keep},
        {"R 4 of another size", [](Tracks& t) { t[7][3] = {3, 1, 4, 2, 16, Bytes(512, 7)}; }, nullptr,
         {{Finding::OtherSize, 1}}, [](Bytes& raw) { zero(raw, 7 * kTrack + 3 * 256, 256); }},
        {"R 9 of 100 bytes", [](Tracks& t) { t[8][8].data.resize(100); }, nullptr, {{Finding::OddLength, 1}},
         [](Bytes& raw) { zero(raw, 8 * kTrack + 8 * 256 + 100, 156); }},
        {"no R 16", [](Tracks& t) { t[9].pop_back(); }, nullptr, {{Finding::Missing, 1}},
         [](Bytes& raw) { zero(raw, 9 * kTrack + 15 * 256, 256); }},
    };
    const BlockGeometry geometry = BlockGeometry::uniform(40, 2, 16, 1);
    const Tracks sound = soundTracks(geometry);
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        Tracks tracks = sound;
        c.damage(tracks);
        for (auto& track : tracks) {
            for (Record& record : track) {
                record.count = static_cast<int>(track.size());
            }
        }
        Bytes image = diskOf(tracks, 0).build();
        if (c.cut) {
            c.cut(image);
        }
        Bytes expected = rawOf(sound);
        c.expectRaw(expected);
        Bytes raw;
        const ToRawResult result = toRaw(image, raw);
        ASSERT_TRUE(result.converted) << result.error;
        EXPECT_EQ(geometryWords(result.geometry), "40 x 2 x 16 x 256");
        for (std::size_t k = 0; k < kFindingKinds; ++k) {
            const auto found = c.findings.find(static_cast<Finding>(k));
            EXPECT_EQ(result.findings.count(static_cast<Finding>(k)), found == c.findings.end() ? 0 : found->second)
                << findingWords(static_cast<Finding>(k)).key;
        }
        EXPECT_SAME_BYTES(expected, raw);
    }
}

// Tracks the table names past the end of the file count: the raw image has
// the whole disk's size, zeros where the file ends.
TEST(ConversionTest, TracksPastTheEndOfTheFileAreZerosOfTheirFullSize)
{
    const Tracks sound = soundTracks(BlockGeometry::uniform(40, 2, 16, 1));
    const Bytes whole = diskOf(sound, 0).build();
    const std::uint32_t end = static_cast<std::uint32_t>(whole.size());
    Disk disk = diskOf(sound, 0);
    disk.trackOffset(80, end).trackOffset(81, end + 16 * 272).diskSize(end + 2 * 16 * 272);
    Bytes raw;
    const ToRawResult result = toRaw(disk.build(), raw);
    ASSERT_TRUE(result.converted) << result.error;
    EXPECT_EQ(geometryWords(result.geometry), "41 x 2 x 16 x 256");
    EXPECT_EQ(result.findings.count(Finding::Missing), 32u);
    EXPECT_EQ(result.findings.lines("d88convert", 8),
              "d88convert: 32 sectors missing, filled with zeros: tracks 80-81 R 1-16\n");
    Bytes expected = rawOf(sound);
    expected.resize(expected.size() + 2 * kTrack, 0);
    EXPECT_SAME_BYTES(expected, raw);
}
