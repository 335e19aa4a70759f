// The sector level: walking a track's records, finding sectors of the
// current disk by their recorded ID, reading runs of consecutive sectors
// and listing a track's IDs.
#include <d88image/d88image.h>

#include <algorithm>

using namespace d88format;

namespace {

// 128 << n for any n a caller may pass, without overflow; size codes beyond
// 31 already exceed every byte count an int can ask for. A negative code
// matches no sector, so any non-zero step serves.
long long nominalSectorSize(int n)
{
    if (n < 0) {
        return 1;
    }
    return 128LL << std::min(n, 32);
}

SectorRecord decode(std::uint64_t position, const unsigned char* header)
{
    SectorRecord record{};
    record.position = position;
    record.id = {header[0], header[1], header[2], header[3]};
    record.count = readU16le(header + kSectorCountOffset);
    record.density = header[kDensityOffset];
    record.deleted = header[kDeletedOffset];
    record.status = header[kStatusOffset];
    record.length = readU16le(header + kDataLengthOffset);
    return record;
}

// Finds the first record whose ID is the one sought.
class IdMatcher final : public RecordVisitor {
public:
    IdMatcher(int c, int h, int r, int n) : c_(c), h_(h), r_(r), n_(n) {}
    bool visit(const SectorRecord& record) override
    {
        if (record.id.c == c_ && record.id.h == h_ && record.id.r == r_ && record.id.n == n_) {
            found_ = record;
            return false;
        }
        return true;
    }
    const SectorRecord& found() const { return found_; }

private:
    int c_, h_, r_, n_;
    SectorRecord found_{};
};

// Copies each record's ID while room for one more remains.
class IdLister final : public RecordVisitor {
public:
    IdLister(unsigned char* out, int capacity) : out_(out), capacity_(capacity) {}
    bool visit(const SectorRecord& record) override
    {
        const unsigned char id[4] = {record.id.c, record.id.h, record.id.r, record.id.n};
        std::copy(id, id + 4, out_ + written_);
        written_ += 4;
        return capacity_ - written_ >= 4;
    }
    int written() const { return written_; }

private:
    unsigned char* out_;
    int capacity_;
    int written_ = 0;
};

// Passes every record on and stops after one whose count is 0.
class ZeroCountShown final : public RecordVisitor {
public:
    explicit ZeroCountShown(RecordVisitor& inner) : inner_(inner) {}
    bool visit(const SectorRecord& record) override
    {
        if (!inner_.visit(record)) {
            return false;
        }
        metZeroCount_ = record.count == 0;
        return !metZeroCount_;
    }
    bool metZeroCount() const { return metZeroCount_; }

private:
    RecordVisitor& inner_;
    bool metZeroCount_ = false;
};

}  // namespace

bool D88Image::trackStart(int track, std::uint64_t& position) const
{
    if (!window_.isOpen() || currentDiskOffset_ < 0 || track < 0 || track >= kTrackCount) {
        return false;
    }
    const std::uint32_t offset = trackOffsets_[track];
    if (offset == 0 || offset > currentDiskSize_) {
        return false;
    }
    position = static_cast<std::uint64_t>(currentDiskOffset_) + offset;
    return true;
}

// The one walk over a track's records, for each kind of visitor: a call per
// record that the compiler can inline, as readSector's walks are the
// reader's hot path. Each record's own count is trusted:
// the walk ends after the record whose position equals its count - 1. With
// zeroCountEnds, a count of 0 ends it at that record, before the visitor
// sees it as a candidate for more. The track's start is the window's anchor,
// so the next walk over the same track is served from memory.
template <typename Visitor>
WalkEnd D88Image::walk(int track, bool zeroCountEnds, long long limit, Visitor& visitor)
{
    std::uint64_t start = 0;
    if (!trackStart(track, start)) {
        return WalkEnd::Unusable;
    }
    std::uint64_t position = start;
    for (long long i = 0; i < limit; ++i) {
        const unsigned char* header = window_.peek(position, kRecordHeaderSize, start);
        if (header == nullptr) {
            return WalkEnd::EndOfFile;
        }
        const SectorRecord record = decode(position, header);
        if (zeroCountEnds && record.count == 0) {
            return WalkEnd::ZeroCount;
        }
        if (!visitor.visit(record)) {
            return WalkEnd::Stopped;
        }
        if (i == record.count - 1) {
            return WalkEnd::Count;
        }
        position += kRecordHeaderSize + static_cast<std::uint64_t>(record.length);
    }
    return WalkEnd::Limit;
}

