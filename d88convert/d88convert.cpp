#include "d88convert.h"

#include "console.h"
#include "conversion.h"
#include "disk_sets.h"
#include "image_file.h"
#include "image_path.h"
#include "json_writer.h"
#include "options.h"
#include "output_file.h"
#include "report_output.h"

#include <d88image/d88image.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = "d88convert";
// Places shown on standard error for each kind of loss; the JSON holds more.
constexpr std::size_t kRunsShown = 8;
// No raw image of a valid geometry holds more: 164 tracks of 64 KiB, and a header.
constexpr std::uint64_t kLargestRaw = 164ull * 65536 + 4096;

// What the run did, for --json.
struct Run {
    const char* mode = "";
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    int disk = -1;
    std::string geometry;
    std::string geometryFrom;
    std::string error;
    RawFindings findings;
    std::vector<std::string> notes;  // what split or join could not keep as it was
    int status = 0;
};

// Of two statuses, the one that says more: the first of 1, 2, 3.
int worse(int a, int b)
{
    return a == 0 ? b : b == 0 ? a : std::min(a, b);
}

int fail(Run& run, int status, const std::string& file, const std::string& what)
{
    const std::string line = file.empty() ? what : file + ": " + what;
    std::fprintf(stderr, "%s: %s\n", kProgram, line.c_str());
    if (run.error.empty()) {
        run.error = line;
    }
    run.status = worse(run.status, status);
    return run.status;
}

void note(Run& run, const std::string& file, const std::string& what)
{
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, file.c_str(), what.c_str());
    run.notes.push_back(file + ": " + what);
    run.status = worse(run.status, 3);
}

class FileBytes final : public ByteSource {
public:
    bool open(const std::string& path) { return file_.open(path.c_str()); }
    std::size_t read(std::uint64_t position, unsigned char* dest, std::size_t count) override
    {
        return file_.read(position, dest, count);
    }
    int error() const { return file_.error(); }

private:
    FileSource file_;
};

// The first bytes of path, as many as fit count.
std::vector<unsigned char> firstBytes(const std::string& path, std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    FileBytes file;
    bytes.resize(file.open(path) ? file.read(0, bytes.data(), count) : 0);
    return bytes;
}

// The input's format: its extension's, else a D88 image where its first
// bytes can begin one, else raw.
ImageFormat inputFormat(const std::string& path, std::uint64_t size, const RawKind*& named)
{
    ImageFormat format = ImageFormat::Raw;
    named = nullptr;
    if (formatOfPath(path, format, named)) {
        return format;
    }
    const std::vector<unsigned char> head = firstBytes(path, d88format::kDiskHeaderSize);
    return plausibleD88Header(size, head.data(), head.size()) ? ImageFormat::D88 : ImageFormat::Raw;
}

// "not a D88 image", with the raw kind its size and first bytes say it may be.
std::string notD88(const std::string& path, std::uint64_t size)
{
    const std::vector<unsigned char> head = firstBytes(path, d88format::kDiskHeaderSize);
    const std::string kind = rawKindOf(size, head.data(), head.size());
    return kind.empty() ? "not a D88 image"
                        : "not a D88 image; its size is that of " + kind + ": d88convert " + path + " NAME.d88 makes one";
}

// Writes path through produce(sink), which says whether it could make it
// all; never over anything without force.
template <typename Produce>
int writeOutput(Run& run, const std::string& path, bool force, Produce produce)
{
    if (!force && pathTaken(path)) {
        return fail(run, 2, path, "already exists; --force replaces it");
    }
    OutputFile file;
    int error = file.begin(path);
    if (error == 0) {
        if (!produce(static_cast<ByteSink&>(file))) {
            file.abandon();
            return run.status == 0 ? 1 : run.status;
        }
        error = file.end(force);
    } else {
        file.abandon();
    }
    if (error != 0) {
        return fail(run, 2, path, std::string("cannot be written: ") + std::strerror(error));
    }
    run.outputs.push_back(path);
    return 0;
}

