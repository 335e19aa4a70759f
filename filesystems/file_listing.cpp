#include "file_listing.h"

const char* stateName(FileState state)
{
    switch (state) {
    case FileState::Complete:
        return "complete";
    case FileState::Incomplete:
        return "incomplete";
    case FileState::Missing:
        return "missing";
    case FileState::Deleted:
        return "deleted";
    case FileState::Folder:
        return "folder";
    }
    return "";
}

const char* areaName(AreaKind kind)
{
    switch (kind) {
    case AreaKind::System:
        return "system";
    case AreaKind::Directory:
        return "directory";
    case AreaKind::AllocationTable:
        return "allocation-table";
    }
    return "";
}

bool damaged(const FileEntry& file)
{
    if (!file.damage.empty()) {
        return true;
    }
    for (const FilePiece& piece : file.pieces) {
        if (piece.fault != SectorFault::None) {
            return true;
        }
    }
    return false;
}

void settle(FileEntry& file)
{
    std::uint64_t size = 0;
    std::uint64_t supplied = 0;
    for (const FilePiece& piece : file.pieces) {
        size += static_cast<std::uint64_t>(piece.bytes);
        supplied += static_cast<std::uint64_t>(piece.supplied);
    }
    file.size = size;
    if (file.state == FileState::Deleted || file.state == FileState::Folder) {
        return;
    }
    if (supplied == size) {
        file.state = FileState::Complete;
    } else {
        file.state = supplied == 0 ? FileState::Missing : FileState::Incomplete;
    }
}
