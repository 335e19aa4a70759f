#include "run_state.h"

#include "image_formats.h"

#include <d88image/d88_format.h>

#include <algorithm>
#include <cstdio>

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

std::vector<unsigned char> firstBytes(const std::string& path, std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    FileBytes file;
    bytes.resize(file.open(path) ? file.read(0, bytes.data(), count) : 0);
    return bytes;
}

std::string notD88(const std::string& path, std::uint64_t size)
{
    const std::vector<unsigned char> head = firstBytes(path, d88format::kDiskHeaderSize);
    const std::string kind = rawKindOf(size, head.data(), head.size());
    return kind.empty() ? "not a D88 image"
                        : "not a D88 image; its size is that of " + kind + ": d88convert " + path + " NAME.d88 makes one";
}
