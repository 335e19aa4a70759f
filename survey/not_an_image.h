// The one judgement of "not a D88 image" that d88info, d88cut and the front
// ends share: a file too short for a disk header, a first header of zero
// bytes, disks whose tracks all lie outside the file (text, random bytes, a
// header with nothing after it), or a file of a known raw image's size
// whose first bytes cannot begin a D88 image. A disk whose table names no
// track at all is a blank disk, not a foreign file.
#ifndef SURVEY_NOT_AN_IMAGE_H
#define SURVEY_NOT_AN_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <string>

// What the survey saw of an image that bears on the judgement.
struct ImageEvidence {
    std::string path;                      // as given: named in the advice to convert a raw image
    std::uint64_t size = 0;                // the file's
    const unsigned char* first = nullptr;  // its first bytes
    std::size_t firstCount = 0;
    int diskCount = 0;
    bool firstHeaderZero = false;  // the survey's no-disks
    bool anyTrack = false;         // some disk's track table names a track
    bool anyTrackInFile = false;   // a usable track of some disk starts before the file's end
};

// Why the file is no D88 image, in a sentence that starts "not a D88
// image"; empty when it may be one.
std::string notAnImage(const ImageEvidence& evidence);

#endif
