// Where d88info --map puts each image's map: for one image, into the file
// given (or, when it names a folder or ends in a separator, into that
// folder); for several, into the folder given, made when missing, as
// NAME.svg after each image's file name, made unique as d88cut makes its
// folders' names (game.svg, game-2.svg). Each map is written whole or not
// at all, replacing a file of its name.
#ifndef D88INFO_MAP_OUTPUT_H
#define D88INFO_MAP_OUTPUT_H

#include "image_map.h"
#include "unique_names.h"

#include <string>

class MapOutput {
public:
    MapOutput(std::string target, bool severalImages);
    // Writes the map of image that map holds; false, with the reason on
    // standard error, when it cannot.
    bool write(const std::string& image, const MapWriter& map);

private:
    std::string target_;
    bool folder_;
    bool folderMade_ = false;
    UniqueNames names_;
};

#endif
