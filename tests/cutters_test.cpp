// Every way of taking files in the table previews what its cut writes: the
// survey's findings and the cut itself agree file for file (name, size,
// bytes supplied, disk; and the files the way knows of but does not write),
// over the samples whole and cut short inside their disks.
#include "cutter.h"
#include "file_system_builder.h"
#include "image_buffer.h"
#include "image_survey.h"
#include "os_read_counter.h"
#include "recording_sink.h"
#include "survey_keeper.h"
#include "test_support.h"

#include <d88image/d88image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

struct Told final : CutListener {
    void recognised(int, const char*) override {}
    void notCut(int disk, const char* name) override { names.push_back(std::to_string(disk) + ":" + name); }
    std::vector<std::string> names;
};

std::string shown(const std::string& name, std::size_t size, std::size_t supplied, int disk)
{
    return std::to_string(disk) + ":" + name + " " + std::to_string(supplied) + "/" + std::to_string(size);
}

// A Scenario Disk whose KX201 cannot start and whose KX207 runs into a
// short sector, and a disk of scanned files cut short after its last file.
d88build::Bytes damaged()
{
    auto track16 = d88build::standardTrack(16, 32, 8, 7);
    track16.erase(track16.begin() + 3);
    auto track18 = d88build::standardTrack(18, 32, 8, 7);
    track18[6].data.resize(100);
    d88build::Bytes content = d88build::scanFiller(64, 3);
    for (std::size_t block : {1, 40}) {
        const d88build::Bytes file = d88build::scanFile(6, static_cast<std::uint32_t>(block));
        std::copy(file.begin(), file.end(), content.begin() + static_cast<std::ptrdiff_t>(block * 1024));
    }
    const d88build::Bytes scanned = d88build::linearDisk(content, 1).build();
    return d88build::concat({d88build::standardDisk(32, 8, 20, 7).track(16, track16).track(18, track18).build(),
                             d88build::slice(scanned, 0, scanned.size() - 12 * 1024)});
}

TEST(Cutters, EachWaysPreviewAgreesWithItsCut)
{
    const d88build::Bytes three = testsupport::readFile(SAMPLE_DIR "/three-disks.d88");
    const d88build::Bytes scan = testsupport::readFile(SAMPLE_DIR "/scan-disks.d88");
    const d88build::Bytes hurt = damaged();
    const struct {
        const char* name;
        const d88build::Bytes& bytes;
        std::size_t length;
    } images[] = {
        {"three disks", three, three.size()},
        {"three disks, cut in the last", three, three.size() * 7 / 10},
        {"scan disks", scan, scan.size()},
        {"scan disks, cut in the second", scan, scan.size() * 7 / 10},
        {"damaged disks", hurt, hurt.size()},
    };
    SurveyKeeper keeper;
    ImageSurvey survey(keeper);
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kImageBufferSize]);
    for (const auto& image : images) {
        ASSERT_LE(image.length, image.bytes.size());
        const ImageInput input(image.name, image.bytes.data(), image.length);
        ASSERT_NE(survey.survey(input), ImageStatus::Unreadable) << image.name;
        ASSERT_EQ(keeper.summary.cuts.size(), cutterCount());
        for (std::size_t way = 0; way < cutterCount(); ++way) {
            const Cutter& cutter = cutterAt(way);
            std::vector<std::string> previewed, notWritten;
            for (const PlannedFile& file : keeper.summary.cuts[way].files) {
                (file.written ? previewed : notWritten)
                    .push_back(file.written ? shown(file.name, file.size, file.supplied, file.disk)
                                            : std::to_string(file.disk) + ":" + file.name);
            }
            D88Image reader;
            ASSERT_TRUE(input.openIn(reader));
            std::fill(buffer.get(), buffer.get() + kImageBufferSize, 0);
            RecordingSink sink;
            Told told;
            EXPECT_TRUE(cutter.newCut(buffer.get())->image(reader, sink, &told));
            std::vector<std::string> cut;
            for (const RecordedFile& file : sink.files) {
                cut.push_back(shown(file.name, file.data.size(), file.supplied, file.disk));
            }
            EXPECT_EQ(cut, previewed) << image.name << ", " << cutter.name;
            EXPECT_EQ(told.names, notWritten) << image.name << ", " << cutter.name;
        }
    }
}

// An N88-BASIC 2DD disk whose files lie on clusters from one end of the
// disk to the other, out of order.
std::string scatteredFilesDisk(const testsupport::TempDir& folder)
{
    d88build::N88Volume volume("2DD");
    volume.file("FAR   BAS", 0x80, {150, 3, 100}, 16, 1);
    volume.file("NEAR  BIN", 0x01, {1, 159, 60}, 5, 2);
    volume.file("MID", 0x00, {70, 20, 120, 40}, 16, 3);
    return folder.write("scattered.d88", volume.image.disk(volume.media).build());
}

// The previews read the disks the survey walks from its walk: a survey of
// an image reads its file from the operating system about once, the file
// system's files judged sector by sector as the walk reaches their tracks.
// (tablecut's preview reads a disk's files again once the walk has passed
// them: some 5 % more of a file of its three disks. Each file-system reader that may hold a disk reads its own tables,
// a window of the file each: a third more of a 2DD disk, where judging its
// files apart from the walk read three quarters more.)
TEST(Cutters, TheSurveyReadsAnImageAboutOnce)
{
    const testsupport::TempDir folder;
    const struct {
        std::string path;
        std::size_t over;  // at most 1/over more than the file
    } images[] = {{SAMPLE_DIR "/scan-disks.d88", 50}, {SAMPLE_DIR "/three-disks.d88", 16},
                  {scatteredFilesDisk(folder), 2}};
    for (const auto& image : images) {
        const std::size_t size = testsupport::readFile(image.path).size();
        SurveyKeeper keeper;
        ImageSurvey survey(keeper);
        testsupport::OsReadCounter counter;
        if (!counter.start()) {
            GTEST_SKIP() << "no /proc/self/io here to count the bytes read from the operating system";
        }
        ASSERT_NE(survey.survey(image.path), ImageStatus::Unreadable) << image.path;
        const unsigned long long read = counter.readSinceStart();
        EXPECT_GE(read, size) << image.path;
        EXPECT_LE(read, size + size / image.over) << image.path << ": " << read << " bytes read of " << size;
    }
}

// The reports list each way's files of every image, of one not read too.
TEST(Cutters, AnImageNotReadHasEmptyFindingsOfEveryWay)
{
    SurveyKeeper keeper;
    ImageSurvey survey(keeper);
    ASSERT_EQ(survey.survey(std::string(SAMPLE_DIR)), ImageStatus::Unreadable);
    ASSERT_EQ(keeper.summary.cuts.size(), cutterCount());
    for (const CutFindings& findings : keeper.summary.cuts) {
        EXPECT_TRUE(findings.files.empty());
        EXPECT_FALSE(findings.recognised);
    }
}

}  // namespace
