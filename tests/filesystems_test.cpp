// The file-system readers over built disks: for each file system, a table
// of the disks that matter (fragmented chains, last-cluster counts, loops,
// chains off the disk, copies of the table that disagree, an image cut
// inside a file, sectors of bad status), each with the files that must come
// out, byte for byte, and their state and damage; FAT12 against the files
// mtools gives back from the images it made.
#include "file_system_builder.h"
#include "file_systems.h"
#include "image_survey.h"
#include "recording_sink.h"
#include "shift_jis.h"
#include "survey_keeper.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>

using d88build::Bytes;
using d88build::FVolume;
using d88build::HuVolume;
using d88build::N88Volume;
using d88build::SectorImage;

namespace {

// A listed image, kept open with the bytes of each file.
struct Listed {
    Bytes image;
    mutable D88Image reader;  // reading moves its window, nothing else
    FileListing listing;
    std::map<std::string, Bytes> bytes;

    explicit Listed(Bytes built) : image(std::move(built))
    {
        reader.openMemory(image.data(), image.size());
        NameRules rules;
        rules.decodeShiftJis = decodeShiftJis;
        listing = listFiles(reader, 0, rules);
        for (const FileEntry& file : listing.files) {
            readFile(reader, 0, file, bytes[file.path]);
        }
    }
    const FileEntry* file(const std::string& path) const
    {
        for (const FileEntry& f : listing.files) {
            if (f.path == path) {
                return &f;
            }
        }
        return nullptr;
    }
};

// The first sector of each area, as "directory C 18 H 1 R 1", in the
// listing's order.
std::vector<std::string> areaStarts(const FileListing& listing)
{
    std::vector<std::string> starts;
    for (const Area& area : listing.areas) {
        const SectorPlace& p = area.sectors.at(0);
        starts.push_back(std::string(areaName(area.kind)) + " C " + std::to_string(p.c) + " H " + std::to_string(p.h) +
                         " R " + std::to_string(p.r) + " x " + std::to_string(area.sectors.size()));
    }
    return starts;
}

bool hasDamage(const std::vector<Damage>& damage, const std::string& what)
{
    return std::any_of(damage.begin(), damage.end(), [&](const Damage& d) { return d.what.find(what) == 0; });
}

bool hasFault(const FileEntry& file, SectorFault fault)
{
    return std::any_of(file.pieces.begin(), file.pieces.end(), [&](const FilePiece& p) { return p.fault == fault; });
}

// What one file must be.
struct Expect {
    std::string path;
    FileState state;
    Bytes bytes;                            // its bytes, zeros where lacking
    std::string damage = {};                // a fault of its chain, "" for none
    SectorFault fault = SectorFault::None;  // a fault one of its sectors has
};

struct Case {
    const char* name;
    // Builds the image, saying what must come out and the disk's own damage.
    std::function<Bytes(std::vector<Expect>&, std::string&)> build;
};

// The built image cut inside the bytes that start with marker, at into
// bytes after the marker's start.
Bytes cutAt(Bytes image, const Bytes& marker, std::size_t into)
{
    const auto at = std::search(image.begin(), image.end(), marker.begin(), marker.end());
    image.resize(static_cast<std::size_t>(at - image.begin()) + into);
    return image;
}

Bytes zeroedFrom(Bytes bytes, std::size_t from)
{
    std::fill(bytes.begin() + static_cast<long>(std::min(from, bytes.size())), bytes.end(), 0);
    return bytes;
}

// Each file's state and, piece by piece, what the disk supplies of it and
// from where: the judgement of its sectors, one line per file.
std::vector<std::string> judgement(const FileListing& listing)
{
    std::vector<std::string> lines;
    for (const FileEntry& file : listing.files) {
        std::string line = file.path + " " + stateName(file.state);
        for (const FilePiece& piece : file.pieces) {
            line += " " + std::to_string(piece.supplied) + faultName(piece.fault) + "@" + std::to_string(piece.position);
        }
        lines.push_back(line);
    }
    return lines;
}

void check(const Case& c, const std::string& kind)
{
    SCOPED_TRACE(c.name);
    std::vector<Expect> expected;
    std::string diskDamage;
    const Listed listed(c.build(expected, diskDamage));
    ASSERT_TRUE(listed.listing.found) << listed.listing.reason;
    EXPECT_EQ(listed.listing.kind, kind);
    // The survey judges each file's sectors as its walk reaches their
    // tracks: as listing the disk at once does.
    SurveyKeeper keeper;
    ImageSurvey survey(keeper);
    survey.survey(ImageInput("built", listed.image.data(), listed.image.size()));
    ASSERT_EQ(keeper.disks.size(), 1u);
    ASSERT_TRUE(keeper.disks[0].fileSystem);
    EXPECT_EQ(judgement(*keeper.disks[0].fileSystem), judgement(listed.listing));
    if (diskDamage.empty()) {
        EXPECT_TRUE(listed.listing.damage.empty()) << listed.listing.damage[0].what;
    } else {
        EXPECT_TRUE(hasDamage(listed.listing.damage, diskDamage)) << diskDamage;
    }
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.path);
        const FileEntry* file = listed.file(e.path);
        ASSERT_NE(file, nullptr);
        EXPECT_STREQ(stateName(file->state), stateName(e.state));
        EXPECT_SAME_BYTES(e.bytes, listed.bytes.at(e.path));
        // A sink is handed what there is to write, as the cutters hand theirs.
        RecordingSink sink;
        const bool written = writeFile(listed.reader, 0, *file, sink);
        EXPECT_EQ(written, e.state == FileState::Complete || e.state == FileState::Incomplete);
        if (written) {
            ASSERT_EQ(sink.files.size(), 1u);
            EXPECT_EQ(sink.files[0].name, e.path);
            EXPECT_SAME_BYTES(e.bytes, sink.files[0].data);
            EXPECT_EQ(sink.files[0].supplied == e.bytes.size(), e.state == FileState::Complete);
        }
        if (e.damage.empty()) {
            EXPECT_TRUE(file->damage.empty()) << file->damage[0].what << " at " << file->damage[0].where;
        } else {
            EXPECT_TRUE(hasDamage(file->damage, e.damage)) << e.damage;
        }
        if (e.fault != SectorFault::None) {
            EXPECT_TRUE(hasFault(*file, e.fault)) << faultName(e.fault);
        } else {
            EXPECT_FALSE(damaged(*file) && file->damage.empty()) << "a sector of it is faulty";
        }
    }
}

