// The files a cutter hands over for one image, as they would stand in an
// empty folder once the cutter is done: a later file of a name replaces the
// earlier one, and the order is that of the last writes.
#ifndef EXTRACTION_COLLECTED_FILES_H
#define EXTRACTION_COLLECTED_FILES_H

#include "output_sink.h"

#include <string>
#include <vector>

struct CollectedFile {
    std::string name;
    std::vector<unsigned char> data;
    std::size_t supplied = 0;  // leading bytes the sectors gave; the rest are zeros
    int disk = 0;
    int image = 0;  // of a set of images cut together, the one it came from
};

class CollectedFiles final : public OutputSink {
public:
    bool write(const OutputFile& file) override;
    // The image the files handed over from now on come from.
    void fromImage(int image) { image_ = image; }
    const std::vector<CollectedFile>& files() const { return files_; }
    // Gives file index another name.
    void rename(std::size_t index, std::string name) { files_[index].name = std::move(name); }
    // Frees file index's bytes once they are handed on, keeping its facts.
    void release(std::size_t index) { std::vector<unsigned char>().swap(files_[index].data); }

private:
    std::vector<CollectedFile> files_;
    int image_ = 0;
};

#endif
