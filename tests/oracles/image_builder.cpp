#include "image_builder.h"

#include <algorithm>
#include <fstream>

namespace d88build {

namespace {
constexpr std::size_t kSectorHeaderSize = 16;
}  // namespace

Bytes pattern(std::uint32_t seed, std::size_t size)
{
    Bytes bytes(size);
    std::uint32_t state = seed * 2654435761u + 0x9E3779B9u;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

std::vector<Record> standardTrack(int t, int firstR, int count, std::uint32_t seed)
{
    std::vector<Record> records;
    for (int i = 0; i < count; ++i) {
        const int r = firstR + i;
        records.push_back({t / 2, t % 2, r, 3, count, pattern(seed + static_cast<std::uint32_t>(t * 256 + r), 1024)});
    }
    return records;
}

std::vector<Record> varyingLengthTrack(int count, int longR)
{
    std::vector<Record> records;
    std::uint32_t state = 12345;
    for (int r = 1; r <= count; ++r) {
        state = state * 1103515245u + 12345u;
        const std::size_t length = r == longR ? 40000 : (state >> 8) % 3000;
        records.push_back({0, 0, r, 3, count, pattern(static_cast<std::uint32_t>(r), length)});
    }
    return records;
}

Disk& Disk::name(const std::string& text)
{
    name_ = text;
    return *this;
}

Disk& Disk::media(int type)
{
    media_ = type;
    return *this;
}

Disk& Disk::writeProtect(int value)
{
    writeProtect_ = value;
    return *this;
}

Disk& Disk::headerSize(std::size_t bytes)
{
    headerSize_ = bytes;
    return *this;
}

Disk& Disk::track(int index, std::vector<Record> records)
{
    tracks_[index] = std::move(records);
    return *this;
}

Disk& Disk::trackOffset(int index, std::uint32_t value)
{
    offsetOverrides_[index] = value;
    return *this;
}

Disk& Disk::diskSize(std::uint32_t value)
{
    sizeOverridden_ = true;
    size_ = value;
    return *this;
}

Bytes Disk::build() const
{
    Bytes image(headerSize_, 0);
    for (std::size_t i = 0; i < name_.size() && i < 0x1A; ++i) {
        image[i] = static_cast<unsigned char>(name_[i]);
    }
    image[0x1A] = static_cast<unsigned char>(writeProtect_);
    image[0x1B] = static_cast<unsigned char>(media_);
    const int entries = static_cast<int>((headerSize_ - 0x20) / 4);
    for (const auto& [index, records] : tracks_) {
        if (index >= 0 && index < entries) {
            putU32(image, 0x20 + 4 * static_cast<std::size_t>(index), static_cast<std::uint32_t>(image.size()));
        }
        for (const Record& record : records) {
            Bytes header(kSectorHeaderSize, 0);
            header[0] = static_cast<unsigned char>(record.c);
            header[1] = static_cast<unsigned char>(record.h);
            header[2] = static_cast<unsigned char>(record.r);
            header[3] = static_cast<unsigned char>(record.n);
            putU16(header, 4, record.count);
            header[6] = static_cast<unsigned char>(record.density);
            header[7] = static_cast<unsigned char>(record.deleted);
            header[8] = static_cast<unsigned char>(record.status);
            putU16(header, 14, record.lengthField >= 0 ? record.lengthField : static_cast<int>(record.data.size()));
            image.insert(image.end(), header.begin(), header.end());
            image.insert(image.end(), record.data.begin(), record.data.end());
        }
    }
    for (const auto& [index, value] : offsetOverrides_) {
        putU32(image, 0x20 + 4 * static_cast<std::size_t>(index), value);
    }
    putU32(image, 0x1C, sizeOverridden_ ? size_ : static_cast<std::uint32_t>(image.size()));
    return image;
}

Disk standardDisk(int firstR, int count, int lastTrack, std::uint32_t seed)
{
    Disk disk;
    for (int t = 0; t <= lastTrack; ++t) {
        disk.track(t, standardTrack(t, firstR, count, seed));
    }
    return disk;
}

Disk linearDisk(const Bytes& content, int firstR)
{
    constexpr std::size_t kTrackBytes = 8 * 1024;
    Disk disk;
    for (std::size_t at = 0, t = 0; at < content.size(); at += kTrackBytes, ++t) {
        Bytes trackData = slice(content, at, kTrackBytes);
        trackData.resize(kTrackBytes, 0);
        std::vector<Record> records;
        for (int i = 0; i < 8; ++i) {
            const int track = static_cast<int>(t);
            records.push_back({track / 2, track % 2, firstR + i, 3, 8, slice(trackData, 1024 * static_cast<std::size_t>(i), 1024)});
        }
        disk.track(static_cast<int>(t), std::move(records));
    }
    return disk;
}

Bytes scanFiller(std::size_t blocks, std::uint32_t seed)
{
    Bytes bytes = pattern(seed, blocks * 1024);
    for (std::size_t at = 0; at < bytes.size(); at += 1024) {
        bytes[at] |= 1;
        bytes[at + 1023] |= 1;
    }
    return bytes;
}

Bytes scanFile(std::size_t blocks, std::uint32_t seed)
{
    Bytes file = scanFiller(blocks, seed);
    const int offsets[6] = {0x0010, 0x0040, 0x0100, 0x0180, 0x0200, static_cast<int>((blocks - 1) * 1024 + 0x100)};
    for (std::size_t i = 0; i < 6; ++i) {
        putU16(file, 2 * i, offsets[i]);
    }
    std::fill(file.end() - 0x200, file.end(), 0);
    return file;
}

Bytes dataOf(const std::vector<Record>& records)
{
    Bytes bytes;
    for (const Record& record : records) {
        bytes.insert(bytes.end(), record.data.begin(), record.data.end());
    }
    return bytes;
}

Bytes concat(const std::vector<Bytes>& parts)
{
    Bytes bytes;
    for (const Bytes& part : parts) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t size)
{
    if (from > bytes.size()) {
        return {};
    }
    const std::size_t end = std::min(bytes.size(), from + size);
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

void putU16(Bytes& bytes, std::size_t at, int value)
{
    bytes[at] = static_cast<unsigned char>(value & 0xFF);
    bytes[at + 1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

void putU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    }
}

bool writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace d88build