const Case kN88Cases[] = {
    {"fragmented chains and last-cluster counts",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2D");
         e.push_back({"FRAG.BAS", FileState::Complete, v.file("FRAG  BAS", 0x80, {10, 12, 5}, 3, 1)});
         e.push_back({"ONE", FileState::Complete, v.file("ONE", 0x00, {20}, 1, 2)});
         e.push_back({"FULL.BIN", FileState::Complete, v.file("FULL  BIN", 0x01, {21, 22}, 8, 3)});
         return v.image.disk(v.media).build();
     }},
    {"2DD and its one-track clusters",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2DD");
         e.push_back({"A", FileState::Complete, v.file("A", 0x80, {100, 3, 159}, 16, 4)});
         return v.image.disk(v.media).build();
     }},
    {"2HD, track 0 of 128-byte sectors",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2HD");
         e.push_back({"B.DAT", FileState::Complete, v.file("B     DAT", 0x00, {2, 153, 71}, 26, 5)});
         return v.image.disk(v.media).build();
     }},
    {"a loop",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2D");
         const Bytes bytes = v.file("LOOP", 0x80, {30, 31}, 8, 6);
         v.link(31, 30);
         e.push_back({"LOOP", FileState::Complete, bytes, "chain loops"});
         return v.image.disk(v.media).build();
     }},
    {"chains off the disk and into a free or reserved cluster",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2D");
         const Bytes off = v.file("OFF", 0x80, {40, 41}, 8, 7);
         v.link(41, 0xB0);
         const Bytes free = v.file("FREE", 0x80, {42, 43}, 8, 8);
         v.link(43, 0xFF);
         const Bytes reserved = v.file("RSV", 0x80, {44}, 8, 9);
         v.link(44, 74);
         e.push_back({"OFF", FileState::Complete, off, "chain leaves the disk"});
         e.push_back({"FREE", FileState::Complete, d88build::slice(free, 0, 8 * 256), "chain runs into a free"});
         e.push_back({"RSV", FileState::Complete, reserved, "chain runs into a reserved"});
         return v.image.disk(v.media).build();
     }},
    {"copies of the table that disagree",
     [](std::vector<Expect>& e, std::string& damage) {
         N88Volume v("2D");
         e.push_back({"KEPT", FileState::Complete, v.file("KEPT", 0x80, {50, 51}, 2, 10)});
         v.link(51, 0xC5, 1);  // outvoted by the two other copies
         damage = "allocation table copies disagree";
         return v.image.disk(v.media).build();
     }},
    {"a cluster two files share",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2D");
         const Bytes first = v.file("FIRST", 0x80, {60, 61}, 8, 11);
         const Bytes second = v.file("SECOND", 0x80, {62}, 8, 12);
         v.link(62, 61);
         e.push_back({"FIRST", FileState::Complete, first, "cluster shared with SECOND"});
         e.push_back({"SECOND", FileState::Complete, d88build::concat({second, d88build::slice(first, 2048, 2048)}),
                      "cluster shared with FIRST"});
         return v.image.disk(v.media).build();
     }},
    {"a directory sector left out",
     [](std::vector<Expect>& e, std::string& damage) {
         N88Volume v("2D");
         e.push_back({"STAYS", FileState::Complete, v.file("STAYS", 0x80, {33}, 2, 18)});
         v.image.drop(v.sectorOf(74, 4));  // C 18 H 1 R 5, past the entry
         damage = "directory sector missing";
         return v.image.disk(v.media).build();
     }},
    {"the image cut inside a file",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2D");
         const Bytes cut = v.file("CUT", 0x80, {76, 77}, 8, 13);
         const Bytes gone = v.file("GONE", 0x80, {90}, 4, 14);
         e.push_back({"CUT", FileState::Incomplete, zeroedFrom(cut, 2048 + 3 * 256 + 100), "", SectorFault::Short});
         e.push_back({"GONE", FileState::Missing, Bytes(4 * 256, 0), "", SectorFault::Missing});
         return cutAt(v.image.disk(v.media).build(), d88build::slice(cut, 2048 + 3 * 256, 32), 100);
     }},
    {"sectors of bad status, deleted-marked and left out",
     [](std::vector<Expect>& e, std::string&) {
         N88Volume v("2D");
         const Bytes bad = v.file("BAD", 0x80, {100, 101}, 8, 15);
         const Bytes marked = v.file("MARKED", 0x80, {102}, 8, 16);
         const Bytes holed = v.file("HOLED", 0x80, {103}, 8, 17);
         v.image.status(v.sectorOf(101, 2), 0xB0);
         v.image.deletedMark(v.sectorOf(102, 0));
         v.image.drop(v.sectorOf(103, 1));
         e.push_back({"BAD", FileState::Complete, bad, "", SectorFault::BadStatus});
         e.push_back({"MARKED", FileState::Complete, marked, "", SectorFault::Deleted});
         Bytes hole = holed;
         std::fill(hole.begin() + 256, hole.begin() + 512, 0);
         e.push_back({"HOLED", FileState::Incomplete, hole, "", SectorFault::Missing});
         return v.image.disk(v.media).build();
     }},
};

