// d88convert: a disk of a D88 image to a raw sector image and back, a D88
// file of several disks split into one per disk, D88 files joined into one;
// every sector a raw image could not hold said on standard error.
#include "d88convert.h"

#include "console.h"
#include "disk_conversion.h"
#include "image_file.h"
#include "options.h"
#include "report_output.h"
#include "run_json.h"
#include "run_state.h"
#include "set_files.h"

#include <d88image/d88_format.h>

#include <cstdio>

namespace {

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
