// What a run of d88convert did, for its messages, its --json document and
// its exit status, and what its steps share: messages on standard error,
// the first bytes of an input, and writing an output whole.
#ifndef D88CONVERT_RUN_STATE_H
#define D88CONVERT_RUN_STATE_H

#include "disk_sets.h"
#include "converted_file.h"
#include "raw_findings.h"

#include <d88image/image_source.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

constexpr const char* kProgram = "d88convert";

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
int worse(int a, int b);
// Says what went wrong with file ("" for none) on standard error and makes
// it the run's status (if worse); returns the run's status.
int fail(Run& run, int status, const std::string& file, const std::string& what);
// Says what a split or join could not keep as it was; status 3.
void note(Run& run, const std::string& file, const std::string& what);

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
std::vector<unsigned char> firstBytes(const std::string& path, std::size_t count);
// "not a D88 image", with the raw kind its size and first bytes say it may be.
std::string notD88(const std::string& path, std::uint64_t size);

// Writes path through produce(sink), which says whether it could make it
// all; never over anything without force. 0, or the run's status.
template <typename Produce>
int writeOutput(Run& run, const std::string& path, bool force, Produce produce)
{
    if (!force && pathTaken(path)) {
        return fail(run, 2, path, "already exists; --force replaces it");
    }
    ConvertedFile file;
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

#endif