TEST(N88Basic, GivesEachFileAsItsChainAndBytesSay)
{
    for (const Case& c : kN88Cases) {
        check(c, "n88-basic");
    }
}

TEST(N88Basic, ListsTypesAttributesAddressesAndDeletedEntries)
{
    N88Volume v("2D");
    Bytes code = v.file("GAME  BIN", 0x01 | 0x10, {10}, 1, 1);
    code[0] = 0x00, code[1] = 0xC0, code[2] = 0xFF, code[3] = 0xC3;
    v.image.write(v.sectorOf(10, 0), d88build::slice(code, 0, 4));
    v.file("PROG", 0x80 | 0x20 | 0x40, {11}, 1, 2);
    v.file("TEXT  TXT", 0x00, {12}, 1, 3);
    v.file("\xB1\xB2/x", 0x00, {13}, 1, 4);  // half-width kana and a slash
    v.file("TEXT  TXT", 0x00, {14}, 1, 5);   // the same name again
    Bytes deleted = {0x00, 'L', 'D', ' ', ' ', ' ', ' ', ' ', ' ', 0x80, 15, 0, 0, 0, 0, 0};
    v.entry(deleted);
    const Listed listed(v.image.disk(v.media).build());
    ASSERT_TRUE(listed.listing.found) << listed.listing.reason;
    EXPECT_EQ(listed.listing.name, "N88-BASIC 2D");

    const FileEntry* game = listed.file("GAME.BIN");
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->type, "machine-code");
    EXPECT_EQ(game->attributes, std::vector<std::string>{"write-protected"});
    EXPECT_EQ(game->loadAddress, 0xC000);
    EXPECT_EQ(game->endAddress, 0xC3FF);
    EXPECT_EQ(game->storedNameHex, "47414D45202042494E");
    const FileEntry* prog = listed.file("PROG");
    ASSERT_NE(prog, nullptr);
    EXPECT_EQ(prog->type, "basic");
    EXPECT_EQ(prog->attributes, (std::vector<std::string>{"encrypted", "verify"}));
    ASSERT_NE(listed.file("TEXT.TXT"), nullptr);
    EXPECT_EQ(listed.file("TEXT.TXT")->type, "ascii");
    EXPECT_NE(listed.file("TEXT-2.TXT"), nullptr);
    EXPECT_NE(listed.file("\xEF\xBD\xB1\xEF\xBD\xB2_x"), nullptr);  // ｱｲ_x
    const FileEntry* gone = listed.file("_LD");
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->state, FileState::Deleted);
    // The system track, kept for the map.
    EXPECT_EQ(areaStarts(listed.listing), (std::vector<std::string>{"system C 18 H 1 R 13 x 1",
                                                                    "directory C 18 H 1 R 1 x 12",
                                                                    "allocation-table C 18 H 1 R 14 x 3"}));
}

