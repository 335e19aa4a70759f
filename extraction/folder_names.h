// The folder each image's files go to: the image's file name without its
// extension, inside the chosen directory; a name already given in this run,
// or taken there by something that is not a folder (the image itself, when
// it has no extension), gets -2, -3, ... (game.d88 -> DIR/game, a second
// game.d88 -> DIR/game-2).
#ifndef EXTRACTION_FOLDER_NAMES_H
#define EXTRACTION_FOLDER_NAMES_H

#include "unique_names.h"

#include <string>

class FolderNames {
public:
    // With lookInDirectory false, names are unique within the run only and
    // what the directory holds is not asked: for folders kept in memory.
    explicit FolderNames(std::string directory, bool lookInDirectory = true)
        : directory_(std::move(directory)), lookInDirectory_(lookInDirectory)
    {
    }
    std::string folderFor(const std::string& image);
    // The folder of that name, made unique in the same way.
    std::string folderNamed(std::string name);

private:
    std::string directory_;
    bool lookInDirectory_;
    UniqueNames names_;
};

#endif