// What readSector's walk visits, the record whose count of 0 ends it
// included, so that a report shows every record the walk read.
WalkEnd D88Image::walkTrack(int track, RecordVisitor& visitor)
{
    ZeroCountShown shown(visitor);
    const WalkEnd end = walk(track, false, kMaxRecordsPerWalk, shown);
    return shown.metZeroCount() ? WalkEnd::ZeroCount : end;
}

int D88Image::readSector(int track, int c, int h, int r, int n, unsigned char* dest, int max)
{
    IdMatcher matcher(c, h, r, n);
    const SectorId sought{static_cast<unsigned char>(c), static_cast<unsigned char>(h), static_cast<unsigned char>(r),
                          static_cast<unsigned char>(n)};
    if (walk(track, true, kMaxRecordsPerWalk, matcher) != WalkEnd::Stopped) {
        if (observer_ != nullptr) {
            observer_->sectorRead(track, sought, nullptr, 0);
        }
        return 0;
    }
    const SectorRecord& found = matcher.found();
    const int wanted = std::min(found.length, std::max(max, 0));
    std::uint64_t start = 0;
    trackStart(track, start);
    // A sector cut short by the end of the file yields what is there.
    const int copied = static_cast<int>(
        window_.read(found.position + kRecordHeaderSize, dest, static_cast<std::size_t>(wanted), start));
    if (observer_ != nullptr) {
        observer_->sectorRead(track, sought, &found, copied);
    }
    return copied;
}

int D88Image::readRecordData(int track, const SectorRecord& record, unsigned char* dest, int max)
{
    std::uint64_t start = 0;
    if (!trackStart(track, start) || record.position < start) {
        return 0;
    }
    const int wanted = std::min(record.length, std::max(max, 0));
    return static_cast<int>(
        window_.read(record.position + kRecordHeaderSize, dest, static_cast<std::size_t>(wanted), start));
}

int D88Image::readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total)
{
    int copied = 0;
    return readRun(track, c, h, r, n, dest, total, copied);
}

int D88Image::readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total, int& copied)
{
    const long long nominal = nominalSectorSize(n);
    int sum = 0;
    copied = 0;
    while (sum < total) {
        const int step = static_cast<int>(std::min<long long>(nominal, total - sum));
        const int got = readSector(track, c, h, r, n, dest + sum, step);
        copied = sum + got;
        if (got < step) {
            return sum;  // a short step's partial data stands in dest, uncounted
        }
        sum += step;
        if (r == lastSector_) {
            // The track index follows the wrap independently of c and h.
            ++track;
            if (h == 0) {
                h = 1;
            } else {
                h = 0;
                ++c;
            }
            r = firstSector_;
        } else {
            ++r;
        }
    }
    return sum;
}

void D88Image::setSectorRange(int first, int last)
{
    firstSector_ = first;
    lastSector_ = last;
}

int D88Image::listSectorIds(int track, unsigned char* out, int capacity)
{
    if (capacity < 4) {
        return 0;
    }
    // Unlike readSector there is no test for a count of 0 and no record
    // limit: such a track is listed until the capacity is used up (or the
    // file ends), which bounds the walk.
    IdLister lister(out, capacity);
    walk(track, false, capacity / 4, lister);
    return lister.written();
}