const Case kHuCases[] = {
    {"a fragmented file of a stated size, and one of size 0",
     [](std::vector<Expect>& e, std::string&) {
         HuVolume v("2D");
         e.push_back({"GAME.Bin", FileState::Complete, v.file("GAME", "Bin", 0x01, {5, 9, 3}, 1, 2 * 4096 + 300, 1)});
         e.push_back({"NOTE.Asc", FileState::Complete, v.file("NOTE", "Asc", 0x04, {12}, 4, 0, 2)});
         e.push_back({"LAST.Bas", FileState::Complete, v.file("LAST", "Bas", 0x02, {79}, 15, 4096, 3)});
         return v.image.disk(v.media).build();
     }},
    {"2HD, clusters past 127",
     [](std::vector<Expect>& e, std::string&) {
         HuVolume v("2HD");
         e.push_back({"BIG.Bin", FileState::Complete, v.file("BIG", "Bin", 0x01, {130, 200, 10, 249}, 7, 0, 4)});
         return v.image.disk(v.media).build();
     }},
    {"a loop and a chain off the disk",
     [](std::vector<Expect>& e, std::string&) {
         HuVolume v("2D");
         const Bytes loop = v.file("LOOP", "Bin", 0x01, {20, 21}, 15, 0, 5);
         v.link(21, 20);
         const Bytes off = v.file("OFF", "Bin", 0x01, {22}, 15, 2 * 4096, 6);
         v.link(22, 0x7F);
         e.push_back({"LOOP.Bin", FileState::Complete, loop, "chain loops"});
         e.push_back({"OFF.Bin", FileState::Incomplete, d88build::concat({off, Bytes(4096, 0)}),
                      "chain leaves the disk"});
         return v.image.disk(v.media).build();
     }},
    {"the image cut inside a file, and a sector of bad status",
     [](std::vector<Expect>& e, std::string&) {
         HuVolume v("2D");
         const Bytes bad = v.file("BAD", "Bin", 0x01, {30}, 15, 0, 7);
         v.image.status(v.sectorOf(30, 9), 0xA0);
         const Bytes cut = v.file("CUT", "Bin", 0x01, {40, 41}, 15, 8000, 8);
         e.push_back({"BAD.Bin", FileState::Complete, bad, "", SectorFault::BadStatus});
         e.push_back({"CUT.Bin", FileState::Incomplete, zeroedFrom(cut, 4096 + 256 + 10), "", SectorFault::Short});
         return cutAt(v.image.disk(v.media).build(), d88build::slice(cut, 4096 + 256, 32), 10);
     }},
};

TEST(HuBasic, GivesEachFileAsItsSizeOrChainSays)
{
    for (const Case& c : kHuCases) {
        check(c, "hu-basic");
    }
}

