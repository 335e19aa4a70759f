#include "image_facts.h"

const char* kindName(DiskKind kind)
{
    switch (kind) {
    case DiskKind::Program:
        return "Program Disk";
    case DiskKind::Scenario:
        return "Scenario Disk";
    case DiskKind::Event:
        return "Event Disk";
    case DiskKind::None:
        break;
    }
    return "none";
}

const char* mediaName(int media)
{
    switch (media) {
    case 0x00:
        return "2D";
    case 0x10:
        return "2DD";
    case 0x20:
        return "2HD";
    default:
        return nullptr;
    }
}

WalkEndWords walkEndWords(WalkEnd end)
{
    switch (end) {
    case WalkEnd::Count:
        return {"count", "ended by the sector count"};
    case WalkEnd::ZeroCount:
        return {"zero-count", "ended by a sector count of 0"};
    case WalkEnd::EndOfFile:
        return {"end-of-file", "ended at the end of the file"};
    case WalkEnd::Limit:
        return {"limit", "stopped at the limit of 65536 records"};
    case WalkEnd::Unusable:
    case WalkEnd::Stopped:
        break;
    }
    return {nullptr, "not walked"};
}

const char* statusName(ImageStatus status)
{
    switch (status) {
    case ImageStatus::Ok:
        return "ok";
    case ImageStatus::Damaged:
        return "damaged";
    case ImageStatus::Unreadable:
        break;
    }
    return "unreadable";
}
