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

const char* walkEndName(WalkEnd end)
{
    switch (end) {
    case WalkEnd::Count:
        return "count";
    case WalkEnd::ZeroCount:
        return "zero-count";
    case WalkEnd::EndOfFile:
        return "end-of-file";
    case WalkEnd::Limit:
        return "limit";
    case WalkEnd::Unusable:
    case WalkEnd::Stopped:
        break;
    }
    return nullptr;
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