TEST(HuBasic, ListsTypesAttributesAddressesDatesAndDeletedEntries)
{
    HuVolume v("2D");
    v.file("PROGRAM", "Bas", 0x02 | 0x40 | 0x20, {4}, 0, 0, 1, {0x87, 0xC5, 0x31, 0x23, 0x59});
    v.file("OLD", "Bin", 0x00, {}, 0, 0, 2);
    const Listed listed(v.image.disk(v.media).build());
    ASSERT_TRUE(listed.listing.found) << listed.listing.reason;
    EXPECT_EQ(listed.listing.name, "Hu-BASIC 2D");
    const FileEntry* program = listed.file("PROGRAM.Bas");
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->type, "basic");
    EXPECT_EQ(program->attributes, (std::vector<std::string>{"verify", "read-only"}));
    EXPECT_EQ(program->loadAddress, 0x3000);
    EXPECT_EQ(program->execAddress, 0x3010);
    EXPECT_EQ(program->date, "1987-12-31 23:59");
    ASSERT_NE(listed.file("OLD.Bin"), nullptr);
    EXPECT_EQ(listed.file("OLD.Bin")->state, FileState::Deleted);
    // 80 clusters, two of them the system's and one the program's.
    EXPECT_EQ(listed.listing.freeBytes, 77u * 4096);
    EXPECT_EQ(areaStarts(listed.listing),
              (std::vector<std::string>{"allocation-table C 0 H 0 R 15 x 1", "directory C 0 H 1 R 1 x 16"}));
    EXPECT_EQ(areaStarts(Listed(HuVolume("2HD").image.disk(0x20).build()).listing),
              (std::vector<std::string>{"allocation-table C 0 H 1 R 3 x 2", "directory C 0 H 1 R 7 x 16"}));
}

const Case kFCases[] = {
    {"fragmented chains, last-cluster counts, a loop",
     [](std::vector<Expect>& e, std::string&) {
         FVolume v("2D");
         e.push_back({"PROG", FileState::Complete, v.file("PROG", 0, false, {10, 3, 20}, 5, 1)});
         e.push_back({"TEXT", FileState::Complete, v.file("TEXT", 1, true, {4}, 1, 2)});
         const Bytes loop = v.file("LOOP", 2, false, {30, 31}, 8, 3);
         v.link(31, 30);
         e.push_back({"LOOP", FileState::Complete, loop, "chain loops"});
         return v.image.disk(v.media).build();
     }},
    {"2DD, the image cut inside a file and a sector of bad status",
     [](std::vector<Expect>& e, std::string&) {
         FVolume v("2DD");
         const Bytes bad = v.file("BAD", 2, false, {5}, 16, 4);
         v.image.status(v.sectorOf(5, 3), 0xB0);
         const Bytes cut = v.file("CUT", 2, false, {150, 151}, 16, 5);
         e.push_back({"BAD", FileState::Complete, bad, "", SectorFault::BadStatus});
         e.push_back({"CUT", FileState::Incomplete, zeroedFrom(cut, 4096 + 50), "", SectorFault::Short});
         return cutAt(v.image.disk(v.media).build(), d88build::slice(cut, 4096, 32), 50);
     }},
};

TEST(FBasic, GivesEachFileAsItsChainSays)
{
    for (const Case& c : kFCases) {
        check(c, "f-basic");
    }
}

TEST(FileSystems, TellsTheBasicsApartOnTheSameGeometryAndFindsNoneOnOtherDisks)
{
    N88Volume n88("2D");
    n88.file("A", 0x80, {3}, 1, 1);
    HuVolume hu("2D");
    hu.file("A", "Bas", 0x02, {3}, 0, 0, 1);
    FVolume f("2D");
    f.file("A", 0, false, {3}, 1, 1);
    const Listed n88Listed(n88.image.disk(n88.media).build());
    const Listed huListed(hu.image.disk(hu.media).build());
    const Listed fListed(f.image.disk(f.media).build());
    EXPECT_EQ(n88Listed.listing.kind, "n88-basic") << n88Listed.listing.reason;
    EXPECT_EQ(huListed.listing.kind, "hu-basic") << huListed.listing.reason;
    EXPECT_EQ(fListed.listing.kind, "f-basic") << fListed.listing.reason;
    EXPECT_EQ(areaStarts(fListed.listing),
              (std::vector<std::string>{"system C 0 H 0 R 3 x 1", "allocation-table C 1 H 0 R 1 x 1",
                                        "directory C 1 H 0 R 4 x 29"}));

    // A game disk of its own loader: sectors of data, no file system.
    SectorImage game(40, 2, 16, 1, 0);
    for (long k = 0; k < game.sectors(); ++k) {
        game.write(k, d88build::pattern(static_cast<std::uint32_t>(k), 256));
    }
    const Listed none(game.disk(0).build());
    EXPECT_FALSE(none.listing.found);
    EXPECT_EQ(none.listing.reason.rfind("no file system found", 0), 0u) << none.listing.reason;
    EXPECT_TRUE(none.listing.files.empty());
    EXPECT_FALSE(Listed(Bytes()).listing.found);
}

