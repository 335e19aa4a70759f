// The file window on its own, over a file and over memory: whatever the
// order, size and anchor of the reads, each yields exactly the bytes the
// image holds there; and the window keeps a reader's cost near one read of
// each byte of a file, and none of memory.
#include "os_read_counter.h"
#include "test_support.h"

#include <d88image/d88image.h>
#include <d88image/file_window.h>

#include <cstdlib>
#include <cstring>

using d88build::Bytes;

namespace {

constexpr std::size_t kWindow = FileWindow::kSize;

// A deterministic walk over positions that favours the edges: the window's
// size around the file's end and around earlier fills.
class Positions {
public:
    explicit Positions(std::size_t fileSize) : size_(fileSize) {}
    std::uint64_t next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        const std::uint64_t pick = state_ >> 33;
        const std::uint64_t edges[] = {0,           kWindow,     size_, size_ > kWindow / 2 ? size_ - kWindow / 2 : 0,
                                       2 * kWindow, size_ + 100, ~0ULL - 40000};
        const std::uint64_t base = edges[pick % 7];
        const std::uint64_t jitter = (pick >> 3) % 64;  // from 32 before the edge to 31 after it
        const std::uint64_t near = base < 32 ? base + jitter / 2 : base - 32 + jitter;
        return pick % 11 == 0 ? (pick >> 5) % (size_ + 200) : near;
    }
    std::size_t count()
    {
        const std::size_t counts[] = {0, 1, 16, 688, kWindow - 1, kWindow, kWindow + 1, 3 * kWindow};
        return counts[(state_ >> 40) % 8];
    }

private:
    std::size_t size_;
    std::uint64_t state_ = 88;
};


}  // namespace

TEST(FileWindow, EveryReadYieldsExactlyWhatTheFileHoldsThere)
{
    testsupport::TempDir dir;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1000}, kWindow + 7, 3 * kWindow + 12345}) {
        const Bytes file = d88build::pattern(static_cast<std::uint32_t>(size), size);
        const std::string path = dir.write("file", file);
        for (const bool fromMemory : {false, true}) {
            FileWindow window;
            ASSERT_TRUE(fromMemory ? window.open(file.data(), file.size()) : window.open(path.c_str()));
            Positions positions(size);
            for (int i = 0; i < 4000; ++i) {
                const std::uint64_t position = positions.next();
                const std::size_t count = positions.count();
                // The anchor lies before the position, at it, or after it.
                const std::uint64_t anchor = i % 3 == 0 ? position : i % 3 == 1 ? position - std::min<std::uint64_t>(position, 900) : position + 5;
                const Bytes expected = d88build::slice(file, static_cast<std::size_t>(std::min<std::uint64_t>(position, size)), count);
                const std::string what = "read " + std::to_string(i) + ": " + std::to_string(count) + " bytes at " +
                                         std::to_string(position) + " of " + std::to_string(size) +
                                         (fromMemory ? " in memory" : " in a file");
                if (i % 2 == 0) {
                    Bytes got(count + 8, 0xE7);
                    const std::size_t n = i % 10 == 0 ? window.readDirect(position, got.data(), count)
                                                       : window.read(position, got.data(), count, anchor);
                    ASSERT_EQ(n, expected.size()) << what;
                    Bytes wanted = expected;
                    wanted.resize(count + 8, 0xE7);
                    ASSERT_PRED_FORMAT2(testsupport::sameBytes, wanted, got) << what;
                } else {
                    const unsigned char* held = window.peek(position, count, anchor);
                    if (expected.size() < count || count > kWindow) {
                        ASSERT_EQ(held, nullptr) << what;
                    } else {
                        ASSERT_NE(held, nullptr) << what;
                        ASSERT_PRED_FORMAT2(testsupport::sameBytes, expected, Bytes(held, held + count)) << what;
                    }
                }
            }
            EXPECT_FALSE(window.failed());
        }
    }
}

// The window exists so that the reader's repeated walks over a track cost
// no further reads: laying in a standard disk the way a scan does (each
// track's IDs listed, then each sector found by its ID) must read the disk
// from the operating system about once, where plain stdio buffering reads
// it about eight times over; and from memory, not at all.
TEST(FileWindow, LayingInAStandardDiskReadsAFileAboutOnceAndMemoryNotAtAll)
{
    testsupport::TempDir dir;
    const Bytes image = d88build::standardDisk(1, 8, 153, 1).build();
    const std::string path = dir.write("disk.d88", image);
    const struct {
        bool fromMemory;
        unsigned long long least, most;  // bytes read from the operating system
    } forms[] = {{false, image.size(), image.size() * 5 / 4},
                 // From memory nothing of the 1.28 MB disk; the process's own
                 // counter also takes in what a checking tool around it reads
                 // (valgrind reads a few bytes from its pipe).
                 {true, 0, 4096}};
    for (const auto& form : forms) {
        testsupport::OsReadCounter counter;
        if (!counter.start()) {
            GTEST_SKIP() << "no /proc/self/io here to count the bytes read from the operating system";
        }
        D88Image reader;
        ASSERT_TRUE(form.fromMemory ? reader.openMemory(image.data(), image.size()) : reader.open(path.c_str()));
        ASSERT_TRUE(reader.selectDisk(0));
        unsigned long long laidIn = 0;
        for (int t = 0; t < 153; ++t) {
            SectorId ids[16];
            const int count = reader.listSectorIds(t, reinterpret_cast<unsigned char*>(ids), sizeof ids) / 4;
            for (int i = 0; i < count; ++i) {
                unsigned char sector[1024];
                laidIn += static_cast<unsigned>(reader.readSector(t, ids[i].c, ids[i].h, ids[i].r, ids[i].n, sector, 1024));
            }
        }
        reader.close();
        const unsigned long long read = counter.readSinceStart();
        ASSERT_EQ(laidIn, 153u * 8 * 1024);
        const std::string what = std::to_string(read) + " bytes read for a disk of " + std::to_string(image.size()) +
                                 (form.fromMemory ? " in memory" : " in a file");
        EXPECT_GE(read, form.least) << what;
        EXPECT_LE(read, form.most) << what;
    }
}

// A read that fails other than at the end of the file (a directory reads
// with EISDIR) is remembered, so that a caller can tell a short read from
// a damaged file apart from one it could not read.
TEST(FileWindow, AFailedReadIsRememberedUntilTheNextOpen)
{
    testsupport::TempDir dir;
    FileWindow window;
    ASSERT_TRUE(window.open(dir.path().c_str()));
    unsigned char byte = 0;
    EXPECT_EQ(window.read(0, &byte, 1, 0), 0u);
    EXPECT_TRUE(window.failed());
    EXPECT_EQ(window.error(), EISDIR);
    const std::string file = dir.write("file", Bytes(10, 1));
    ASSERT_TRUE(window.open(file.c_str()));
    EXPECT_EQ(window.read(5, &byte, 1, 0), 1u);
    EXPECT_EQ(window.read(50, &byte, 1, 0), 0u) << "the end of the file is no failure";
    EXPECT_FALSE(window.failed());

    // Memory: a failure of the file opened before is forgotten; a buffer
    // that is not there does not open.
    ASSERT_TRUE(window.open(dir.path().c_str()));
    EXPECT_EQ(window.read(0, &byte, 1, 0), 0u);
    const unsigned char ten[10] = {};
    ASSERT_TRUE(window.open(ten, sizeof ten));
    EXPECT_FALSE(window.failed());
    EXPECT_FALSE(window.open(nullptr, 1));
    EXPECT_FALSE(window.isOpen());
}
