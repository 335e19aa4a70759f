// The programs' own sink: each file is announced by a progress line, then
// written into the current directory under its name; a file that cannot be
// written is reported and the run goes on.
#ifndef CUTTER_IO_PROGRAM_SINK_H
#define CUTTER_IO_PROGRAM_SINK_H

#include "console.h"
#include "file_output.h"
#include "output_sink.h"

class ProgramSink final : public OutputSink {
public:
    // lineFormat announces a file, with its name for the one %s.
    ProgramSink(Console& console, const char* lineFormat, WriteFileFunction writeFile)
        : console_(console), lineFormat_(lineFormat), writeFile_(writeFile)
    {
    }

    bool write(const OutputFile& file) override;

private:
    Console& console_;
    const char* lineFormat_;
    WriteFileFunction writeFile_;
};

#endif
