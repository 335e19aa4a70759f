#include "unique_names.h"

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

}  // namespace

std::string UniqueNames::give(std::string stem, const std::function<bool(const std::string&)>& taken)
{
    if (stem.empty() || stem == "." || stem == "..") {
        stem = "image";
    }
    std::string name = stem;
    for (int n = 2; given_.count(key(name)) > 0 || (taken && taken(name)); ++n) {
        name = stem + "-" + std::to_string(n);
    }
    given_.insert(key(name));
    return name;
}

std::string stemOf(const std::string& path)
{
    return std::filesystem::path(path).stem().string();
}
