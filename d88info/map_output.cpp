#include "map_output.h"

#include "whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

MapOutput::MapOutput(std::string target, bool severalImages) : target_(std::move(target))
{
    std::error_code error;
    const char last = target_.empty() ? '\0' : target_.back();
    folder_ = severalImages || std::filesystem::is_directory(target_, error) || last == '/' || last == '\\';
}

bool MapOutput::write(const std::string& image, const std::string& svg)
{
    std::string folder, name;
    int error = 0;
    if (folder_) {
        std::error_code made;
        if (!folderMade_ && !std::filesystem::create_directories(target_, made) && made) {
            error = made.value();
        }
        folderMade_ = true;
        folder = target_;
        name = names_.give(stemOf(image)) + ".svg";
    } else {
        const std::filesystem::path path(target_);
        folder = path.parent_path().string();
        name = path.filename().string();
    }
    if (error == 0) {
        error = writeFileWhole(folder.c_str(), name.c_str(), reinterpret_cast<const unsigned char*>(svg.data()),
                               svg.size(), true);
    }
    if (error != 0) {
        const std::string shown = folder.empty() ? name : folder + separatorAfter(folder.c_str()) + name;
        std::fprintf(stderr, "d88info: %s: cannot write the map: %s\n", shown.c_str(), std::strerror(error));
        return false;
    }
    return true;
}
