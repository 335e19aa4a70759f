#include "collected_files.h"

#include <algorithm>

bool CollectedFiles::write(const OutputFile& file)
{
    auto same = std::find_if(files_.begin(), files_.end(), [&](const CollectedFile& kept) { return kept.name == file.name; });
    if (same != files_.end()) {
        files_.erase(same);
    }
    files_.push_back({file.name, std::vector<unsigned char>(file.data, file.data + file.size), file.supplied, file.disk, image_});
    return true;
}
