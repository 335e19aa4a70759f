#include "extraction.h"
#include "last_error.h"

#include <d88image/d88image.h>

#include "image_buffer.h"
#include "image_file.h"
#include "sha256.h"

#include <algorithm>
#include <cctype>
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

Extraction::Extraction(Storage& storage, const ExtractionSettings& settings)
    : storage_(storage), settings_(settings), reader_(std::make_unique<D88Image>()),
      buffer_(new unsigned char[kImageBufferSize]), survey_(keeper_)
{
}

Extraction::~Extraction() = default;

// The survey d88info makes of the image, kept for its judgement. False
// when the image cannot be read or is no D88 image.
bool Extraction::survey(ImageOutcome& outcome, const ImageInput& image, std::vector<SurveyKeeper>& found)
{
    std::string refused;
    if (survey_.survey(image) == ImageStatus::Unreadable) {
        outcome.notAnImage = survey_.lastNotAnImage();
        refused = outcome.notAnImage ? survey_.lastError() : "cannot be read: " + survey_.lastError();
    }
    if (!refused.empty()) {
        outcome.problems.push_back({"", refused});
        return false;
    }
    outcome.sources.push_back({image.path, keeper_.image.size});
    found.push_back(keeper_);
    return true;
}

// The files of image number image as the chosen way makes them, whole,
// before anything is written: a folder is either left alone or given all of
// them. False when the image cannot be read.
bool Extraction::cut(ImageOutcome& outcome, const ImageInput& input, int image, ImageCut& cut, CollectedFiles& collected)
{
    std::string refused;
    errno = 0;
    if (!input.openIn(*reader_)) {
        refused = reason(lastError());
    } else {
        collected.fromImage(image);
        cut.image(*reader_, collected, nullptr);
        // An I/O error part way leaves files short of what the image holds.
        if (reader_->readFailed()) {
            refused = "a read failed: " + reason(reader_->readError());
        }
    }
    reader_->close();
    if (!refused.empty()) {
        outcome.image = input.path;
        outcome.problems.push_back({"", "cannot be read: " + refused});
        return false;
    }
    return true;
}

namespace {

bool written(const CollectedFiles& collected, const std::string& name)
{
    for (const CollectedFile& file : collected.files()) {
        if (file.name == name) {
            return true;
        }
    }
    return false;
}

// The damage the survey found where the way reads: the disks it reads of
// the set, and the image as a whole.
void noteDamage(ImageOutcome& outcome, const std::vector<SurveyKeeper>& found, const Cutter& way)
{
    int disksBefore = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const ImageSummary& summary = found[i].summary;
        for (const Anomaly& anomaly : summary.anomalies) {
            const bool read = way.disksRead < 0 || anomaly.disk < 0 || disksBefore + anomaly.disk < way.disksRead;
            if (!anomaly.damage || !read) {
                continue;
            }
            if (outcome.damage.size() < kDamageListed) {
                outcome.damage.push_back({static_cast<int>(i), anomaly});
            } else {
                ++outcome.damageLeftOut;
            }
        }
        outcome.damageLeftOut += summary.anomaliesLeftOut;
        disksBefore += found[i].image.diskCount;
    }
}

