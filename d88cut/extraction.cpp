#include "extraction.h"

#include <d88image/d88image.h>

#include "image_buffer.h"
#include "image_file.h"
#include "scan_cut.h"
#include "sha256.h"
#include "table_cut.h"

#include <cerrno>
#include <cstring>

namespace {

const char kSums[] = "SHA256SUMS";
const char kManifest[] = "manifest.json";

std::string reason(int error)
{
    return std::strerror(error);
}

std::string sha256Of(const std::vector<unsigned char>& data)
{
    Sha256 sha;
    sha.update(data.data(), data.size());
    unsigned char digest[32];
    sha.finish(digest);
    char hex[65];
    sha256Hex(digest, hex);
    return hex;
}

}  // namespace

Extraction::Extraction(Storage& storage, const Options& options)
    : storage_(storage), options_(options), reader_(std::make_unique<D88Image>()),
      buffer_(new unsigned char[kImageBufferSize])
{
}

Extraction::~Extraction() = default;

bool Extraction::anyKnownDisk()
{
    for (int d = 0; d < reader_->diskCount(); ++d) {
        reader_->selectDisk(d);
        if (recogniseDisk(*reader_, buffer_.get()) != DiskKind::None) {
            return true;
        }
    }
    return false;
}

// The files as the chosen cutter makes them, whole, before anything is
// written: a folder is either left alone or given all of them. False when
// the image cannot be read.
bool Extraction::cut(ImageOutcome& outcome, CollectedFiles& collected)
{
    std::string refused = notAnImageFile(outcome.image, outcome.imageSize);
    errno = 0;
    if (refused.empty() && !reader_->open(outcome.image.c_str())) {
        refused = reason(errno != 0 ? errno : EIO);
    }
    if (refused.empty()) {
        const bool table = options_.mode == Options::Mode::Table ||
                           (options_.mode == Options::Mode::Chosen && anyKnownDisk());
        outcome.mode = table ? "table" : "scan";
        if (table) {
            cutImage(*reader_, buffer_.get(), collected, nullptr);
        } else {
            std::memset(buffer_.get(), 0, kImageBufferSize);  // as scancut starts
            scanImage(*reader_, buffer_.get(), collected);
        }
        // An I/O error part way leaves files short of what the image holds.
        if (reader_->readFailed()) {
            refused = "a read failed: " + reason(reader_->readError());
        }
    }
    reader_->close();
    if (!refused.empty()) {
        outcome.problems.push_back({"", "cannot be read: " + refused});
        outcome.mode.clear();
        return false;
    }
    outcome.read = true;
    return true;
}

// Nothing is replaced unless asked: the folder must hold none of the names
// this image would write.
bool Extraction::clearOfOurNames(ImageOutcome& outcome, const std::vector<std::string>& names)
{
    bool clear = true;
    for (const std::string& name : names) {
        int error = 0;
        switch (storage_.holds(outcome.folder, name, error)) {
        case Storage::Presence::Absent:
            break;
        case Storage::Presence::Present:
            if (!options_.force) {
                outcome.problems.push_back({name, "already in the folder; not replaced", true});
                outcome.skipped = true;
                clear = false;
            }
            break;
        case Storage::Presence::Unknown:
            outcome.problems.push_back({name, "cannot tell whether the folder holds it: " + reason(error)});
            outcome.notWritten = true;
            clear = false;
            break;
        }
    }
    return clear;
}

bool Extraction::write(ImageOutcome& outcome, const std::string& name, const unsigned char* data, std::size_t size)
{
    const int error = storage_.writeWhole(outcome.folder, name, data, size, options_.force);
    if (error != 0) {
        outcome.problems.push_back(
            {name, error == EEXIST ? "appeared in the folder while it was written; not replaced" : "cannot write: " + reason(error)});
        outcome.notWritten = true;
        return false;
    }
    return true;
}

ImageOutcome Extraction::extract(const std::string& image, FolderNames& folders)
{
    ImageOutcome outcome;
    outcome.image = image;
    outcome.dryRun = options_.dryRun;
    CollectedFiles collected;
    if (!cut(outcome, collected)) {
        return outcome;
    }
    outcome.folder = folders.folderFor(image);

    std::vector<std::string> names;
    std::vector<WrittenFile> planned;
    for (const CollectedFile& file : collected.files()) {
        names.push_back(file.name);
        planned.push_back({file.name, file.data.size(), sha256Of(file.data), file.disk, file.supplied});
    }
    // sha256sum -c refuses a list without a line: with no file, no list.
    if (!planned.empty()) {
        names.push_back(kSums);
    }
    names.push_back(kManifest);
    if (!clearOfOurNames(outcome, names)) {
        return outcome;
    }
    if (options_.dryRun) {
        outcome.files = std::move(planned);
        return outcome;
    }

    const int folderError = storage_.makeFolder(outcome.folder);
    if (folderError != 0) {
        outcome.problems.push_back({"", "cannot make the folder: " + reason(folderError)});
        outcome.notWritten = true;
        return outcome;
    }
    for (std::size_t i = 0; i < planned.size(); ++i) {
        const std::vector<unsigned char>& data = collected.files()[i].data;
        if (write(outcome, planned[i].name, data.data(), data.size())) {
            outcome.files.push_back(planned[i]);
        }
    }
    if (!outcome.files.empty()) {
        const std::string sums = sha256Sums(outcome);
        write(outcome, kSums, reinterpret_cast<const unsigned char*>(sums.data()), sums.size());
    } else if (options_.force) {
        // A list left from an earlier cut would no longer match the folder.
        int error = 0;
        if (storage_.holds(outcome.folder, kSums, error) == Storage::Presence::Present) {
            storage_.remove(outcome.folder, kSums);
        }
    }
    const std::string manifest = manifestJson(outcome);
    write(outcome, kManifest, reinterpret_cast<const unsigned char*>(manifest.data()), manifest.size());
    return outcome;
}
