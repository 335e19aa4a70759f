#include "folder_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string key(std::string name)
{
#ifdef _WIN32
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
#endif
    return name;
}

bool takenByOther(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(std::filesystem::status(path, error));
}

}  // namespace

std::string FolderNames::folderFor(const std::string& image)
{
    return folderNamed(std::filesystem::path(image).stem().string());
}

std::string FolderNames::folderNamed(std::string stem)
{
    // A name that would lead into the directory itself or above it.
    if (stem.empty() || stem == "." || stem == "..") {
        stem = "image";
    }
    const auto inDirectory = [&](const std::string& name) {
        return directory_.empty() ? name : (std::filesystem::path(directory_) / name).string();
    };
    std::string name = stem;
    for (int n = 2; given_.count(key(name)) > 0 || (lookInDirectory_ && takenByOther(inDirectory(name))); ++n) {
        name = stem + "-" + std::to_string(n);
    }
    given_.insert(key(name));
    return inDirectory(name);
}
