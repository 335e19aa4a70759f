#include "cutters.h"

#include <d88image/d88.h>

#include <cstring>

namespace {

const CutterEntry kCutters[] = {
    {"table", ExtractionSettings::Mode::Table},
    {"scan", ExtractionSettings::Mode::Scan},
};

}  // namespace

std::size_t cutterCount()
{
    return sizeof kCutters / sizeof kCutters[0];
}

const CutterEntry& cutterAt(std::size_t index)
{
    return kCutters[index];
}

bool modeOfKey(const char* key, ExtractionSettings::Mode& mode)
{
    if (key == nullptr) {
        return false;
    }
    if (std::strcmp(key, "auto") == 0) {
        mode = ExtractionSettings::Mode::Chosen;
        return true;
    }
    for (const CutterEntry& cutter : kCutters) {
        if (std::strcmp(key, cutter.key) == 0) {
            mode = cutter.mode;
            return true;
        }
    }
    return false;
}

extern "C" {

int d88_cutter_count(void)
{
    return static_cast<int>(cutterCount());
}

const char* d88_cutter_key(int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < cutterCount() ? cutterAt(static_cast<std::size_t>(index)).key
                                                                         : nullptr;
}

}  // extern "C"