// mtools, run with a configuration of its own.
class Mtools {
public:
    static bool present() { return std::system("mformat --version >/dev/null 2>&1") == 0; }
    explicit Mtools(const testsupport::TempDir& dir) : dir_(dir) {}
    void run(const std::string& arguments) const
    {
        const std::string command = "cd '" + dir_.path() + "' && MTOOLS_SKIP_CHECK=1 MTOOLSRC=/dev/null " +
                                    arguments + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << arguments;
    }
    // Every file mcopy gives back from the image, by its path within it.
    std::map<std::string, Bytes> filesBack(const std::string& image) const
    {
        const std::string out = dir_.file("back");
        std::filesystem::create_directories(out);
        run("mcopy -s -n -i " + image + " '::*' back/");
        std::map<std::string, Bytes> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
            if (entry.is_regular_file()) {
                files[std::filesystem::relative(entry.path(), out).generic_string()] =
                    testsupport::readFile(entry.path().string());
            }
        }
        std::filesystem::remove_all(out);
        return files;
    }

private:
    const testsupport::TempDir& dir_;
};

struct FatShape {
    const char* name;
    const char* format;  // mformat's options
    int heads;
    int sectorsPerTrack;
    int sizeCode;
    int media;
};

const FatShape kFatShapes[] = {
    {"PC 720 KB", "-f 720", 2, 9, 2, 0x10},
    {"PC 1.44 MB", "-f 1440", 2, 18, 2, 0x20},
    {"PC 360 KB", "-f 360", 2, 9, 2, 0x00},
    {"PC-98 2DD 640 KB", "-t 80 -h 2 -s 8", 2, 8, 2, 0x10},
    {"PC-98 2HD", "-t 77 -h 2 -s 8 -S 3 -M 1024 -L 2 -c 1 -r 6", 2, 8, 3, 0x20},
};

// Files of every size that matters, in the root, a folder and a folder in
// it; one deleted, its room taken by a larger file, which is fragmented, and
// one deleted last, whose entry stays.
void fillVolume(const Mtools& mtools, const testsupport::TempDir& dir)
{
    const std::pair<const char*, std::size_t> files[] = {
        {"EMPTY.TXT", 0}, {"ONE.BIN", 1}, {"SECTOR.DAT", 512}, {"ODD", 1025}, {"BIG.BIN", 30000}, {"GAP.TMP", 3000}};
    std::uint32_t seed = 1;
    for (const auto& [name, size] : files) {
        ASSERT_TRUE(d88build::writeFile(dir.file(name), d88build::pattern(seed++, size)));
    }
    ASSERT_TRUE(d88build::writeFile(dir.file("LATER.BIN"), d88build::pattern(seed++, 9000)));
    ASSERT_TRUE(d88build::writeFile(dir.file("lower.txt"), d88build::pattern(seed++, 700)));
    ASSERT_TRUE(d88build::writeFile(dir.file("DROP.ME"), d88build::pattern(seed++, 100)));
    mtools.run("mmd -i fat.img ::SUB ::SUB/DEEP");
    mtools.run("mcopy -i fat.img EMPTY.TXT ONE.BIN GAP.TMP SECTOR.DAT ::");
    mtools.run("mcopy -i fat.img ODD BIG.BIN ::SUB");
    mtools.run("mcopy -i fat.img lower.txt ::SUB/DEEP");
    mtools.run("mdel -i fat.img ::GAP.TMP");
    mtools.run("mcopy -i fat.img LATER.BIN DROP.ME ::");
    mtools.run("mdel -i fat.img ::DROP.ME");
}

Bytes asD88(const Bytes& raw, const FatShape& shape)
{
    return SectorImage::fromRaw(raw, shape.heads, shape.sectorsPerTrack, shape.sizeCode).disk(shape.media).build();
}

