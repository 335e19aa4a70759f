#include "cutters.h"

#include <d88image/d88.h>

#include <cstring>

bool cutterOfKey(const char* key, const Cutter*& cutter)
{
    if (key == nullptr) {
        return false;
    }
    if (std::strcmp(key, "auto") == 0) {
        cutter = nullptr;
        return true;
    }
    const Cutter* found = findCutter(key);
    if (found == nullptr) {
        return false;
    }
    cutter = found;
    return true;
}

extern "C" {

int d88_cutter_count(void)
{
    return static_cast<int>(cutterCount());
}

const char* d88_cutter_key(int index)
{
    return index >= 0 ? cutterKeyAt(static_cast<std::size_t>(index)) : nullptr;
}

}  // extern "C"
