#include "folder_names.h"

#include <filesystem>

std::string FolderNames::folderFor(const std::string& image)
{
    std::string stem = std::filesystem::path(image).stem().string();
    // A name that would lead into the directory itself or above it.
    if (stem.empty() || stem == "." || stem == "..") {
        stem = "image";
    }
    std::string name = stem;
    for (int n = 2; !given_.insert(name).second; ++n) {
        name = stem + "-" + std::to_string(n);
    }
    return directory_.empty() ? name : (std::filesystem::path(directory_) / name).string();
}
