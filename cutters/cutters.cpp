// The ways of taking files. A new way is a file that defines its Cutter and
// a row here.
#include "cutter.h"

extern const Cutter kTableCutter;
extern const Cutter kFilesCutter;
extern const Cutter kScanCutter;

namespace {

const Cutter* const kCutters[] = {
    &kTableCutter,
    &kFilesCutter,
    &kScanCutter,
};

}  // namespace

std::size_t cutterCount()
{
    return sizeof kCutters / sizeof kCutters[0];
}

const Cutter& cutterAt(std::size_t index)
{
    return *kCutters[index];
}

const char* cutterKeyAt(std::size_t index)
{
    return index < cutterCount() ? kCutters[index]->key : nullptr;
}

std::size_t cutterIndex(const Cutter& cutter)
{
    std::size_t index = 0;
    while (index + 1 < cutterCount() && kCutters[index] != &cutter) {
        ++index;
    }
    return index;
}

const Cutter* findCutter(const std::string& key)
{
    for (const Cutter* cutter : kCutters) {
        if (key == cutter->key) {
            return cutter;
        }
    }
    return nullptr;
}

const Cutter& chosenCutter(const std::vector<const ImageSummary*>& summaries)
{
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        for (const ImageSummary* summary : summaries) {
            if (way < summary->cuts.size() && summary->cuts[way].recognised) {
                return cutterAt(way);
            }
        }
    }
    return cutterAt(cutterCount() - 1);
}

bool told(std::size_t way, const ImageSummary& summary)
{
    const bool recognised = way < summary.cuts.size() && summary.cuts[way].recognised;
    return way < cutterCount() && (!cutterAt(way).quietWhenNone || recognised);
}

std::string cutterNames()
{
    std::string names;
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        names += (way == 0 ? "" : way + 1 == cutterCount() ? " and " : ", ") + std::string(cutterAt(way).name);
    }
    return names;
}
