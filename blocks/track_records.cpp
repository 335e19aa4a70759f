#include "track_records.h"

#include <algorithm>

namespace {

class Keeper final : public RecordVisitor {
public:
    explicit Keeper(std::vector<SectorRecord>& records) : records_(records) {}
    bool visit(const SectorRecord& record) override
    {
        records_.push_back(record);
        return true;
    }

private:
    std::vector<SectorRecord>& records_;
};

bool sameIdBytes(const SectorId& a, const SectorId& b)
{
    return a.c == b.c && a.h == b.h && a.r == b.r && a.n == b.n;
}

}  // namespace

void TrackRecords::load(D88Image& reader, int track)
{
    if (track == track_) {
        return;
    }
    records_.clear();
    Keeper keeper(records_);
    end_ = reader.walkTrack(track, keeper);
    // readSector's walk stops before a record whose count of 0 ends it.
    if (end_ == WalkEnd::ZeroCount && !records_.empty()) {
        records_.pop_back();
    }
    group();
    track_ = track;
}

void TrackRecords::group()
{
    int counts[257] = {};
    for (const SectorRecord& record : records_) {
        ++counts[record.id.r + 1];
    }
    first_[0] = 0;
    for (int r = 0; r < 256; ++r) {
        first_[r + 1] = first_[r] + counts[r + 1];
    }
    int next[256];
    std::copy(first_, first_ + 256, next);
    byR_.assign(records_.size(), 0);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        byR_[static_cast<std::size_t>(next[records_[i].id.r]++)] = static_cast<int>(i);
    }
}

int TrackRecords::find(SectorId id) const
{
    for (int g = first_[id.r]; g < first_[id.r + 1]; ++g) {
        const int i = byR_[static_cast<std::size_t>(g)];
        if (sameIdBytes(records_[static_cast<std::size_t>(i)].id, id)) {
            return i;
        }
    }
    return -1;
}

int TrackRecords::findSector(int c, int h, int r, int n) const
{
    if (r < 0 || r > 255) {
        return -1;
    }
    int sameSize = -1;
    int numbered = -1;
    for (int g = first_[r]; g < first_[r + 1]; ++g) {
        const int i = byR_[static_cast<std::size_t>(g)];
        const SectorId& id = records_[static_cast<std::size_t>(i)].id;
        if (id.n == n) {
            if (id.c == c && id.h == h) {
                return i;
            }
            if (sameSize < 0) {
                sameSize = i;
            }
        } else if (numbered < 0) {
            numbered = i;
        }
    }
    return sameSize >= 0 ? sameSize : numbered;
}

int TrackRecords::sameId(int index) const
{
    const SectorId& id = records_[static_cast<std::size_t>(index)].id;
    int count = 0;
    for (int g = first_[id.r]; g < first_[id.r + 1]; ++g) {
        count += sameIdBytes(records_[static_cast<std::size_t>(byR_[static_cast<std::size_t>(g)])].id, id) ? 1 : 0;
    }
    return count;
}
