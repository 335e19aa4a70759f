#include "sector_source.h"

namespace {

// Finds the record readSector would take for an ID, to tell its marks:
// the walk for a sector ends at a record whose count is 0, before it.
class RecordFinder final : public RecordVisitor {
public:
    explicit RecordFinder(SectorId id) : id_(id) {}
    bool visit(const SectorRecord& record) override
    {
        if (record.count == 0) {
            return false;
        }
        if (record.id.c == id_.c && record.id.h == id_.h && record.id.r == id_.r && record.id.n == id_.n) {
            found_ = true;
            record_ = record;
            return false;
        }
        return true;
    }
    bool found() const { return found_; }
    const SectorRecord& record() const { return record_; }

private:
    SectorId id_;
    bool found_ = false;
    SectorRecord record_{};
};

// The survey's rules: a status of 0x10 says the controller met the
// deleted-data mark and read the sector well.
bool readBadly(const SectorRecord& record) { return record.status != 0 && record.status != 0x10; }
bool deletedData(const SectorRecord& record) { return record.deleted != 0 || record.status == 0x10; }

}  // namespace

const char* faultName(SectorFault fault)
{
    switch (fault) {
    case SectorFault::None:
        return "";
    case SectorFault::Missing:
        return "missing";
    case SectorFault::Short:
        return "short";
    case SectorFault::BadStatus:
        return "bad-status";
    case SectorFault::Deleted:
        return "deleted";
    }
    return "";
}

SectorRead ImageSectors::read(const SectorPlace& place, unsigned char* dest, int max)
{
    RecordFinder finder(place.id);
    image_.walkTrack(place.track, finder);
    if (!finder.found()) {
        return {0, SectorFault::Missing};
    }
    const SectorRecord& record = finder.record();
    const int copied = image_.readSector(place.track, place.id.c, place.id.h, place.id.r, place.id.n, dest, max);
    const int nominal = place.id.n < 8 ? 128 << place.id.n : 1 << 15;
    if (copied == 0 && record.length > 0) {
        return {0, SectorFault::Missing};
    }
    if (copied < nominal && copied < max) {
        return {copied, SectorFault::Short};
    }
    if (readBadly(record)) {
        return {copied, SectorFault::BadStatus};
    }
    return {copied, deletedData(record) ? SectorFault::Deleted : SectorFault::None};
}

SectorPlace LogicalLayout::place(long k) const
{
    const long side = k / sectorsPerTrack;
    const int cylinder = static_cast<int>(heads == 1 ? side : side / 2);
    const int head = heads == 1 ? 0 : static_cast<int>(side % 2);
    const int track = cylinder * 2 + head;
    const SectorId id{static_cast<unsigned char>(cylinder), static_cast<unsigned char>(head),
                      static_cast<unsigned char>(k % sectorsPerTrack + 1), static_cast<unsigned char>(sizeCode)};
    return {track, id};
}
