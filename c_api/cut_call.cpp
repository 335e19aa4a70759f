// The cut d88cut makes of one image or one set, into memory: its
// extraction in the mode asked, with a storage that keeps each file it is
// given, into a folder named as d88cut names one in the current directory
// (after the folders given before it in the run), without asking what that
// directory holds.
#include "image_handle.h"

#include "cut_options.h"
#include "extraction.h"
#include "folder_names.h"
#include "storage.h"

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

std::string textOf(const std::vector<unsigned char>& data)
{
    return std::string(data.begin(), data.end());
}

}  // namespace

struct d88_cut_file {
    std::vector<unsigned char> data;
    WrittenFile facts;
};

struct d88_missing_file {
    MissingFile facts;
};

struct d88_cut {
    std::string mode;
    std::string folder;
    std::vector<d88_cut_file> files;
    std::vector<d88_missing_file> missing;
    std::string manifest;
    std::string checksums;  // with files only
};

namespace {

// The cut of what storage kept: the files, then SHA256SUMS when any, then
// manifest.json.
void fill(d88_cut& cut, ImageOutcome& outcome, MemoryStorage& storage)
{
    cut.mode = outcome.mode;
    cut.folder = outcome.folder;
    for (std::size_t i = 0; i < outcome.files.size(); ++i) {
        cut.files.push_back({std::move(storage.kept[i].data), std::move(outcome.files[i])});
    }
    for (MissingFile& missing : outcome.missing) {
        cut.missing.push_back({std::move(missing)});
    }
    if (!cut.files.empty()) {
        cut.checksums = textOf(storage.kept[cut.files.size()].data);
    }
    cut.manifest = textOf(storage.kept.back().data);
}

}  // namespace

extern "C" {

d88_status d88_cut_image(d88_image* image, const d88_cut_options* options, d88_cut** cut)
{
    if (cut != nullptr) {
        *cut = nullptr;
    }
    if (image == nullptr || cut == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    const d88_cut_options defaults;
    const d88_cut_options& asked = options != nullptr ? *options : defaults;
    d88_cut* made = new (std::nothrow) d88_cut();
    if (made == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the cut");
    }
    ExtractionSettings settings;
    settings.cutter = asked.cutter;
    settings.merge = asked.merge || !asked.images.empty();
    settings.mergedName = asked.mergedName;
    std::vector<ImageInput> inputs = {image->input};
    for (const d88_image* other : asked.images) {
        inputs.push_back(other->input);
    }
    MemoryStorage storage;
    FolderNames folders("", false);
    for (const std::string& given : asked.folders) {
        folders.folderNamed(given);
    }
    ImageOutcome outcome;
    {
        Extraction extraction(storage, settings);
        outcome = extraction.extract(inputs, folders);
    }
    if (!outcome.read) {
        delete made;
        // Refused by the survey (not opened), or by the cut after it.
        const d88_status status = outcome.notAnImage                       ? D88_ERR_NOT_AN_IMAGE
                                  : outcome.sources.size() < inputs.size() ? D88_ERR_OPEN
                                                                           : D88_ERR_READ;
        const std::string& what = outcome.problems.front().what;
        return fail(image, status, outcome.image.empty() ? what : outcome.image + ": " + what);
    }
    fill(*made, outcome, storage);
    *cut = made;
    return succeed(image);
}

void d88_cut_free(d88_cut* cut)
{
    delete cut;
}

const char* d88_cut_mode(const d88_cut* cut)
{
    return cut != nullptr ? cut->mode.c_str() : "";
}

const char* d88_cut_folder(const d88_cut* cut)
{
    return cut != nullptr ? cut->folder.c_str() : "";
}

size_t d88_cut_file_count(const d88_cut* cut)
{
    return cut != nullptr ? cut->files.size() : 0;
}

const d88_cut_file* d88_cut_file_at(const d88_cut* cut, size_t index)
{
    return index < d88_cut_file_count(cut) ? &cut->files[index] : nullptr;
}

size_t d88_cut_missing_count(const d88_cut* cut)
{
    return cut != nullptr ? cut->missing.size() : 0;
}

const d88_missing_file* d88_cut_missing_at(const d88_cut* cut, size_t index)
{
    return index < d88_cut_missing_count(cut) ? &cut->missing[index] : nullptr;
}

const char* d88_cut_manifest(const d88_cut* cut, size_t* length)
{
    if (length != nullptr) {
        *length = cut != nullptr ? cut->manifest.size() : 0;
    }
    return cut != nullptr ? cut->manifest.c_str() : "";
}

const char* d88_cut_checksums(const d88_cut* cut, size_t* length)
{
    const bool any = d88_cut_file_count(cut) > 0;
    if (length != nullptr) {
        *length = any ? cut->checksums.size() : 0;
    }
    return any ? cut->checksums.c_str() : nullptr;
}

const char* d88_cut_file_name(const d88_cut_file* file)
{
    return file != nullptr ? file->facts.name.c_str() : "";
}

const unsigned char* d88_cut_file_data(const d88_cut_file* file)
{
    return file != nullptr && !file->data.empty() ? file->data.data() : nullptr;
}

size_t d88_cut_file_size(const d88_cut_file* file)
{
    return file != nullptr ? file->data.size() : 0;
}

size_t d88_cut_file_supplied(const d88_cut_file* file)
{
    return file != nullptr ? file->facts.supplied : 0;
}

int d88_cut_file_complete(const d88_cut_file* file)
{
    return file != nullptr && file->facts.complete() ? 1 : 0;
}

int d88_cut_file_disk(const d88_cut_file* file)
{
    return file != nullptr ? file->facts.disk : 0;
}

int d88_cut_file_image(const d88_cut_file* file)
{
    return file != nullptr ? file->facts.image : 0;
}

const char* d88_cut_file_sha256(const d88_cut_file* file)
{
    return file != nullptr ? file->facts.sha256.c_str() : "";
}

const char* d88_missing_file_name(const d88_missing_file* file)
{
    return file != nullptr ? file->facts.name.c_str() : "";
}

int d88_missing_file_disk(const d88_missing_file* file)
{
    return file != nullptr ? file->facts.disk : -1;
}

int d88_missing_file_image(const d88_missing_file* file)
{
    return file != nullptr ? file->facts.image : -1;
}

const char* d88_missing_file_reason(const d88_missing_file* file)
{
    return file != nullptr ? file->facts.reason.c_str() : "";
}

}  // extern "C"
