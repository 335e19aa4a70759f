#include "set_files.h"

#include "image_file.h"
#include "image_formats.h"
#include "image_path.h"
#include "whole_file.h"

#include <d88image/d88image.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// Opens a D88 input and lays out its disks; false, said, when it is none.
bool openSet(Run& run, const std::string& path, D88Image& reader, SetLayout& layout)
{
    std::uint64_t size = 0;
    const std::string why = notAnImageFile(path, size);
    if (!why.empty()) {
        fail(run, 1, path, why);
        return false;
    }
    if (!reader.open(path.c_str())) {
        fail(run, 1, path, std::string("cannot be read: ") + std::strerror(reader.readError() != 0 ? reader.readError() : EIO));
        return false;
    }
    const std::vector<unsigned char> head = firstBytes(path, d88format::kDiskHeaderSize);
    if (reader.diskCount() == 0 || !plausibleD88Header(size, head.data(), head.size())) {
        fail(run, 1, path, notD88(path, size));
        return false;
    }
    layout = setLayout(reader, size);
    return true;
}

void noteLayout(Run& run, const std::string& path, const SetLayout& layout)
{
    for (std::size_t i = 0; i < layout.disks.size(); ++i) {
        if (layout.disks[i].cutShort) {
            note(run, path, "disk " + std::to_string(i) + " is cut short by the end of the file; written as it is");
        }
    }
    if (layout.zeroSize) {
        note(run, path, "disk " + std::to_string(layout.disks.size() - 1) +
                            " has a disk size of 0; written to the end of the file, as the last disk");
    }
    if (layout.trailing != 0) {
        note(run, path, std::to_string(layout.trailing) + " bytes after the last disk are not part of any disk; left out");
    }
}

// The stem of a path's file name: "set" of "dir/set.d88".
std::string stemOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int copyDisks(Run& run, const std::string& path, const SetLayout& layout, std::size_t first, std::size_t end,
              const std::string& output, bool force)
{
    FileBytes source;
    if (!source.open(path)) {
        return fail(run, 1, path, "cannot be read again");
    }
    return writeOutput(run, output, force, [&](ByteSink& sink) {
        for (std::size_t i = first; i < end; ++i) {
            if (!copyBytes(source, layout.disks[i].offset, layout.disks[i].size, sink)) {
                fail(run, 1, path, "reading it failed part way");
                return false;
            }
        }
        return true;
    });
}

}  // namespace

int splitImage(const Options& options, Run& run)
{
    const std::string& input = options.files[0];
    const std::string& folder = options.files[1];
    run.mode = "split";
    auto reader = std::make_unique<D88Image>();
    SetLayout layout;
    if (!openSet(run, input, *reader, layout)) {
        return run.status;
    }
    // The folder is made when nothing stands under its name, as d88cut
    // makes its folders; anything else there is left as it is.
    std::error_code made;
    if (!pathTaken(folder) && !std::filesystem::create_directories(folder, made) && made) {
        return fail(run, 2, folder, "cannot be made: " + made.message());
    }
    if (imagePathStatus(folder.c_str()).kind != PathKind::Directory) {
        return fail(run, 2, folder, "is not a folder");
    }
    const std::string stem = stemOf(input);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < layout.disks.size(); ++i) {
        names.push_back(folder + separatorAfter(folder.c_str()) + stem + "-" + std::to_string(i) + ".d88");
        if (!options.force && pathTaken(names.back())) {
            return fail(run, 2, names.back(), "already exists; --force replaces it (nothing was written)");
        }
    }
    noteLayout(run, input, layout);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (copyDisks(run, input, layout, i, i + 1, names[i], options.force) != 0 && run.status != 3) {
            return run.status;
        }
    }
    return run.status;
}

int joinImages(const Options& options, Run& run)
{
    run.mode = options.files.size() == 2 ? "copy" : "join";
    const std::string& output = options.files.back();
    std::vector<SetLayout> layouts;
    std::size_t disks = 0;
    for (std::size_t i = 0; i + 1 < options.files.size(); ++i) {
        const std::string& input = options.files[i];
        auto reader = std::make_unique<D88Image>();
        SetLayout layout;
        if (!openSet(run, input, *reader, layout)) {
            return run.status;
        }
        if (!layout.exact()) {
            noteLayout(run, input, layout);
            return fail(run, 1, input, "its disks do not fill it exactly, so the disks after it would not be found "
                                       "where they are once joined; nothing was written");
        }
        disks += layout.disks.size();
        layouts.push_back(layout);
    }
    if (disks > static_cast<std::size_t>(d88format::kMaxDisks)) {
        return fail(run, 1, "", "the images hold " + std::to_string(disks) + " disks; a D88 file is read to 64");
    }
    if (!options.force && pathTaken(output)) {
        return fail(run, 2, output, "already exists; --force replaces it");
    }
    std::vector<std::unique_ptr<FileBytes>> sources;
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        sources.push_back(std::make_unique<FileBytes>());
        if (!sources.back()->open(options.files[i])) {
            return fail(run, 1, options.files[i], "cannot be read again");
        }
    }
    return writeOutput(run, output, options.force, [&](ByteSink& sink) {
        for (std::size_t i = 0; i < layouts.size(); ++i) {
            const DiskRange& last = layouts[i].disks.back();
            if (!copyBytes(*sources[i], 0, last.offset + last.size, sink)) {
                fail(run, 1, options.files[i], "reading it failed part way");
                return false;
            }
        }
        return true;
    });
}

int extractDisk(const Options& options, Run& run)
{
    const std::string& input = options.files[0];
    run.mode = "copy";
    run.disk = options.disk;
    auto reader = std::make_unique<D88Image>();
    SetLayout layout;
    if (!openSet(run, input, *reader, layout)) {
        return run.status;
    }
    const std::size_t disk = static_cast<std::size_t>(options.disk);
    if (disk >= layout.disks.size()) {
        return fail(run, 1, input, "it has no disk " + std::to_string(disk) + " (its disks are 0-" +
                                       std::to_string(layout.disks.size() - 1) + ")");
    }
    if (layout.disks[disk].cutShort) {
        note(run, input, "disk " + std::to_string(disk) + " is cut short by the end of the file; written as it is");
    }
    const int status = copyDisks(run, input, layout, disk, disk + 1, options.files[1], options.force);
    return worse(run.status, status);
}
