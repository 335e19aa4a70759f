// Whether a path names an image the reporting programs can read: a regular
// file (or a link to one). Anything else is refused before it is opened, so
// that a FIFO cannot hold a run up and a pipe cannot pass for an image. The
// check is the one tablecut and scancut make (image_path.h), put in words.
#ifndef SURVEY_IMAGE_FILE_H
#define SURVEY_IMAGE_FILE_H

#include <cstdint>
#include <string>

// Empty when path is a regular file, whose size is then given; otherwise
// why it is not one.
std::string notAnImageFile(const std::string& path, std::uint64_t& size);

#endif
