// scancut: lays each of the first two disks of a D88 file into a buffer and
// writes every data file found there by its header as KX000, KX001, ...
#include "scancut.h"

#include <d88image/d88image.h>

#include "console.h"
#include "image_buffer.h"
#include "image_path.h"
#include "messages.h"
#include "program_sink.h"
#include "scan_cut.h"

#include <cstdio>

#include <cstring>

namespace {
// Never cleared between the two disks: a shorter second disk leaves the end
// of the first in place.
unsigned char imageBuffer[kImageBufferSize];
}  // namespace

int runScancut(int argc, char** argv, WriteFileFunction writeFile)
{
    if (argc != 2) {
        std::fputs("Usage: scancut [d88file]\n", stderr);
        return 1;
    }
    D88Image reader;  // closed on every way out, by its destructor at the latest
    if (!isImageFile(argv[1]) || !reader.open(argv[1])) {
        std::fputs(D88_CANNOT_OPEN_TEXT "\n", stderr);
        return 1;
    }
    std::memset(imageBuffer, 0, sizeof imageBuffer);  // each run starts from zeros, as a fresh process does
    Console console("scancut");
    ProgramSink sink(console, "%s\n", writeFile);
    const bool allWritten = scanImage(reader, imageBuffer, sink);
    reader.close();
    return console.finish() && allWritten ? 0 : 2;
}
