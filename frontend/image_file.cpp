#include "image_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

std::string notAnImageFile(const std::string& path, std::uint64_t& size)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        return error.value() != 0 ? std::strerror(error.value()) : error.message();
    }
    if (std::filesystem::is_directory(status)) {
        return std::strerror(EISDIR);
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "not a regular file";
    }
    size = std::filesystem::file_size(path, error);
    if (error) {
        return error.value() != 0 ? std::strerror(error.value()) : error.message();
    }
    return "";
}
