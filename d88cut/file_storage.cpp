#include "file_storage.h"
#include "last_error.h"

#include "whole_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {
std::string pathInFolder(const std::string& folder, const std::string& name)
{
    return folder + separatorAfter(folder.c_str()) + name;
}
}  // namespace

int FileStorage::makeFolder(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        return error.value() != 0 ? error.value() : EIO;
    }
    if (!std::filesystem::is_directory(path, error)) {
        return ENOTDIR;
    }
    return 0;
}

Storage::Presence FileStorage::holds(const std::string& folder, const std::string& name, int& error)
{
    std::error_code status;
    const std::filesystem::file_type type = std::filesystem::symlink_status(pathInFolder(folder, name), status).type();
    if (type == std::filesystem::file_type::not_found) {
        return Presence::Absent;
    }
    if (status) {
        error = status.value() != 0 ? status.value() : EIO;
        return Presence::Unknown;
    }
    return Presence::Present;
}

int FileStorage::remove(const std::string& folder, const std::string& name)
{
    return std::remove(pathInFolder(folder, name).c_str()) == 0 ? 0 : lastError();
}

int FileStorage::writeWhole(const std::string& folder, const std::string& name, const unsigned char* data,
                            std::size_t size, bool replace)
{
    return writeFileWhole(folder.c_str(), name.c_str(), data, size, replace);
}