// Each file the way knows of that no disk writes, with the reason the
// survey's preview gives, named as the run's cut names its files; of a
// set, also each file of a part that none of its disks is.
void noteMissing(ImageOutcome& outcome, const std::vector<SurveyKeeper>& found, std::size_t way,
                 const ImageCut& cut, const CollectedFiles& collected)
{
    std::vector<DiskFacts> disks;
    for (std::size_t i = 0; i < found.size(); ++i) {
        disks.insert(disks.end(), found[i].disks.begin(), found[i].disks.end());
        for (const PlannedFile& file : found[i].summary.cuts[way].files) {
            const std::string name = cut.nameInRun(file, i);
            if (!file.written && !written(collected, name)) {
                outcome.missing.push_back({name, static_cast<int>(i), file.disk, file.reason});
            }
        }
    }
    const Cutter& cutter = cutterAt(way);
    if (!outcome.merged || cutter.setLacks == nullptr) {
        return;
    }
    for (const SetLack& lack : cutter.setLacks(disks)) {
        outcome.lacks.push_back(lack.part);
        for (const std::string& name : lack.files) {
            if (!written(collected, name)) {
                outcome.missing.push_back({name, -1, -1, "the set has no " + lack.part});
            }
        }
    }
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool taken(const CollectedFiles& collected, const std::string& name)
{
    return name == kSums || name == kManifest ||
           std::any_of(collected.files().begin(), collected.files().end(),
                       [&](const CollectedFile& file) { return sameName(file.name, name); });
}

// A disk's own file that bears the name of the folder's checksum list or
// manifest (a file system's names are the disk's to choose) takes the next
// free name, NAME-2, NAME-3, ..., compared without case as hosts that
// ignore it would.
void keepOurNames(CollectedFiles& collected)
{
    for (std::size_t i = 0; i < collected.files().size(); ++i) {
        const std::string name = collected.files()[i].name;
        if (!sameName(name, kSums) && !sameName(name, kManifest)) {
            continue;
        }
        std::string free;
        for (int n = 2; free.empty() || taken(collected, free); ++n) {
            free = name + "-" + std::to_string(n);
        }
        collected.rename(i, free);
    }
}

// The file system and stored name of a file the disk's file system gave:
// the listed file whose path the name ends with, after its disk's folder.
void nameFileSystem(WrittenFile& file, const std::vector<SurveyKeeper>& found)
{
    if (file.image < 0 || static_cast<std::size_t>(file.image) >= found.size()) {
        return;
    }
    const std::vector<DiskFacts>& disks = found[static_cast<std::size_t>(file.image)].disks;
    if (file.disk < 0 || static_cast<std::size_t>(file.disk) >= disks.size() || !disks[file.disk].fileSystem) {
        return;
    }
    const FileListing& listing = *disks[static_cast<std::size_t>(file.disk)].fileSystem;
    for (const FileEntry& entry : listing.files) {
        const std::size_t at = file.name.size() - std::min(file.name.size(), entry.path.size());
        if (file.name.compare(at, std::string::npos, entry.path) == 0 && (at == 0 || file.name[at - 1] == '/')) {
            file.fileSystem = listing.name;
            file.storedNameHex = entry.storedNameHex;
            return;
        }
    }
}

}  // namespace

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
            if (!settings_.force) {
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

// A name with '/' (a file system's subfolders, a set's disks) goes into
// its folders, made as it is written.
bool Extraction::write(ImageOutcome& outcome, const std::string& name, const unsigned char* data, std::size_t size)
{
    const std::size_t slash = name.rfind('/');
    std::string folder = outcome.folder;
    if (slash != std::string::npos) {
        folder += "/" + name.substr(0, slash);
        const int folderError = storage_.makeFolder(folder);
        if (folderError != 0) {
            outcome.problems.push_back({name, "cannot make its folder: " + reason(folderError)});
            outcome.notWritten = true;
            return false;
        }
    }
    const std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
    const int error = storage_.writeWhole(folder, leaf, data, size, settings_.force);
    if (error != 0) {
        outcome.problems.push_back(
            {name, error == EEXIST ? "appeared in the folder while it was written; not replaced" : "cannot write: " + reason(error)});
        outcome.notWritten = true;
        return false;
    }
    return true;
}

ImageOutcome Extraction::extract(const std::vector<ImageInput>& images, FolderNames& folders)
{
    ImageOutcome outcome;
    outcome.image = images.front().path;
    outcome.merged = settings_.merge;
    outcome.dryRun = settings_.dryRun;
    std::vector<SurveyKeeper> found;
    for (const ImageInput& image : images) {
        if (!survey(outcome, image, found)) {
            outcome.image = image.path;
            return outcome;
        }
    }
    std::vector<const ImageSummary*> summaries;
    for (const SurveyKeeper& image : found) {
        summaries.push_back(&image.summary);
    }
    const Cutter& way = settings_.cutter != nullptr ? *settings_.cutter : chosenCutter(summaries);
    CollectedFiles collected;
    std::memset(buffer_.get(), 0, kImageBufferSize);  // as scancut starts
    const std::unique_ptr<ImageCut> imageCut = way.newCut(buffer_.get());
    std::vector<const std::vector<DiskFacts>*> surveyed;
    for (const SurveyKeeper& image : found) {
        surveyed.push_back(&image.disks);
    }
    imageCut->beginRun(surveyed);
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (!cut(outcome, images[i], static_cast<int>(i), *imageCut, collected)) {
            return outcome;
        }
    }
    outcome.read = true;
    outcome.mode = way.key;
    noteDamage(outcome, found, way);
    noteMissing(outcome, found, cutterIndex(way), *imageCut, collected);
    outcome.folder = settings_.merge && !settings_.mergedName.empty() ? folders.folderNamed(settings_.mergedName)
                                                                      : folders.folderFor(images.front().path);

    keepOurNames(collected);
    std::vector<std::string> names;
    std::vector<WrittenFile> planned;
    for (const CollectedFile& file : collected.files()) {
        names.push_back(file.name);
        planned.push_back({file.name, file.data.size(), sha256Of(file.data), file.disk, file.supplied, file.image, {}, {}});
        if (&way == findCutter("files")) {
            nameFileSystem(planned.back(), found);
        }
    }
    // sha256sum -c refuses a list without a line: with no file, no list.
    if (!planned.empty()) {
        names.push_back(kSums);
    }
    names.push_back(kManifest);
    if (!clearOfOurNames(outcome, names)) {
        return outcome;
    }
    if (settings_.dryRun) {
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
        // A storage in memory holds the bytes now: they are not kept twice.
        collected.release(i);
    }
    if (!outcome.files.empty()) {
        const std::string sums = sha256Sums(outcome);
        write(outcome, kSums, reinterpret_cast<const unsigned char*>(sums.data()), sums.size());
    } else if (settings_.force) {
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
