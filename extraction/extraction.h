// One image's extraction, or a set's cut together: reading it with the
// chosen cutter, the survey's judgement of what is missing or damaged, the
// check that nothing of the same names is in the way, the files written
// whole with their checksums, then SHA256SUMS and manifest.json.
#ifndef EXTRACTION_EXTRACTION_H
#define EXTRACTION_EXTRACTION_H

#include "collected_files.h"
#include "cutter.h"
#include "folder_names.h"
#include "image_file.h"
#include "image_outcome.h"
#include "image_survey.h"
#include "storage.h"
#include "survey_keeper.h"

#include <memory>

class D88Image;

// How to cut: which way of taking files, whether to replace files of our
// names, whether to write at all, and whether the images are one set.
struct ExtractionSettings {
    const Cutter* cutter = nullptr;  // null: the one chosenCutter finds for the images
    bool force = false;
    bool dryRun = false;
    bool merge = false;       // the images are one set: cut together into one folder
    std::string mergedName;   // with merge: the folder's name; empty: the first image's
};

class Extraction {
public:
    Extraction(Storage& storage, const ExtractionSettings& settings);
    ~Extraction();
    // Reads images (one, or a set as one file of their disks back to back),
    // files or bytes in memory, and, when they can be read, writes their
    // files into the folder folders gives them.
    ImageOutcome extract(const std::vector<ImageInput>& images, FolderNames& folders);

private:
    bool survey(ImageOutcome& outcome, const ImageInput& image, std::vector<SurveyKeeper>& found);
    bool cut(ImageOutcome& outcome, const ImageInput& input, int image, ImageCut& cut, CollectedFiles& collected);
    bool clearOfOurNames(ImageOutcome& outcome, const std::vector<std::string>& names);
    bool write(ImageOutcome& outcome, const std::string& name, const unsigned char* data, std::size_t size);

    Storage& storage_;
    const ExtractionSettings& settings_;
    std::unique_ptr<D88Image> reader_;
    std::unique_ptr<unsigned char[]> buffer_;
    SurveyKeeper keeper_;
    ImageSurvey survey_;
};

#endif
