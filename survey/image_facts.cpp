#include "image_facts.h"

const char* mediaName(int media)
{
    switch (media) {
    case 0x00:
        return "2D";
    case 0x10:
        return "2DD";
    case 0x20:
        return "2HD";
    case 0x30:
        return "1D";
    case 0x40:
        return "1DD";
    default:
        return nullptr;
    }
}

const char* statusMeaning(int status)
{
    switch (status) {
    case 0x00:
        return "ok";
    case 0x10:
        return "deleted data";
    case 0xA0:
        return "ID CRC error";
    case 0xB0:
        return "data CRC error";
    case 0xE0:
        return "no address mark";
    case 0xF0:
        return "no data mark";
    default:
        return "unknown";
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

const char* statusWord(const ImageSummary& summary)
{
    return summary.notAnImage.empty() ? statusName(summary.status) : "not-an-image";
}
