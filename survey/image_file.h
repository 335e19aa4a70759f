// Whether a path names an image the reporting programs can read: a regular
// file (or a link to one). Anything else is refused before it is opened, so
// that a FIFO cannot hold a run up and a pipe cannot pass for an image. The
// check is the one tablecut and scancut make (image_path.h), put in words.
// And what the report and the extraction read: such a file, or bytes in
// memory.
#ifndef SURVEY_IMAGE_FILE_H
#define SURVEY_IMAGE_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

class D88Image;

// Empty when path is a regular file, whose size is then given; otherwise
// why it is not one.
std::string notAnImageFile(const std::string& path, std::uint64_t& size);

// An image to read: a file by its path, or a caller's bytes under a name
// that reports give as they give a path. The bytes are not copied: they
// stay the caller's, valid while the image is read.
struct ImageInput {
    // Implicit: where an input is asked for, a path is one.
    ImageInput(std::string path) : path(std::move(path)) {}
    ImageInput(std::string name, const unsigned char* data, std::size_t size)
        : path(std::move(name)), data(data), size(size), inMemory(true)
    {
    }

    // Empty when the input can be opened as an image, its size then given:
    // a regular file, or bytes; otherwise why not.
    std::string notAnImage(std::uint64_t& size) const;
    // Its first bytes, at most count of them, into dest; how many.
    std::size_t readStart(unsigned char* dest, std::size_t count) const;
    // Opens it in reader, as D88Image::open or openMemory.
    bool openIn(D88Image& reader) const;

    std::string path;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool inMemory = false;
};

#endif
