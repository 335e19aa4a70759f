// Where a cutter's files go. The cutters find files and hand each to a sink;
// the sink decides what becomes of it: the programs write it into the
// current directory, a preview only records it, a test keeps it in memory.
#ifndef CUTTER_IO_OUTPUT_SINK_H
#define CUTTER_IO_OUTPUT_SINK_H

#include <cstddef>

// One file a cutter produced, valid for the duration of the write call.
struct OutputFile {
    const char* name;
    const unsigned char* data;
    std::size_t size;
    // How many leading bytes the disk's sectors supplied; the rest are zeros
    // standing in for sectors that were missing or short. Equal to size for
    // a complete file.
    std::size_t supplied;
    int disk;        // index of the disk in the image
    int firstBlock;  // the 1 KiB block of the scan buffer the file starts at; -1 for a table cut
};

class OutputSink {
public:
    // Takes one file; false when it could not be written.
    virtual bool write(const OutputFile& file) = 0;

protected:
    ~OutputSink() = default;
};

#endif