int d88ToRaw(const Options& options, ImageFormat to, Run& run)
{
    const std::string& input = options.files[0];
    const std::string& output = options.files[1];
    run.mode = "to-raw";
    run.disk = options.disk;
    ToRawResult result;
    const int written = writeOutput(run, output, options.force, [&](ByteSink& sink) {
        result = convertToRaw(ImageInput(input), options.disk, to, options.geometryGiven ? &options.geometry : nullptr,
                              sink);
        if (!result.converted) {
            const bool several = result.diskCount > 1 && options.disk < 0;
            fail(run, 1, input,
                 result.error + (several ? ": pick one with --disk N, or write each to a file of its own with --split" : ""));
        }
        return result.converted;
    });
    if (written != 0) {
        return written;
    }
    run.disk = options.disk < 0 ? 0 : options.disk;
    run.geometry = geometryWords(result.geometry);
    run.geometryFrom = options.geometryGiven ? "--geometry" : "the disk's tracks";
    run.findings = result.findings;
    std::fputs(run.findings.lines(kProgram, kRunsShown).c_str(), stderr);
    run.status = worse(run.status, run.findings.exact() ? 0 : 3);
    return run.status;
}

int rawToD88(const Options& options, ImageFormat from, const RawKind* named, std::uint64_t size, Run& run)
{
    const std::string& input = options.files[0];
    run.mode = "to-d88";
    if (size > kLargestRaw) {
        return fail(run, 1, input, "holds " + std::to_string(size) + " bytes, more than any raw image of a disk");
    }
    std::vector<unsigned char> raw(static_cast<std::size_t>(size));
    FileBytes file;
    if (!file.open(input) || file.read(0, raw.data(), raw.size()) != raw.size()) {
        return fail(run, 1, input, std::string("cannot be read: ") + std::strerror(file.error() != 0 ? file.error() : EIO));
    }
    DiskLabel label;
    label.name = options.name;
    label.writeProtect = options.writeProtect;
    ToD88Result result;
    const int written = writeOutput(run, options.files[1], options.force, [&](ByteSink& sink) {
        result = convertToD88(raw.data(), raw.size(), from, named, options.geometryGiven ? &options.geometry : nullptr,
                              options.firstR, label, sink);
        if (!result.converted) {
            fail(run, 1, input, result.choice.why);
        }
        return result.converted;
    });
    if (written == 0) {
        run.geometry = geometryWords(result.choice.geometry);
        run.geometryFrom = result.choice.from;
    }
    return run.status;
}

// Opens a D88 input and lays out its disks; false, said, when it is none.
bool openSet(Run& run, const std::string& path, D88Image& reader, SetLayout& layout)
{
    std::uint64_t size = 0;
    const std::string why = notAnImageFile(path, size);
    if (!why.empty()) {
        fail(run, 1, path, why);
        return false;
    }
    if (!reader.open(path.c_str())) {
        fail(run, 1, path, std::string("cannot be read: ") + std::strerror(reader.readError() != 0 ? reader.readError() : EIO));
        return false;
    }
    const std::vector<unsigned char> head = firstBytes(path, d88format::kDiskHeaderSize);
    if (reader.diskCount() == 0 || !plausibleD88Header(size, head.data(), head.size())) {
        fail(run, 1, path, notD88(path, size));
        return false;
    }
    layout = setLayout(reader, size);
    return true;
}

void noteLayout(Run& run, const std::string& path, const SetLayout& layout)
{
    for (std::size_t i = 0; i < layout.disks.size(); ++i) {
        if (layout.disks[i].cutShort) {
            note(run, path, "disk " + std::to_string(i) + " is cut short by the end of the file; written as it is");
        }
    }
    if (layout.zeroSize) {
        note(run, path, "disk " + std::to_string(layout.disks.size() - 1) +
                            " has a disk size of 0; written to the end of the file, as the last disk");
    }
    if (layout.trailing != 0) {
        note(run, path, std::to_string(layout.trailing) + " bytes after the last disk are not part of any disk; left out");
    }
}

// The stem of a path's file name: "set" of "dir/set.d88".
std::string stemOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int copyDisks(Run& run, const std::string& path, const SetLayout& layout, std::size_t first, std::size_t end,
              const std::string& output, bool force)
{
    FileBytes source;
    if (!source.open(path)) {
        return fail(run, 1, path, "cannot be read again");
    }
    return writeOutput(run, output, force, [&](ByteSink& sink) {
        for (std::size_t i = first; i < end; ++i) {
            if (!copyBytes(source, layout.disks[i].offset, layout.disks[i].size, sink)) {
                fail(run, 1, path, "reading it failed part way");
                return false;
            }
        }
        return true;
    });
}

