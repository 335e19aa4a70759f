// tablecut: recognises the Program, Scenario and Event Disks of a D88 file by
// the sector numbers on track 1 and cuts each disk's files from built-in
// tables into the current directory.
#include "tablecut.h"

#include <d88image/d88image.h>

#include "extract_tables.h"
#include "output_file.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kImageBufferSize = 77 * 2 * 8 * 1024;
constexpr int kSizeCode = 3;
constexpr int kProbeTrack = 1;

// "Program Disk を認識しました.\n"
const char kProgramMessage[] = "Program Disk \x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";
// "Scenario Disk を認識しました.\n"
const char kScenarioMessage[] = "Scenario Disk \x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";
// "Event Disk を認識しました.\n"
const char kEventMessage[] = "Event Disk \x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";
// "ファイルをオープンできません.\n"
const char kOpenFailedMessage[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93"
    "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n";

// The reader lives for the whole process; an exit handler closes its stream.
D88Image reader;
unsigned char imageBuffer[kImageBufferSize];
bool anyWriteFailed = false;

enum class CutOutcome { NotRead, Written, WriteFailed };

CutOutcome cutFile(const char* name, int track, int c, int h, int r, int n, int skip, int length)
{
    // Bytes that no sector supplies come out as zeros, never as an earlier
    // cut's data.
    std::memset(imageBuffer, 0, static_cast<std::size_t>(skip + length));
    if (reader.readRun(track, c, h, r, n, imageBuffer, skip + length) == 0) {
        return CutOutcome::NotRead;
    }
    std::printf("cutting ... %s\n", name);
    const int error = writeOutputFile(name, imageBuffer + skip, static_cast<std::size_t>(length));
    if (error != 0) {
        std::fflush(stdout);
        std::fprintf(stderr, "tablecut: cannot write %s: %s\n", name, std::strerror(error));
        anyWriteFailed = true;
        return CutOutcome::WriteFailed;
    }
    return CutOutcome::Written;
}

void cutProgramDisk()
{
    for (const NamedCut& cut : kProgramCuts) {
        cutFile(cut.name, cut.track, cut.c, cut.h, cut.r, kSizeCode, 0, cut.length);
    }
}

void cutTable(const ExtractRow* table, const char* namePattern)
{
    for (int k = 0; table[k].r != 0; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, namePattern, k);
        const ExtractRow& row = table[k];
        cutFile(name, row.track, row.track / 2, row.track % 2, row.r, kSizeCode, 0, row.length);
    }
}

// A disk is of a kind when sector R of that kind, on track 1 (cylinder 0,
// head 1, size code 3), holds at least one byte.
bool probe(int r)
{
    return reader.readSector(kProbeTrack, 0, 1, r, kSizeCode, imageBuffer, 1) != 0;
}

void cutDisk(int index)
{
    reader.selectDisk(index);  // a failed selection makes every probe fail
    if (probe(16)) {
        std::fputs(kProgramMessage, stdout);
        reader.setSectorRange(16, 23);
        cutProgramDisk();
    } else if (probe(32)) {
        std::fputs(kScenarioMessage, stdout);
        reader.setSectorRange(32, 39);
        cutTable(kScenarioTable, "KX2%02d");
    } else if (probe(48)) {
        std::fputs(kEventMessage, stdout);
        reader.setSectorRange(48, 55);
        cutTable(kEventTable, "KX0%02d");
    }
}

}  // namespace

void closeImage()
{
    reader.close();
}

int runTablecut(int argc, char** argv)
{
    anyWriteFailed = false;
    if (argc != 2) {
        const bool named = argc > 0 && argv[0] != nullptr && argv[0][0] != '\0';
        std::fprintf(stderr, "Usage: %s [d88file]\n", named ? argv[0] : "tablecut");
        return 1;
    }
    if (!reader.open(argv[1])) {
        std::fputs(kOpenFailedMessage, stderr);
        return 1;
    }
    for (int i = 0; i < reader.diskCount(); ++i) {
        cutDisk(i);
    }
    return anyWriteFailed ? 2 : 0;
}
