// A sink that keeps every file it is given in memory, for driving the
// cutters' cores directly; it can be told to fail every write.
#ifndef TESTS_RECORDING_SINK_H
#define TESTS_RECORDING_SINK_H

#include "image_builder.h"
#include "output_sink.h"

#include <string>
#include <vector>

struct RecordedFile {
    std::string name;
    d88build::Bytes data;
    std::size_t supplied;
    int disk;
    int firstBlock;
};

class RecordingSink : public OutputSink {
public:
    bool write(const OutputFile& file) override
    {
        files.push_back({file.name, d88build::Bytes(file.data, file.data + file.size), file.supplied, file.disk,
                         file.firstBlock});
        return succeed;
    }

    std::vector<RecordedFile> files;
    bool succeed = true;
};

#endif
