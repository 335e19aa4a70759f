// The reader's operations on the selected disk, passed through to D88Image
// with their results unchanged; a handle adds only the check that a disk is
// selected and the report of a read that failed.
#include "image_handle.h"

#include "image_facts.h"

#include <climits>
#include <cstring>

namespace {

static_assert(sizeof(d88_sector_id) == 4, "an ID is the 4 bytes listSectorIds writes");

// D88_ERR_NO_DISK when no disk is selected; otherwise D88_OK, the image's
// details cleared.
d88_status needDisk(d88_image* image)
{
    if (image->selected < 0) {
        return fail(image, D88_ERR_NO_DISK, "no disk is selected");
    }
    return succeed(image);
}

// After an operation: D88_ERR_READ once a read of the image has failed, as
// its results then fall short of what the image holds.
d88_status afterReading(d88_image* image)
{
    if (image->reader.readFailed()) {
        return failOfImage(image, D88_ERR_READ,
                           std::string("a read failed: ") + std::strerror(image->reader.readError()));
    }
    return succeed(image);
}

int clampToInt(std::size_t size)
{
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

}  // namespace

// A record as a visitor is handed it: the reader's own, for the call.
struct d88_record {
    const SectorRecord& record;
};

namespace {

class VisitorAdapter final : public RecordVisitor {
public:
    VisitorAdapter(d88_record_visitor visitor, void* context) : visitor_(visitor), context_(context) {}
    bool visit(const SectorRecord& record) override
    {
        const d88_record handed{record};
        return visitor_(&handed, context_) != 0;
    }

private:
    d88_record_visitor visitor_;
    void* context_;
};

d88_walk_end walkEnd(WalkEnd end)
{
    switch (end) {
    case WalkEnd::Unusable:
        break;
    case WalkEnd::Count:
        return D88_WALK_COUNT;
    case WalkEnd::ZeroCount:
        return D88_WALK_ZERO_COUNT;
    case WalkEnd::EndOfFile:
        return D88_WALK_END_OF_FILE;
    case WalkEnd::Limit:
        return D88_WALK_LIMIT;
    case WalkEnd::Stopped:
        return D88_WALK_STOPPED;
    }
    return D88_WALK_UNUSABLE;
}

}  // namespace

extern "C" {

d88_status d88_select_disk(d88_image* image, int index)
{
    if (image == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    image->selected = -1;
    if (index < 0 || index >= d88_disk_count(image) || !image->reader.selectDisk(index)) {
        image->reader.selectDisk(-1);
        const d88_status status = afterReading(image);
        return status != D88_OK ? status
                                : fail(image, D88_ERR_NO_DISK,
                                       "no disk " + std::to_string(index) + ": the image holds " +
                                           std::to_string(image->disks.size()));
    }
    image->selected = index;
    return afterReading(image);
}

int d88_selected_disk(const d88_image* image)
{
    return image != nullptr ? image->selected : -1;
}

d88_status d88_read_sector(d88_image* image, int track, d88_sector_id id, void* dest, size_t capacity, size_t* copied)
{
    if (image == nullptr || copied == nullptr || (dest == nullptr && capacity != 0)) {
        return D88_ERR_ARGUMENT;
    }
    *copied = 0;
    if (const d88_status status = needDisk(image)) {
        return status;
    }
    *copied = static_cast<std::size_t>(image->reader.readSector(track, id.c, id.h, id.r, id.n,
                                                                static_cast<unsigned char*>(dest), clampToInt(capacity)));
    return afterReading(image);
}

d88_status d88_read_run(d88_image* image, int track, d88_sector_id id, void* dest, size_t total, size_t* whole,
                        size_t* copied)
{
    if (image == nullptr || whole == nullptr || (dest == nullptr && total != 0)) {
        return D88_ERR_ARGUMENT;
    }
    *whole = 0;
    if (copied != nullptr) {
        *copied = 0;
    }
    if (const d88_status status = needDisk(image)) {
        return status;
    }
    int reached = 0;
    *whole = static_cast<std::size_t>(image->reader.readRun(track, id.c, id.h, id.r, id.n,
                                                            static_cast<unsigned char*>(dest), clampToInt(total), reached));
    if (copied != nullptr) {
        *copied = static_cast<std::size_t>(reached);
    }
    return afterReading(image);
}

d88_status d88_set_sector_range(d88_image* image, int first, int last)
{
    if (image == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    image->reader.setSectorRange(first, last);
    return succeed(image);
}

d88_status d88_list_sector_ids(d88_image* image, int track, d88_sector_id* ids, size_t capacity, size_t* count)
{
    if (image == nullptr || count == nullptr || (ids == nullptr && capacity != 0)) {
        return D88_ERR_ARGUMENT;
    }
    *count = 0;
    if (const d88_status status = needDisk(image)) {
        return status;
    }
    const std::size_t most = INT_MAX / 4;
    const int bytes = static_cast<int>((capacity < most ? capacity : most) * 4);
    *count = static_cast<std::size_t>(
                 image->reader.listSectorIds(track, reinterpret_cast<unsigned char*>(ids), bytes)) / 4;
    return afterReading(image);
}

d88_status d88_walk_track(d88_image* image, int track, d88_record_visitor visitor, void* context, d88_walk_end* end)
{
    if (image == nullptr || visitor == nullptr || end == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    *end = D88_WALK_UNUSABLE;
    if (const d88_status status = needDisk(image)) {
        return status;
    }
    VisitorAdapter adapter(visitor, context);
    *end = walkEnd(image->reader.walkTrack(track, adapter));
    return afterReading(image);
}

uint64_t d88_record_position(const d88_record* record)
{
    return record != nullptr ? record->record.position : 0;
}

void d88_record_id(const d88_record* record, d88_sector_id* id)
{
    if (id != nullptr) {
        *id = record != nullptr ? d88_sector_id{record->record.id.c, record->record.id.h, record->record.id.r,
                                                record->record.id.n}
                                : d88_sector_id{0, 0, 0, 0};
    }
}

int d88_record_count(const d88_record* record)
{
    return record != nullptr ? record->record.count : 0;
}

int d88_record_density(const d88_record* record)
{
    return record != nullptr ? record->record.density : 0;
}

int d88_record_deleted(const d88_record* record)
{
    return record != nullptr ? record->record.deleted : 0;
}

int d88_record_status(const d88_record* record)
{
    return record != nullptr ? record->record.status : 0;
}

int d88_record_length(const d88_record* record)
{
    return record != nullptr ? record->record.length : 0;
}

const char* d88_record_status_text(int status)
{
    return statusMeaning(status);
}

}  // extern "C"