void expectFilesOf(const Listed& listed, const std::map<std::string, Bytes>& back)
{
    ASSERT_TRUE(listed.listing.found) << listed.listing.reason;
    EXPECT_EQ(listed.listing.kind, "fat12");
    EXPECT_TRUE(listed.listing.damage.empty()) << listed.listing.damage[0].what;
    std::map<std::string, Bytes> ours;
    for (const FileEntry& file : listed.listing.files) {
        if (file.state != FileState::Deleted && file.state != FileState::Folder) {
            EXPECT_EQ(file.state, FileState::Complete) << file.path;
            EXPECT_FALSE(damaged(file)) << file.path;
            ours[file.path] = listed.bytes.at(file.path);
        }
    }
    EXPECT_EQ(ours.size(), back.size());
    for (const auto& [path, bytes] : back) {
        SCOPED_TRACE(path);
        ASSERT_EQ(ours.count(path), 1u);
        EXPECT_SAME_BYTES(bytes, ours.at(path));
    }
}

TEST(Fat12, GivesExactlyTheFilesMtoolsGivesBack)
{
    if (!Mtools::present()) {
        GTEST_SKIP() << "mtools is not installed (Debian package mtools)";
    }
    for (const FatShape& shape : kFatShapes) {
        SCOPED_TRACE(shape.name);
        const testsupport::TempDir dir;
        const Mtools mtools(dir);
        mtools.run(std::string("mformat -C -i fat.img ") + shape.format + " ::");
        fillVolume(mtools, dir);
        const Listed listed(asD88(testsupport::readFile(dir.file("fat.img")), shape));
        expectFilesOf(listed, mtools.filesBack("fat.img"));
        const FileEntry* gone = listed.file("_ROP.ME");
        ASSERT_NE(gone, nullptr);
        EXPECT_EQ(gone->state, FileState::Deleted);
        const FileEntry* sub = listed.file("SUB/DEEP");
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->type, "folder");
    }
}

// The PC-98 2HD image mtools made, and the offsets of its FATs.
struct Pc98Volume {
    testsupport::TempDir dir;
    Bytes raw;
    std::map<std::string, Bytes> back;
    static constexpr std::size_t kFat = 1024;
    static constexpr std::size_t kSecondFat = 3 * 1024;

    Pc98Volume()
    {
        const Mtools mtools(dir);
        mtools.run(std::string("mformat -C -i fat.img ") + kFatShapes[4].format + " ::");
        fillVolume(mtools, dir);
        raw = testsupport::readFile(dir.file("fat.img"));
        back = mtools.filesBack("fat.img");
    }
    // Sets FAT entry cluster in copy (0 or 1), or in both.
    void link(int cluster, int value, int copy = -1)
    {
        for (const std::size_t base : {kFat, kSecondFat}) {
            if (copy >= 0 && base != (copy == 0 ? kFat : kSecondFat)) {
                continue;
            }
            const std::size_t at = base + static_cast<std::size_t>(cluster) * 3 / 2;
            const int pair = raw[at] | raw[at + 1] << 8;
            const int next = cluster & 1 ? (pair & 0x000F) | value << 4 : (pair & 0xF000) | value;
            raw[at] = static_cast<unsigned char>(next);
            raw[at + 1] = static_cast<unsigned char>(next >> 8);
        }
    }
    // Where the root entry of name11 starts in the image, or 0.
    std::size_t entryOf(const std::string& name11) const
    {
        const std::size_t root = 5 * 1024;
        for (std::size_t at = root; at < root + 192 * 32; at += 32) {
            if (std::equal(name11.begin(), name11.end(), raw.begin() + static_cast<long>(at))) {
                return at;
            }
        }
        return 0;
    }
    int startOf(const std::string& name11) const
    {
        const std::size_t at = entryOf(name11);
        return at == 0 ? -1 : raw[at + 0x1A] | raw[at + 0x1B] << 8;
    }
};

TEST(Fat12, ReadsADiskWithoutAParameterBlockByItsMediaByte)
{
    if (!Mtools::present()) {
        GTEST_SKIP() << "mtools is not installed (Debian package mtools)";
    }
    Pc98Volume volume;
    std::fill(volume.raw.begin() + 0x0B, volume.raw.begin() + 0x1E, 0);
    volume.raw[Pc98Volume::kFat] = volume.raw[Pc98Volume::kSecondFat] = 0xFE;
    const Listed listed(asD88(volume.raw, kFatShapes[4]));
    expectFilesOf(listed, volume.back);
    EXPECT_EQ(listed.listing.name, "FAT12 PC-98 2HD");
    EXPECT_NE(listed.listing.reason.find("media byte"), std::string::npos) << listed.listing.reason;
}

