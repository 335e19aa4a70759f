#include "disk_conversion.h"

#include "conversion.h"

#include <cerrno>
#include <cstdio>

namespace {

// Places shown on standard error for each kind of loss; the JSON holds more.
constexpr std::size_t kRunsShown = 8;
// No raw image of a valid geometry holds more: 164 tracks of 64 KiB, and a header.
constexpr std::uint64_t kLargestRaw = 164ull * 65536 + 4096;

}  // namespace

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
