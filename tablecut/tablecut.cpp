// tablecut: recognises the Program, Scenario and Event Disks of a D88 file by
// the sector numbers on track 1 and cuts each disk's files from built-in
// tables into the current directory.
#include "tablecut.h"

#include <d88image/d88image.h>

#include "console.h"
#include "image_buffer.h"
#include "image_path.h"
#include "messages.h"
#include "program_sink.h"
#include "table_cut.h"

#include <cstdio>

namespace {

// The reader lives for the whole process; an exit handler closes its stream.
D88Image reader;
unsigned char imageBuffer[kImageBufferSize];

// Prints "<Kind> Disk を認識しました." before a disk's files.
class Announcer : public TableCutListener {
public:
    explicit Announcer(Console& console) : console_(console) {}
    void recognised(int, DiskKind kind) override { console_.print("%s " D88_RECOGNISED_TEXT ".\n", diskKindName(kind)); }

    void notCut(int, const TableFile&) override {}  // a file not cut gets no line

private:
    Console& console_;
};

}  // namespace

void closeImage()
{
    reader.close();
}

int runTablecut(int argc, char** argv, WriteFileFunction writeFile)
{
    if (argc != 2) {
        const bool named = argc > 0 && argv[0] != nullptr && argv[0][0] != '\0';
        std::fprintf(stderr, "Usage: %s [d88file]\n", named ? argv[0] : "tablecut");
        return 1;
    }
    if (!isImageFile(argv[1]) || !reader.open(argv[1])) {
        std::fputs(D88_CANNOT_OPEN_TEXT ".\n", stderr);
        return 1;
    }
    Console console("tablecut");
    ProgramSink sink(console, "cutting ... %s\n", writeFile);
    Announcer announcer(console);
    const bool allWritten = cutImage(reader, imageBuffer, sink, &announcer);
    return console.finish() && allWritten ? 0 : 2;
}