int splitImage(const Options& options, Run& run)
{
    const std::string& input = options.files[0];
    const std::string& folder = options.files[1];
    run.mode = "split";
    auto reader = std::make_unique<D88Image>();
    SetLayout layout;
    if (!openSet(run, input, *reader, layout)) {
        return run.status;
    }
    if (imagePathStatus(folder.c_str()).kind != PathKind::Directory) {
        return fail(run, 2, folder, "is not a folder");
    }
    const std::string stem = stemOf(input);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < layout.disks.size(); ++i) {
        names.push_back(folder + separatorAfter(folder.c_str()) + stem + "-" + std::to_string(i) + ".d88");
        if (!options.force && pathTaken(names.back())) {
            return fail(run, 2, names.back(), "already exists; --force replaces it (nothing was written)");
        }
    }
    noteLayout(run, input, layout);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (copyDisks(run, input, layout, i, i + 1, names[i], options.force) != 0 && run.status != 3) {
            return run.status;
        }
    }
    return run.status;
}

int joinImages(const Options& options, Run& run)
{
    run.mode = options.files.size() == 2 ? "copy" : "join";
    const std::string& output = options.files.back();
    std::vector<SetLayout> layouts;
    std::size_t disks = 0;
    for (std::size_t i = 0; i + 1 < options.files.size(); ++i) {
        const std::string& input = options.files[i];
        auto reader = std::make_unique<D88Image>();
        SetLayout layout;
        if (!openSet(run, input, *reader, layout)) {
            return run.status;
        }
        if (!layout.exact()) {
            noteLayout(run, input, layout);
            return fail(run, 1, input, "its disks do not fill it exactly, so the disks after it would not be found "
                                       "where they are once joined; nothing was written");
        }
        disks += layout.disks.size();
        layouts.push_back(layout);
    }
    if (disks > static_cast<std::size_t>(d88format::kMaxDisks)) {
        return fail(run, 1, "", "the images hold " + std::to_string(disks) + " disks; a D88 file is read to 64");
    }
    if (!options.force && pathTaken(output)) {
        return fail(run, 2, output, "already exists; --force replaces it");
    }
    std::vector<std::unique_ptr<FileBytes>> sources;
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        sources.push_back(std::make_unique<FileBytes>());
        if (!sources.back()->open(options.files[i])) {
            return fail(run, 1, options.files[i], "cannot be read again");
        }
    }
    return writeOutput(run, output, options.force, [&](ByteSink& sink) {
        for (std::size_t i = 0; i < layouts.size(); ++i) {
            const DiskRange& last = layouts[i].disks.back();
            if (!copyBytes(*sources[i], 0, last.offset + last.size, sink)) {
                fail(run, 1, options.files[i], "reading it failed part way");
                return false;
            }
        }
        return true;
    });
}

// One disk of a D88 image as a D88 image of its own.
int extractDisk(const Options& options, Run& run)
{
    const std::string& input = options.files[0];
    run.mode = "copy";
    run.disk = options.disk;
    auto reader = std::make_unique<D88Image>();
    SetLayout layout;
    if (!openSet(run, input, *reader, layout)) {
        return run.status;
    }
    const std::size_t disk = static_cast<std::size_t>(options.disk);
    if (disk >= layout.disks.size()) {
        return fail(run, 1, input, "it has no disk " + std::to_string(disk) + " (its disks are 0-" +
                                       std::to_string(layout.disks.size() - 1) + ")");
    }
    if (layout.disks[disk].cutShort) {
        note(run, input, "disk " + std::to_string(disk) + " is cut short by the end of the file; written as it is");
    }
    const int status = copyDisks(run, input, layout, disk, disk + 1, options.files[1], options.force);
    return worse(run.status, status);
}

// Whether options ask to change the disks, which split, join and a disk
// taken from a D88 image write as they are stored.
bool reshapes(const Options& options)
{
    return options.geometryGiven || options.nameGiven || options.writeProtect || options.firstR >= 0;
}

const char kAsStored[] = "split, join and a disk taken from a D88 image write the disks as they are stored: "
                         "--geometry, --name, --write-protect and --first-r do not apply";

