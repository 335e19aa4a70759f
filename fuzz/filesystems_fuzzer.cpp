// Every file-system reader over an arbitrary image, from memory: each disk
// listed, each listed file read back and handed to a sink. Beyond crashes,
// it checks what a sanitizer cannot see: a file's bytes are exactly its
// size, the disk supplies what its pieces say and zeros stand for the rest,
// reading twice gives the same, and every path is one a host can write
// (no control byte, no backslash, no empty, "." or ".." part).
#include "file_systems.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void fail(const char* what, const std::string& path)
{
    std::fprintf(stderr, "file systems: %s: %s\n", what, path.c_str());
    __builtin_trap();
}

bool safePath(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    for (const char c : path) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '\\') {
            return false;
        }
    }
    return true;
}

// Checks each file handed over against the listing's own account.
class CheckingSink final : public OutputSink {
public:
    bool write(const OutputFile& file) override
    {
        if (file.supplied > file.size || file.firstBlock != -1) {
            fail("a sink's file says more than it holds", file.name);
        }
        unsigned sum = 0;
        for (std::size_t i = 0; i < file.size; ++i) {
            sum += file.data[i];
        }
        checksum += sum;
        return true;
    }
    unsigned checksum = 0;
};

void checkFile(D88Image& image, int disk, const FileEntry& file)
{
    if (!safePath(file.path)) {
        fail("a path a host cannot write", file.path);
    }
    std::vector<unsigned char> bytes;
    const std::size_t supplied = readFile(image, disk, file, bytes);
    if (bytes.size() != file.size) {
        fail("bytes other than the file's size", file.path);
    }
    std::size_t at = 0;
    std::size_t said = 0;
    for (const FilePiece& piece : file.pieces) {
        if (piece.supplied < 0 || piece.supplied > piece.bytes) {
            fail("a piece supplies more than it holds", file.path);
        }
        for (int i = piece.supplied; i < piece.bytes; ++i) {
            if (bytes[at + static_cast<std::size_t>(i)] != 0) {
                fail("a lacking byte that is not zero", file.path);
            }
        }
        at += static_cast<std::size_t>(piece.bytes);
        said += static_cast<std::size_t>(piece.supplied);
    }
    if (supplied != said) {
        fail("a second read supplies other bytes than the listing judged", file.path);
    }
    const bool none = said == 0 && file.size > 0;
    if ((file.state == FileState::Complete && said != file.size) || (file.state == FileState::Missing && !none)) {
        fail("a state the bytes do not bear out", file.path);
    }
    CheckingSink sink;
    writeFile(image, disk, file, sink);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    D88Image image;
    if (!image.openMemory(data, size)) {
        return 0;
    }
    for (int disk = 0; disk < image.diskCount(); ++disk) {
        const FileListing listing = listFiles(image, disk);
        if (listing.found == listing.kind.empty()) {
            fail("a listing whose kind disagrees with what it found", listing.reason);
        }
        for (const FileEntry& file : listing.files) {
            checkFile(image, disk, file);
        }
    }
    return 0;
}
