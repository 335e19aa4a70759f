#include "extraction.h"

#include <d88image/d88image.h>

#include "collected_files.h"
#include "image_buffer.h"
#include "scan_cut.h"
#include "sha256.h"
#include "table_cut.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

const char kSums[] = "SHA256SUMS";
const char kManifest[] = "manifest.json";

std::string reason(int error)
{
    return std::strerror(error);
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

void Extraction::write(ImageOutcome& outcome, const std::string& name, const unsigned char* data, std::size_t size)
{
    const int error = storage_.writeWhole(outcome.folder, name, data, size);
    if (error != 0) {
        outcome.problems.push_back({name, "cannot write: " + reason(error)});
        outcome.notWritten = true;
    }
}

ImageOutcome Extraction::extract(const std::string& image, const std::string& folder)
{
    ImageOutcome outcome;
    outcome.image = image;
    errno = 0;
    std::error_code sizeError;
    if (!reader_->open(image.c_str())) {
        outcome.problems.push_back({"", "cannot be read: " + reason(errno != 0 ? errno : EIO)});
        return outcome;
    }
    outcome.read = true;
    outcome.imageSize = std::filesystem::file_size(image, sizeError);
    outcome.folder = folder;

    // The files as the chosen cutter makes them, whole, before anything is
    // written: a folder is either left alone or given all of them.
    CollectedFiles collected;
    const bool table = options_.mode == Options::Mode::Table ||
                       (options_.mode == Options::Mode::Chosen && anyKnownDisk());
    outcome.mode = table ? "table" : "scan";
    if (table) {
        cutImage(*reader_, buffer_.get(), collected, nullptr);
    } else {
        std::memset(buffer_.get(), 0, kImageBufferSize);  // as scancut starts
        scanImage(*reader_, buffer_.get(), collected);
    }
    reader_->close();
    for (const CollectedFile& file : collected.files()) {
        Sha256 sha;
        sha.update(file.data.data(), file.data.size());
        unsigned char digest[32];
        sha.finish(digest);
        char hex[65];
        sha256Hex(digest, hex);
        outcome.files.push_back({file.name, file.data.size(), hex, file.disk, file.supplied});
    }

    // Nothing is replaced unless asked: the folder must hold none of the
    // names this image would write.
    std::vector<std::string> names;
    for (const CollectedFile& file : collected.files()) {
        names.push_back(file.name);
    }
    names.push_back(kSums);
    names.push_back(kManifest);
    for (const std::string& name : names) {
        if (!options_.force && storage_.holds(folder, name)) {
            outcome.problems.push_back({name, "already in the folder; not replaced"});
            outcome.skipped = true;
        }
    }
    if (outcome.skipped || options_.dryRun) {
        return outcome;
    }

    const int folderError = storage_.makeFolder(folder);
    if (folderError != 0) {
        outcome.problems.push_back({"", "cannot make the folder: " + reason(folderError)});
        outcome.notWritten = true;
        return outcome;
    }
    std::vector<WrittenFile> written;
    for (std::size_t i = 0; i < collected.files().size(); ++i) {
        const CollectedFile& file = collected.files()[i];
        const std::size_t problems = outcome.problems.size();
        write(outcome, file.name, file.data.data(), file.data.size());
        if (outcome.problems.size() == problems) {
            written.push_back(outcome.files[i]);
        }
    }
    outcome.files = std::move(written);
    // sha256sum -c refuses a list without a line: with no file, no list.
    if (!outcome.files.empty()) {
        const std::string sums = sha256Sums(outcome);
        write(outcome, kSums, reinterpret_cast<const unsigned char*>(sums.data()), sums.size());
    }
    const std::string manifest = manifestJson(outcome);
    write(outcome, kManifest, reinterpret_cast<const unsigned char*>(manifest.data()), manifest.size());
    return outcome;
}
