// The C API's file listing and conversions against the library calls they
// hand out and the program that makes the same conversion: built disks of
// each file system, sound and damaged, listed and read through
// d88_list_files against listFiles and readFile; each disk of the samples
// and a built 2HD disk made raw through d88_disk_to_raw against d88convert;
// a raw image made D88 through d88_raw_to_d88 against d88convert, and the
// sizes it must refuse.
#include <d88image/d88.h>

#include "file_system_builder.h"
#include "file_systems.h"
#include "shift_jis.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

using d88build::Bytes;

namespace {

struct Built {
    const char* name;
    std::function<Bytes()> build;
};

const Built kBuilt[] = {
    {"N88-BASIC 2D, a file lacking a sector", [] {
         d88build::N88Volume v("2D");
         v.file("FRAG  BAS", 0x80, {10, 12, 5}, 3, 1);
         v.file("CODE  BIN", 0x01, {20}, 8, 2);
         v.image.drop(v.sectorOf(12, 2));
         return v.image.disk(v.media).build();
     }},
    {"N88-BASIC 2HD", [] {
         d88build::N88Volume v("2HD");
         v.file("B     DAT", 0x00, {2, 153, 71}, 26, 5);
         return v.image.disk(v.media).build();
     }},
    {"Hu-BASIC 2D, a bad-status sector", [] {
         d88build::HuVolume v("2D");
         v.file("GAME", "Bin", 0x01, {5, 9, 3}, 1, 2 * 4096 + 300, 1);
         v.file("NOTE", "Asc", 0x04, {12}, 4, 0, 2);
         v.image.status(v.sectorOf(9, 3), 0xB0);
         return v.image.disk(v.media).build();
     }},
    {"F-BASIC 2D", [] {
         d88build::FVolume v("2D");
         v.file("PROG", 0, false, {4, 5}, 3, 7);
         return v.image.disk(v.media).build();
     }},
};

struct Opened {
    explicit Opened(const Bytes& bytes) : data(bytes)
    {
        EXPECT_EQ(d88_open_memory(data.data(), data.size(), "built.d88", &handle), D88_OK);
    }
    ~Opened() { d88_close(handle); }
    Bytes data;
    d88_image* handle = nullptr;
};

std::string text(const char* value)
{
    return value != nullptr ? value : "(null)";
}

// A listed file's facts as the C API gives them, and as the library's
// entry has them, in one line each.
std::string factsOf(const d88_listed_file* f)
{
    std::string line = text(d88_listed_file_path(f)) + " " + d88_listed_file_stored_name_hex(f) + " " +
                       d88_listed_file_type(f) + " " + std::to_string(d88_listed_file_size(f)) + " " +
                       d88_listed_file_state(f) + " " + std::to_string(d88_listed_file_load_address(f)) + " " +
                       std::to_string(d88_listed_file_exec_address(f)) + " " +
                       std::to_string(d88_listed_file_end_address(f)) + " " + d88_listed_file_date(f);
    for (std::size_t i = 0; i < d88_listed_file_attribute_count(f); ++i) {
        line += std::string(" +") + d88_listed_file_attribute(f, i);
    }
    for (std::size_t i = 0; i < d88_listed_file_damaged_sector_count(f); ++i) {
        int track = 0;
        d88_sector_id id{};
        const std::string fault = text(d88_listed_file_damaged_sector(f, i, &track, &id));
        line += " !" + fault + "@" + std::to_string(track) + "/" + std::to_string(id.r);
    }
    return line;
}

std::string factsOf(const FileEntry& f)
{
    std::string line = f.path + " " + f.storedNameHex + " " + f.type + " " + std::to_string(f.size) + " " +
                       stateName(f.state) + " " + std::to_string(f.loadAddress) + " " +
                       std::to_string(f.execAddress) + " " + std::to_string(f.endAddress) + " " + f.date;
    for (const std::string& attribute : f.attributes) {
        line += " +" + attribute;
    }
    for (const FilePiece& piece : f.pieces) {
        if (piece.fault != SectorFault::None) {
            line += std::string(" !") + faultName(piece.fault) + "@" +
                    std::to_string(piece.placed ? piece.place.track : -1) + "/" +
                    std::to_string(piece.placed ? piece.place.r : 0);
        }
    }
    return line;
}

TEST(CApiFiles, ListAndReadAsTheLibrary)
{
    for (const Built& built : kBuilt) {
        SCOPED_TRACE(built.name);
        const Bytes image = built.build();
        D88Image reader;
        ASSERT_TRUE(reader.openMemory(image.data(), image.size()));
        NameRules rules;
        rules.decodeShiftJis = decodeShiftJis;
        const FileListing library = listFiles(reader, 0, rules);
        ASSERT_TRUE(library.found) << library.reason;

        Opened opened(image);
        ASSERT_EQ(d88_select_disk(opened.handle, 0), D88_OK);
        d88_file_listing* listing = nullptr;
        ASSERT_EQ(d88_list_files(opened.handle, 0, &listing), D88_OK);
        EXPECT_EQ(d88_selected_disk(opened.handle), 0);
        EXPECT_EQ(d88_file_listing_type(listing), library.kind);
        EXPECT_EQ(d88_file_listing_name(listing), library.name);
        EXPECT_EQ(d88_file_listing_reason(listing), library.reason);
        EXPECT_EQ(d88_file_listing_free_bytes(listing), library.freeBytes);
        EXPECT_EQ(d88_file_listing_damage_count(listing), library.damage.size());
        ASSERT_EQ(d88_file_listing_file_count(listing), library.files.size());
        bool damaged = false;
        for (std::size_t i = 0; i < library.files.size(); ++i) {
            const FileEntry& entry = library.files[i];
            const d88_listed_file* file = d88_file_listing_file(listing, i);
            EXPECT_EQ(factsOf(file), factsOf(entry));
            damaged = damaged || d88_listed_file_damaged_sector_count(file) != 0;

            std::vector<unsigned char> expected;
            const std::size_t held = readFile(reader, 0, entry, expected);
            unsigned char* data = nullptr;
            std::size_t size = 0, supplied = 0;
            ASSERT_EQ(d88_listed_file_bytes(opened.handle, listing, file, &data, &size, &supplied), D88_OK);
            EXPECT_EQ(Bytes(data, data + size), expected) << entry.path;
            EXPECT_EQ(supplied, held);
            d88_bytes_free(data);
            // Into the caller's buffer: exactly the size is enough, one byte less is not.
            Bytes buffer(expected.size());
            EXPECT_EQ(d88_listed_file_read(opened.handle, listing, file, buffer.data(), buffer.size(), nullptr),
                      D88_OK);
            EXPECT_EQ(buffer, expected);
            if (!expected.empty()) {
                EXPECT_EQ(d88_listed_file_read(opened.handle, listing, file, buffer.data(), buffer.size() - 1,
                                               nullptr),
                          D88_ERR_ARGUMENT);
            }
        }
        EXPECT_EQ(damaged, std::string(built.name).find(',') != std::string::npos)
            << "the damaged disks' files name their sectors, the sound ones' none";
        d88_file_listing_free(listing);
    }
}

bool haveCutter(const std::string& key)
{
    for (int i = 0; d88_cutter_key(i) != nullptr; ++i) {
        if (key == d88_cutter_key(i)) {
            return true;
        }
    }
    return false;
}

// The cut of the disks' own files gives what the listing gives: each file
// with bytes to write, by its path, the same bytes.
TEST(CApiFiles, CutByTheFileSystemAsListed)
{
    if (!haveCutter("files")) {
        GTEST_SKIP() << "the library has no \"files\" way of taking files yet";
    }
    for (const Built& built : kBuilt) {
        SCOPED_TRACE(built.name);
        Opened opened(built.build());
        d88_file_listing* listing = nullptr;
        ASSERT_EQ(d88_list_files(opened.handle, 0, &listing), D88_OK);
        std::map<std::string, Bytes> listed;
        for (std::size_t i = 0; i < d88_file_listing_file_count(listing); ++i) {
            const d88_listed_file* file = d88_file_listing_file(listing, i);
            const std::string state = d88_listed_file_state(file);
            if (state == "complete" || state == "incomplete") {
                unsigned char* data = nullptr;
                std::size_t size = 0;
                ASSERT_EQ(d88_listed_file_bytes(opened.handle, listing, file, &data, &size, nullptr), D88_OK);
                listed[d88_listed_file_path(file)] = Bytes(data, data + size);
                d88_bytes_free(data);
            }
        }
        d88_file_listing_free(listing);
        d88_cut_options* options = d88_cut_options_new();
        ASSERT_EQ(d88_cut_options_set_mode(options, "files"), D88_OK);
        d88_cut* cut = nullptr;
        ASSERT_EQ(d88_cut_image(opened.handle, options, &cut), D88_OK) << d88_image_error(opened.handle);
        std::map<std::string, Bytes> cutFiles;
        for (std::size_t i = 0; i < d88_cut_file_count(cut); ++i) {
            const d88_cut_file* file = d88_cut_file_at(cut, i);
            const unsigned char* data = d88_cut_file_data(file);
            cutFiles[d88_cut_file_name(file)] = Bytes(data, data + d88_cut_file_size(file));
        }
        EXPECT_EQ(cutFiles, listed);
        d88_cut_free(cut);
        d88_cut_options_free(options);
    }
}

TEST(CApiFiles, RefuseWhatTheyCannotServe)
{
    Opened opened(kBuilt[0].build());
    d88_file_listing* listing = nullptr;
    EXPECT_EQ(d88_list_files(opened.handle, 1, &listing), D88_ERR_NO_DISK);
    EXPECT_EQ(listing, nullptr);
    EXPECT_EQ(d88_list_files(nullptr, 0, &listing), D88_ERR_ARGUMENT);
    ASSERT_EQ(d88_list_files(opened.handle, 0, &listing), D88_OK);
    d88_file_listing* other = nullptr;
    ASSERT_EQ(d88_list_files(opened.handle, 0, &other), D88_OK);
    unsigned char* data = nullptr;
    std::size_t size = 0;
    // A file of another listing is no file of this one.
    EXPECT_EQ(d88_listed_file_bytes(opened.handle, listing, d88_file_listing_file(other, 0), &data, &size, nullptr),
              D88_ERR_ARGUMENT);
    EXPECT_EQ(d88_listed_file_bytes(opened.handle, listing, nullptr, &data, &size, nullptr), D88_ERR_ARGUMENT);
    EXPECT_EQ(d88_file_listing_file(listing, 99), nullptr);
    EXPECT_EQ(d88_listed_file_attribute(d88_file_listing_file(listing, 0), 99), nullptr);
    d88_file_listing_free(other);
    d88_file_listing_free(listing);
    // A disk of no file system: found 0, no files, and its reason.
    Opened zeros(d88build::SectorImage(40, 2, 16, 1, 0x00).disk(0x00).build());
    ASSERT_EQ(d88_list_files(zeros.handle, 0, &listing), D88_OK);
    EXPECT_EQ(d88_file_listing_found(listing), 0);
    EXPECT_EQ(d88_file_listing_file_count(listing), 0u);
    EXPECT_STRNE(d88_file_listing_reason(listing), "");
    d88_file_listing_free(listing);
}

// What d88convert writes from the file at input with args, or a failure.
Bytes converted(const testsupport::TempDir& work, const std::string& input, std::vector<std::string> args)
{
    std::vector<std::string> argv = {"d88convert"};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(input);
    argv.push_back(work.file("out"));
    std::filesystem::remove(work.file("out"));
    testsupport::RunOptions options;
    options.hostProgram = true;
    const testsupport::RunResult ran = testsupport::runProgram(D88CONVERT_PATH, argv, work.path(), options);
    EXPECT_TRUE(ran.status == 0 || ran.status == 3 || ran.status == 1) << ran.err;
    return testsupport::readFile(work.file("out"));
}

TEST(CApiConvert, RawImagesAsD88convertWritesThem)
{
    testsupport::TempDir work;
    struct Case {
        std::string name;
        Bytes image;
    };
    d88build::N88Volume hd("2HD");
    hd.file("B     DAT", 0x00, {2, 153, 71}, 26, 5);
    const std::vector<Case> cases = {
        {"three-disks.d88", testsupport::readFile(SAMPLE_DIR "/three-disks.d88")},
        {"scan-disks.d88", testsupport::readFile(SAMPLE_DIR "/scan-disks.d88")},
        {"n88-2hd.d88", hd.image.disk(hd.media).build()},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(d88build::writeFile(work.file(c.name), c.image));
        Opened opened(c.image);
        for (int disk = 0; disk < d88_disk_count(opened.handle); ++disk) {
            SCOPED_TRACE(c.name + " disk " + std::to_string(disk));
            for (const char* format : {"raw", "fdi"}) {
                const Bytes expected =
                    converted(work, work.file(c.name), {"--disk", std::to_string(disk), "--to", format});
                d88_raw_image* raw = nullptr;
                const d88_status status = d88_disk_to_raw(opened.handle, disk, format, nullptr, &raw);
                if (expected.empty()) {
                    EXPECT_EQ(status, D88_ERR_CONVERT) << "d88convert refused " << format;
                    EXPECT_STRNE(d88_image_error(opened.handle), "");
                    continue;
                }
                ASSERT_EQ(status, D88_OK) << d88_image_error(opened.handle);
                const unsigned char* data = d88_raw_image_data(raw);
                EXPECT_EQ(Bytes(data, data + d88_raw_image_size(raw)), expected) << format;
                d88_raw_image_free(raw);
            }
        }
    }
}

TEST(CApiConvert, D88ImagesOfRawOnesAsD88convertMakesThem)
{
    testsupport::TempDir work;
    const struct {
        const char* file;
        std::size_t size;
        const char* format;
        const char* geometry;
        d88_status status;
    } cases[] = {
        {"disk.2d", 327680, "2d", nullptr, D88_OK},  // the size alone is 2D's or 320 KB's
        {"disk.img", 327680, "raw", nullptr, D88_ERR_CONVERT},
        {"disk.hdm", 1261568, "hdm", nullptr, D88_OK},
        {"disk.img", 737280, "raw", "80x2x9x512", D88_OK},
        {"odd.img", 1000, "raw", nullptr, D88_ERR_CONVERT},
        {"shared.img", 655360, "raw", nullptr, D88_ERR_CONVERT},  // PC-88 2DD or PC-98 640 KB: nothing tells
        {"short.img", 327680, "raw", "80x2x16x256", D88_ERR_CONVERT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes raw = d88build::pattern(7, c.size);
        d88_made_image* made = nullptr;
        EXPECT_EQ(d88_raw_to_d88(raw.data(), raw.size(), c.format, c.geometry, &made), c.status)
            << d88_made_image_error(made);
        ASSERT_NE(made, nullptr);
        if (c.status != D88_OK) {
            EXPECT_EQ(d88_made_image_size(made), 0u);
            EXPECT_NE(std::string(d88_made_image_error(made)), "");
        } else {
            ASSERT_TRUE(d88build::writeFile(work.file(c.file), raw));
            std::vector<std::string> args = {"--to", "d88"};
            if (c.geometry != nullptr) {
                args.insert(args.end(), {"--geometry", c.geometry});
            }
            const unsigned char* data = d88_made_image_data(made);
            EXPECT_EQ(Bytes(data, data + d88_made_image_size(made)), converted(work, work.file(c.file), args));
            EXPECT_STRNE(d88_made_image_geometry(made), "");
        }
        d88_made_image_free(made);
    }
    d88_made_image* made = nullptr;
    EXPECT_EQ(d88_raw_to_d88("", 0, "d88", nullptr, &made), D88_ERR_ARGUMENT);
    EXPECT_EQ(d88_raw_to_d88("", 0, nullptr, "40x2", &made), D88_ERR_ARGUMENT);
    EXPECT_EQ(made, nullptr);
}

}  // namespace
