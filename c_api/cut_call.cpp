// The cut d88cut makes of one image, into memory: its extraction, as with
// neither option, --table or --scan, with a storage that keeps each file it
// is given, into a folder named as d88cut names one in the current
// directory (after the folders given before it in the run), without asking
// what that directory holds.
#include "image_handle.h"

#include "extraction.h"
#include "folder_names.h"
#include "storage.h"

#include <cstring>
#include <new>

namespace {

// An empty folder in memory: every name is free, and each file written is
// kept, in the order written.
class MemoryStorage final : public Storage {
public:
    struct Kept {
        std::string name;
        std::vector<unsigned char> data;
    };

    int makeFolder(const std::string&) override { return 0; }
    Presence holds(const std::string&, const std::string&, int&) override { return Presence::Absent; }
    int writeWhole(const std::string&, const std::string& name, const unsigned char* data, std::size_t size,
                   bool) override
    {
        kept.push_back({name, std::vector<unsigned char>(data, data + size)});
        return 0;
    }
    int remove(const std::string&, const std::string&) override { return 0; }

    std::vector<Kept> kept;
};

// The cut handed out, and everything it points into.
struct HeldCut : d88_cut {
    std::string modeName;
    std::vector<MemoryStorage::Kept> kept;  // the files, then SHA256SUMS when any, then manifest.json
    std::vector<d88_cut_file> fileList;
    std::vector<MissingFile> missingFacts;
    std::vector<d88_missing_file> missingList;
};

const char* text(const std::vector<unsigned char>& data)
{
    return reinterpret_cast<const char*>(data.data());
}

// Points the public members into what the cut holds. The texts are kept
// NUL-terminated.
void expose(HeldCut& held, const ImageOutcome& outcome)
{
    held.mode = held.modeName.c_str();
    for (std::size_t i = 0; i < outcome.files.size(); ++i) {
        const WrittenFile& file = outcome.files[i];
        const MemoryStorage::Kept& kept = held.kept[i];
        held.fileList.push_back({kept.name.c_str(), kept.data.data(), kept.data.size(), file.supplied, file.disk,
                                 file.complete() ? 1 : 0});
    }
    for (const MissingFile& missing : held.missingFacts) {
        held.missingList.push_back({missing.name.c_str(), missing.disk, missing.reason.c_str()});
    }
    held.file_count = held.fileList.size();
    held.files = held.fileList.data();
    held.missing_count = held.missingList.size();
    held.missing = held.missingList.data();
    std::vector<unsigned char>& manifest = held.kept.back().data;
    held.manifest_length = manifest.size();
    manifest.push_back('\0');
    held.manifest = text(manifest);
    held.checksums = nullptr;
    held.checksums_length = 0;
    if (!outcome.files.empty()) {
        std::vector<unsigned char>& sums = held.kept[outcome.files.size()].data;
        held.checksums_length = sums.size();
        sums.push_back('\0');
        held.checksums = text(sums);
    }
}

// Both cuts, with the mode as the int the caller passed.
d88_status cutImage(d88_image* image, int value, const char* const* given, size_t count, d88_cut** cut)
{
    if (cut != nullptr) {
        *cut = nullptr;
    }
    if (image == nullptr || cut == nullptr || value < D88_CUT_AUTO || value > D88_CUT_SCAN ||
        (given == nullptr && count != 0)) {
        return D88_ERR_ARGUMENT;
    }
    for (size_t i = 0; i < count; ++i) {
        if (given[i] == nullptr) {
            return D88_ERR_ARGUMENT;
        }
    }
    HeldCut* held = new (std::nothrow) HeldCut();
    if (held == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the cut");
    }
    ExtractionSettings settings;
    settings.cutter = value == D88_CUT_TABLE ? findCutter("table") : value == D88_CUT_SCAN ? findCutter("scan") : nullptr;
    MemoryStorage storage;
    FolderNames folders("", false);
    for (size_t i = 0; i < count; ++i) {
        folders.folderNamed(given[i]);
    }
    ImageOutcome outcome;
    {
        Extraction extraction(storage, settings);
        outcome = extraction.extract({image->input}, folders);
    }
    if (!outcome.read) {
        delete held;
        const d88_status status = outcome.notAnImage      ? D88_ERR_NOT_AN_IMAGE
                                  : outcome.sources.empty() ? D88_ERR_OPEN
                                                            : D88_ERR_READ;
        return failOfImage(image, status, outcome.problems.front().what);
    }
    held->modeName = outcome.mode;
    held->kept = std::move(storage.kept);
    held->missingFacts = std::move(outcome.missing);
    outcome.missing.clear();
    expose(*held, outcome);
    *cut = held;
    return succeed(image);
}

}  // namespace

extern "C" {

d88_status d88_cut_image(d88_image* image, d88_cut_mode mode, d88_cut** cut)
{
    return cutImage(image, passedValue(mode), nullptr, 0, cut);
}

d88_status d88_cut_image_after(d88_image* image, d88_cut_mode mode, const char* const* given, size_t count,
                               d88_cut** cut)
{
    return cutImage(image, passedValue(mode), given, count, cut);
}

void d88_cut_free(d88_cut* cut)
{
    delete static_cast<HeldCut*>(cut);
}

}  // extern "C"