int convert(const Options& options, Run& run)
{
    run.inputs.assign(options.files.begin(), options.files.end() - 1);
    if ((options.split || options.files.size() > 2) && (reshapes(options) || options.disk >= 0)) {
        return fail(run, 1, "", options.disk >= 0 ? "--disk picks a disk to convert; split and join take every disk"
                                                  : kAsStored);
    }
    if (options.split) {
        run.inputs.assign(1, options.files[0]);
        return splitImage(options, run);
    }
    const std::string& input = options.files[0];
    const std::string& output = options.files.back();
    ImageFormat to = options.to;
    const RawKind* toKind = options.toKind;
    if (!options.toGiven && !formatOfPath(output, to, toKind)) {
        return fail(run, 1, output, "its extension names no image format; name one with --to");
    }
    if (options.files.size() > 2) {
        if (to != ImageFormat::D88) {
            return fail(run, 1, output, "images are joined into a D88 image only");
        }
        return joinImages(options, run);
    }
    std::uint64_t size = 0;
    const std::string why = notAnImageFile(input, size);
    if (!why.empty()) {
        return fail(run, 1, input, why);
    }
    const RawKind* named = nullptr;
    const ImageFormat from = inputFormat(input, size, named);
    if (from == ImageFormat::D88 && to == ImageFormat::D88) {
        if (options.disk < 0) {
            return fail(run, 1, "", "both are D88 images: give --disk N to take one disk, or --split");
        }
        if (reshapes(options)) {
            return fail(run, 1, "", kAsStored);
        }
        return extractDisk(options, run);
    }
    if (from != ImageFormat::D88 && to != ImageFormat::D88) {
        return fail(run, 1, "", "both are raw images: one of the two must be a D88 image");
    }
    if (from == ImageFormat::D88) {
        if (options.nameGiven || options.writeProtect || options.firstR >= 0) {
            return fail(run, 1, "", "--name, --write-protect and --first-r go with a D88 image made from a raw one");
        }
        const std::vector<unsigned char> head = firstBytes(input, d88format::kDiskHeaderSize);
        if (!plausibleD88Header(size, head.data(), head.size())) {
            return fail(run, 1, input, notD88(input, size));
        }
        return d88ToRaw(options, to, run);
    }
    if (options.disk >= 0) {
        return fail(run, 1, "", "--disk picks a disk of a D88 image; a raw image holds one");
    }
    return rawToD88(options, from, named, size, run);
}

std::string jsonDocument(const Run& run)
{
    std::string out;
    JsonWriter json(out, 2);
    json.beginObject();
    json.member("mode", run.mode);
    json.key("inputs");
    json.beginArray();
    for (const std::string& input : run.inputs) {
        json.value(input);
    }
    json.endArray();
    json.key("outputs");
    json.beginArray();
    for (const std::string& output : run.outputs) {
        json.value(output);
    }
    json.endArray();
    json.memberOrNull("disk", run.disk >= 0, run.disk);
    json.memberOrNull("geometry", !run.geometry.empty(), run.geometry);
    json.memberOrNull("geometry_from", !run.geometryFrom.empty(), run.geometryFrom);
    json.member("exact", run.status == 0);
    json.memberOrNull("error", !run.error.empty(), run.error);
    json.key("findings");
    json.beginArray();
    for (std::size_t k = 0; k < kFindingKinds; ++k) {
        const Finding kind = static_cast<Finding>(k);
        if (run.findings.count(kind) == 0) {
            continue;
        }
        json.beginObject();
        json.member("kind", findingWords(kind).key);
        json.member("sectors", static_cast<unsigned long long>(run.findings.count(kind)));
        json.member("text", findingWords(kind).text);
        json.key("places");
        json.beginArray();
        for (const SectorRun& place : run.findings.runs(kind)) {
            json.beginObject();
            json.member("track", place.track);
            json.member("first_r", place.first);
            json.member("last_r", place.last);
            json.endObject();
        }
        json.endArray();
        json.member("places_left_out", static_cast<unsigned long long>(run.findings.runsLeftOut(kind)));
        json.endObject();
    }
    json.endArray();
    json.key("notes");
    json.beginArray();
    for (const std::string& text : run.notes) {
        json.value(text);
    }
    json.endArray();
    json.member("status", run.status);
    json.endObject();
    out += "\n";
    return out;
}

}  // namespace

int runD88convert(int argc, char** argv)
{
    Options options;
    const int parsed = parseOptions(argc, argv, options);
    if (parsed >= 0) {
        return parsed;
    }
    Run run;
    run.status = convert(options, run);
    if (options.json) {
        StreamOutput output(stdout);
        output.write(jsonDocument(run));
        if (!output.flush()) {
            sayStandardOutputFailed(kProgram, output.error());
            return worse(run.status, 2);
        }
    }
    return run.status;
}
