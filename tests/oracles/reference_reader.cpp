#include "reference_reader.h"

#include <algorithm>
#include <cstring>

namespace d88ref {

namespace {
constexpr std::uint64_t kHeader = 688;
constexpr std::uint64_t kRecordHeader = 16;
constexpr int kTracks = 164;
constexpr int kWalkLimit = 65536;
}  // namespace

ReferenceReader::ReferenceReader(const unsigned char* data, std::size_t size) : data_(data), size_(size)
{
    std::uint64_t position = 0;
    while (disks_.size() < 64 && has(position, kHeader)) {
        disks_.push_back(position);
        position += u32(position + 0x1C);
    }
}

bool ReferenceReader::has(std::uint64_t position, std::uint64_t count) const
{
    return position <= size_ && count <= size_ - position;
}

unsigned ReferenceReader::u16(std::uint64_t position) const
{
    return byteAt(position) + 256u * byteAt(position + 1);
}

std::uint32_t ReferenceReader::u32(std::uint64_t position) const
{
    return u16(position) + 65536u * u16(position + 2);
}

std::uint64_t ReferenceReader::diskOffset(int index) const
{
    return index >= 0 && index < diskCount() ? disks_[static_cast<std::size_t>(index)] : 0;
}

bool ReferenceReader::selectDisk(int index)
{
    current_ = -1;
    diskSize_ = 0;
    media_ = -1;
    protect_ = -1;
    name_.clear();
    tracks_.assign(kTracks, 0);
    if (index < 0 || index >= diskCount()) {
        return false;
    }
    const std::uint64_t at = disks_[static_cast<std::size_t>(index)];
    current_ = static_cast<long long>(at);
    diskSize_ = u32(at + 0x1C);
    media_ = static_cast<int>(byteAt(at + 0x1B));
    protect_ = static_cast<int>(byteAt(at + 0x1A));
    for (int i = 0; i < 16 && byteAt(at + static_cast<std::uint64_t>(i)) != 0; ++i) {
        name_ += static_cast<char>(byteAt(at + static_cast<std::uint64_t>(i)));
    }
    for (int t = 0; t < kTracks; ++t) {
        tracks_[static_cast<std::size_t>(t)] = u32(at + 0x20 + 4 * static_cast<std::uint64_t>(t));
    }
    return true;
}

std::uint32_t ReferenceReader::trackOffset(int track) const
{
    return track >= 0 && track < kTracks ? tracks_[static_cast<std::size_t>(track)] : 0;
}

bool ReferenceReader::usable(int track, std::uint64_t& start) const
{
    if (current_ < 0 || track < 0 || track >= kTracks) {
        return false;
    }
    const std::uint32_t offset = tracks_[static_cast<std::size_t>(track)];
    if (offset == 0 || offset > diskSize_) {
        return false;
    }
    start = static_cast<std::uint64_t>(current_) + offset;
    return true;
}

Record ReferenceReader::recordAt(std::uint64_t position) const
{
    Record record{};
    record.position = position;
    record.c = data_[position];
    record.h = data_[position + 1];
    record.r = data_[position + 2];
    record.n = data_[position + 3];
    record.count = static_cast<int>(u16(position + 4));
    record.density = static_cast<int>(byteAt(position + 6));
    record.deleted = static_cast<int>(byteAt(position + 7));
    record.status = static_cast<int>(byteAt(position + 8));
    record.length = static_cast<int>(u16(position + 14));
    return record;
}

End ReferenceReader::walkTrack(int track, std::vector<Record>& records) const
{
    records.clear();
    std::uint64_t position = 0;
    if (!usable(track, position)) {
        return End::Unusable;
    }
    for (int i = 0; i < kWalkLimit; ++i) {
        if (!has(position, kRecordHeader)) {
            return End::EndOfFile;
        }
        const Record record = recordAt(position);
        records.push_back(record);
        if (record.count == 0) {
            return End::ZeroCount;
        }
        if (i == record.count - 1) {
            return End::Count;
        }
        position += kRecordHeader + static_cast<std::uint64_t>(record.length);
    }
    return End::Limit;
}

int ReferenceReader::readSector(int track, int c, int h, int r, int n, unsigned char* dest, int max) const
{
    std::uint64_t position = 0;
    if (!usable(track, position)) {
        return 0;
    }
    for (int i = 0; i < kWalkLimit && has(position, kRecordHeader); ++i) {
        const Record record = recordAt(position);
        if (record.count == 0) {
            return 0;
        }
        if (record.c == c && record.h == h && record.r == r && record.n == n) {
            // As much of the data as asked for, up to the end of the file.
            const std::uint64_t data = position + kRecordHeader;
            const std::uint64_t held = data < size_ ? size_ - data : 0;
            const int copied = static_cast<int>(std::min<std::uint64_t>({held, static_cast<std::uint64_t>(record.length),
                                                                         static_cast<std::uint64_t>(std::max(max, 0))}));
            if (copied > 0) {
                std::memcpy(dest, data_ + data, static_cast<std::size_t>(copied));
            }
            return copied;
        }
        if (i == record.count - 1) {
            return 0;
        }
        position += kRecordHeader + static_cast<std::uint64_t>(record.length);
    }
    return 0;
}

int ReferenceReader::readRun(int track, int c, int h, int r, int n, unsigned char* dest, int total, int& copied) const
{
    long long step = 1;
    if (n >= 0) {
        step = n > 32 ? (128LL << 32) : (128LL << n);
    }
    int sum = 0;
    copied = 0;
    while (sum < total) {
        const int want = static_cast<int>(total - sum < step ? total - sum : step);
        const int got = readSector(track, c, h, r, n, dest + sum, want);
        copied = sum + got;
        if (got < want) {
            return sum;
        }
        sum += want;
        if (r == last_) {
            track += 1;
            if (h == 0) {
                h = 1;
            } else {
                h = 0;
                c += 1;
            }
            r = first_;
        } else {
            r += 1;
        }
    }
    return sum;
}

void ReferenceReader::setSectorRange(int first, int last)
{
    first_ = first;
    last_ = last;
}

int ReferenceReader::listSectorIds(int track, unsigned char* out, int capacity) const
{
    std::uint64_t position = 0;
    if (!usable(track, position)) {
        return 0;
    }
    int written = 0;
    // Only the capacity and the file's end bound a list.
    for (int i = 0; capacity - written >= 4; ++i) {
        if (!has(position, kRecordHeader)) {
            break;
        }
        const Record record = recordAt(position);
        out[written] = record.c;
        out[written + 1] = record.h;
        out[written + 2] = record.r;
        out[written + 3] = record.n;
        written += 4;
        if (i == record.count - 1) {
            break;
        }
        position += kRecordHeader + static_cast<std::uint64_t>(record.length);
    }
    return written;
}

}  // namespace d88ref