TEST(Fat12, DecodesShiftJisNamesAndReplacesWhatAHostCannotHold)
{
    if (!Mtools::present()) {
        GTEST_SKIP() << "mtools is not installed (Debian package mtools)";
    }
    Pc98Volume volume;
    const std::string stored[] = {"\x82\xA0" "CD    TXT", "\x05\x40" "      BIN", "A:B?    DAT"};
    const std::string names[] = {"EMPTY   TXT", "ONE     BIN", "SECTOR  DAT"};
    for (int i = 0; i < 3; ++i) {
        const std::size_t at = volume.entryOf(names[i]);
        ASSERT_NE(at, 0u);
        std::copy(stored[i].begin(), stored[i].end(), volume.raw.begin() + static_cast<long>(at));
    }
    const Bytes image = asD88(volume.raw, kFatShapes[4]);
    D88Image reader;
    ASSERT_TRUE(reader.openMemory(image.data(), image.size()));
    NameRules rules;
    rules.decodeShiftJis = decodeShiftJis;
    rules.windows = true;
    const FileListing listing = listFiles(reader, 0, rules);
    std::vector<std::string> paths;
    for (const FileEntry& file : listing.files) {
        paths.push_back(file.path);
    }
    // Hiragana A (0x82A0); 0x05 standing for the lead byte 0xE5 (0xE540 is
    // a kanji); ':' and '?' replaced for Windows.
    EXPECT_NE(std::find(paths.begin(), paths.end(), "\xE3\x81\x82" "CD.TXT"), paths.end());
    EXPECT_NE(std::find(paths.begin(), paths.end(), "A_B_.DAT"), paths.end());
    std::string kanji;
    ASSERT_TRUE(decodeShiftJis("\xE5\x40", kanji));
    EXPECT_NE(std::find(paths.begin(), paths.end(), kanji + ".BIN"), paths.end());
    EXPECT_EQ(listing.files[0].storedNameHex.size(), 22u);
}

TEST(Fat12, NamesLoopsFreeClustersDisagreeingCopiesCutsAndBadSectors)
{
    if (!Mtools::present()) {
        GTEST_SKIP() << "mtools is not installed (Debian package mtools)";
    }
    Pc98Volume volume;
    const int one = volume.startOf("ONE     BIN");
    const int sector = volume.startOf("SECTOR  DAT");
    const int later = volume.startOf("LATER   BIN");
    ASSERT_GT(one, 1);
    volume.link(one, one);          // ONE.BIN loops on itself
    volume.link(sector, 0, 1);      // the second copy says its cluster is free
    volume.link(later + 2, 0);      // LATER.BIN runs into a free cluster
    SectorImage image = SectorImage::fromRaw(volume.raw, 2, 8, 3);
    const long firstData = 1 + 2 * 2 + 6;  // reserved, two FATs of two sectors, 192 entries
    image.status(firstData + sector - 2, 0xB0);
    const Listed listed(image.disk(0x20).build());
    ASSERT_TRUE(listed.listing.found) << listed.listing.reason;
    EXPECT_TRUE(hasDamage(listed.listing.damage, "FAT copies disagree"));
    EXPECT_TRUE(hasDamage(listed.file("ONE.BIN")->damage, "chain loops"));
    EXPECT_EQ(listed.file("ONE.BIN")->state, FileState::Complete);
    EXPECT_TRUE(hasFault(*listed.file("SECTOR.DAT"), SectorFault::BadStatus));
    const FileEntry* broken = listed.file("LATER.BIN");
    EXPECT_TRUE(hasDamage(broken->damage, "chain runs into a free cluster"));
    EXPECT_EQ(broken->state, FileState::Incomplete);
    EXPECT_SAME_BYTES(zeroedFrom(volume.back.at("LATER.BIN"), 2 * 1024), listed.bytes.at("LATER.BIN"));

    // Cut inside BIG.BIN: it keeps what is left, the files after it none.
    const Bytes& big = volume.back.at("SUB/BIG.BIN");
    const Listed cut(cutAt(asD88(volume.raw, kFatShapes[4]), d88build::slice(big, 5 * 1024, 32), 300));
    const FileEntry* bigFile = cut.file("SUB/BIG.BIN");
    ASSERT_NE(bigFile, nullptr);
    EXPECT_EQ(bigFile->state, FileState::Incomplete);
    EXPECT_SAME_BYTES(zeroedFrom(big, 5 * 1024 + 300), cut.bytes.at("SUB/BIG.BIN"));
}

}  // namespace
