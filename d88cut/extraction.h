// One image's extraction: reading it with the chosen cutter, the check that
// nothing of the same names is in the way, the files written whole with
// their checksums, then SHA256SUMS and manifest.json.
#ifndef D88CUT_EXTRACTION_H
#define D88CUT_EXTRACTION_H

#include "collected_files.h"
#include "folder_names.h"
#include "image_outcome.h"
#include "options.h"
#include "storage.h"

#include <memory>

class D88Image;

class Extraction {
public:
    Extraction(Storage& storage, const Options& options);
    ~Extraction();
    // Reads image and, when it can be read, writes its files into the
    // folder folders gives it.
    ImageOutcome extract(const std::string& image, FolderNames& folders);

private:
    bool anyKnownDisk();
    bool cut(ImageOutcome& outcome, CollectedFiles& collected);
    bool clearOfOurNames(ImageOutcome& outcome, const std::vector<std::string>& names);
    bool write(ImageOutcome& outcome, const std::string& name, const unsigned char* data, std::size_t size);

    Storage& storage_;
    const Options& options_;
    std::unique_ptr<D88Image> reader_;
    std::unique_ptr<unsigned char[]> buffer_;
};

#endif
