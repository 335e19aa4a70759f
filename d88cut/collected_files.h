// The files a cutter hands over for one image, as they would stand in an
// empty folder once the cutter is done: a later file of a name replaces the
// earlier one, and the order is that of the last writes.
#ifndef D88CUT_COLLECTED_FILES_H
#define D88CUT_COLLECTED_FILES_H

#include "output_sink.h"

#include <string>
#include <vector>

struct CollectedFile {
    std::string name;
    std::vector<unsigned char> data;
    std::size_t supplied = 0;  // leading bytes the sectors gave; the rest are zeros
    int disk = 0;
};

class CollectedFiles final : public OutputSink {
public:
    bool write(const OutputFile& file) override;
    const std::vector<CollectedFile>& files() const { return files_; }

private:
    std::vector<CollectedFile> files_;
};

#endif
