#include "folder_names.h"

#include <filesystem>

namespace {

bool takenByOther(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(std::filesystem::status(path, error));
}

}  // namespace

std::string FolderNames::folderFor(const std::string& image)
{
    return folderNamed(stemOf(image));
}

std::string FolderNames::folderNamed(std::string stem)
{
    const auto inDirectory = [&](const std::string& name) {
        return directory_.empty() ? name : (std::filesystem::path(directory_) / name).string();
    };
    const auto taken = [&](const std::string& name) { return lookInDirectory_ && takenByOther(inDirectory(name)); };
    return inDirectory(names_.give(std::move(stem), taken));
}
