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

namespace {

// A map handed on piece by piece into a file written whole or not at all.
class WholeFileOutput final : public ReportOutput {
public:
    explicit WholeFileOutput(WholeFileWriter& file) : file_(file) {}
    bool write(std::string_view text) override
    {
        writeWholeFilePart(file_, reinterpret_cast<const unsigned char*>(text.data()), text.size());
        return file_.error == 0;
    }
    bool flush() override { return file_.error == 0; }
    int error() const override { return file_.error; }

private:
    WholeFileWriter& file_;
};

}  // namespace

bool MapOutput::write(const std::string& image, const MapWriter& map)
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
    WholeFileWriter file;
    if (error == 0 && beginWholeFile(file, folder.c_str(), name.c_str()) == 0) {
        WholeFileOutput output(file);
        map.draw(output);
    }
    if (error == 0) {
        error = endWholeFile(file, folder.c_str(), name.c_str(), true);
    }
    if (error != 0) {
        const std::string shown = folder.empty() ? name : folder + separatorAfter(folder.c_str()) + name;
        std::fprintf(stderr, "d88info: %s: cannot write the map: %s\n", shown.c_str(), std::strerror(error));
        return false;
    }
    return true;
}
