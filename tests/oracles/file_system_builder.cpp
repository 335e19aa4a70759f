#include "file_system_builder.h"

#include <algorithm>

namespace d88build {

SectorImage::SectorImage(int cylinders, int heads, int sectorsPerTrack, int sizeCode, unsigned char fill)
    : cylinders_(cylinders), heads_(heads), sectorsPerTrack_(sectorsPerTrack), sizeCode_(sizeCode),
      bytes_(static_cast<std::size_t>(sectors()) * static_cast<std::size_t>(sectorBytes()), fill)
{
}

void SectorImage::write(long k, const Bytes& data, std::size_t offset)
{
    const std::size_t at = static_cast<std::size_t>(k) * static_cast<std::size_t>(sectorBytes()) + offset;
    std::copy(data.begin(), data.begin() + static_cast<long>(std::min(data.size(), bytes_.size() - at)),
              bytes_.begin() + static_cast<long>(at));
}

Bytes SectorImage::read(long k, std::size_t size) const
{
    return slice(bytes_, static_cast<std::size_t>(k) * static_cast<std::size_t>(sectorBytes()), size);
}

Disk SectorImage::disk(int media, const std::vector<int>& only) const
{
    Disk disk;
    disk.media(media);
    const int sides = cylinders_ * heads_;
    for (int side = 0; side < sides; ++side) {
        const int c = side / heads_;
        const int h = side % heads_;
        if (!only.empty() && std::find(only.begin(), only.end(), c * 2 + h) == only.end()) {
            continue;
        }
        std::vector<Record> records;
        for (int s = 0; s < sectorsPerTrack_; ++s) {
            const long k = static_cast<long>(side) * sectorsPerTrack_ + s;
            if (dropped_.count(k) > 0) {
                continue;
            }
            const bool first = side == 0 && firstSizeCode_ >= 0;
            const int n = first ? firstSizeCode_ : sizeCode_;
            Record record{c, h, s + 1, n, sectorsPerTrack_, read(k, static_cast<std::size_t>(128 << n))};
            record.density = first ? firstDensity_ : 0;
            if (status_.count(k) > 0) {
                record.status = status_.at(k);
            }
            record.deleted = deleted_.count(k) > 0 ? 0x10 : 0;
            if (cut_.count(k) > 0) {
                record.data.resize(static_cast<std::size_t>(cut_.at(k)));
            }
            records.push_back(record);
        }
        for (Record& record : records) {
            record.count = static_cast<int>(records.size());
        }
        disk.track(c * 2 + h, records);
    }
    return disk;
}

SectorImage SectorImage::fromRaw(const Bytes& raw, int heads, int sectorsPerTrack, int sizeCode)
{
    const std::size_t perCylinder = static_cast<std::size_t>(heads * sectorsPerTrack) << (7 + sizeCode);
    SectorImage image(static_cast<int>(raw.size() / perCylinder), heads, sectorsPerTrack, sizeCode, 0);
    image.write(0, raw);
    return image;
}

namespace {

struct N88Shape {
    int cylinders, perTrack, perCluster, systemTrack, directorySectors, media;
    std::vector<int> reserved;
};

N88Shape n88Shape(const std::string& layout)
{
    if (layout == "2DD") {
        return {80, 16, 16, 80, 12, 0x10, {80}};
    }
    if (layout == "2HD") {
        return {77, 26, 26, 70, 22, 0x20, {0, 1, 70}};
    }
    return {40, 16, 8, 37, 12, 0x00, {74, 75}};
}

}  // namespace

N88Volume::N88Volume(const std::string& layout)
    : image(n88Shape(layout).cylinders, 2, n88Shape(layout).perTrack, 1, 0xE5), media(n88Shape(layout).media),
      perTrack_(n88Shape(layout).perTrack), perCluster_(n88Shape(layout).perCluster),
      systemTrack_(n88Shape(layout).systemTrack), directorySectors_(n88Shape(layout).directorySectors)
{
    const N88Shape shape = n88Shape(layout);
    if (layout == "2HD") {
        image.firstTrack(0, 0x40);
    }
    for (int r = 1; r <= perTrack_; ++r) {
        image.write(systemSector(r), Bytes(256, 0xFF));
    }
    for (const int c : shape.reserved) {
        link(c, 0xFE);
    }
}

Bytes N88Volume::file(const std::string& name9, int attribute, const std::vector<int>& clusters, int lastUsed,
                      std::uint32_t seed)
{
    Bytes raw(16, 0);
    std::copy(name9.begin(), name9.begin() + std::min<std::size_t>(9, name9.size()), raw.begin());
    std::fill(raw.begin() + static_cast<long>(std::min<std::size_t>(9, name9.size())), raw.begin() + 9, ' ');
    raw[9] = static_cast<unsigned char>(attribute);
    raw[10] = static_cast<unsigned char>(clusters.empty() ? 0 : clusters[0]);
    entry(raw);
    Bytes bytes;
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const bool last = i + 1 == clusters.size();
        link(clusters[i], last ? 0xC0 + lastUsed : clusters[i + 1]);
        const int sectors = last ? lastUsed : perCluster_;
        const Bytes data = pattern(seed + static_cast<std::uint32_t>(i), static_cast<std::size_t>(sectors) * 256);
        image.write(sectorOf(clusters[i], 0), data);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

void N88Volume::entry(const Bytes& raw)
{
    image.write(systemSector(1), raw, static_cast<std::size_t>(entries_++) * 16);
}

void N88Volume::link(int cluster, int value, int copy)
{
    for (int k = 0; k < 3; ++k) {
        if (copy < 0 || copy == k) {
            image.write(systemSector(directorySectors_ + 2 + k), {static_cast<unsigned char>(value)},
                        static_cast<std::size_t>(cluster));
        }
    }
}

HuVolume::HuVolume(const std::string& layout)
    : image(layout == "2HD" ? 77 : 40, 2, layout == "2HD" ? 26 : 16, 1, 0x00), media(layout == "2HD" ? 0x20 : 0x00),
      twoSectorTable_(layout == "2HD"), tableSector_(layout == "2HD" ? 28 : 14),
      directorySector_(layout == "2HD" ? 32 : 16)
{
    image.write(tableSector_, Bytes(twoSectorTable_ ? 512 : 256, 0));
    image.write(directorySector_, Bytes(16 * 256, 0xFF));
    link(0, 0x01);
    link(1, 0x8F);
    if (twoSectorTable_) {
        link(2, 0x8F);
        // Past the last of 250 clusters, the table marks every entry used.
        for (int c = 250; c < 256; ++c) {
            link(c, 0x8F);
        }
    }
}

void HuVolume::link(int cluster, int value)
{
    if (!twoSectorTable_) {
        image.write(tableSector_, {static_cast<unsigned char>(value)}, static_cast<std::size_t>(cluster));
        return;
    }
    const std::size_t at = static_cast<std::size_t>(cluster / 128 * 256 + cluster % 128);
    const bool end = value >= 0x80 && value <= 0x8F;
    image.write(tableSector_, {static_cast<unsigned char>(end ? value : value & 0x7F)}, at);
    image.write(tableSector_, {static_cast<unsigned char>(end ? 0 : value >> 7)}, at + 128);
}

Bytes HuVolume::file(const std::string& name13, const std::string& ext3, int attribute,
                     const std::vector<int>& clusters, int lastIndex, int size, std::uint32_t seed, const Bytes& date)
{
    Bytes raw(32, ' ');
    raw[0] = static_cast<unsigned char>(attribute);
    std::copy_n(name13.begin(), std::min<std::size_t>(13, name13.size()), raw.begin() + 1);
    std::copy_n(ext3.begin(), std::min<std::size_t>(3, ext3.size()), raw.begin() + 14);
    putU16(raw, 0x12, size);
    putU16(raw, 0x14, 0x3000);
    putU16(raw, 0x16, 0x3010);
    Bytes when = date.empty() ? Bytes{0x87, 0x53, 0x21, 0x12, 0x34} : date;
    std::copy(when.begin(), when.end(), raw.begin() + 0x18);
    const int start = clusters.empty() ? 0 : clusters[0];
    raw[0x1D] = 0;
    putU16(raw, 0x1E, start);
    entry(raw);
    Bytes bytes;
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const bool last = i + 1 == clusters.size();
        link(clusters[i], last ? 0x80 + lastIndex : clusters[i + 1]);
        const int sectors = last ? lastIndex + 1 : 16;
        const Bytes data = pattern(seed + static_cast<std::uint32_t>(i), static_cast<std::size_t>(sectors) * 256);
        image.write(sectorOf(clusters[i], 0), data);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    if (size > 0) {
        bytes.resize(std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(size)));
    }
    return bytes;
}

void HuVolume::entry(const Bytes& raw)
{
    image.write(directorySector_, raw, static_cast<std::size_t>(entries_++) * 32);
}

FVolume::FVolume(const std::string& layout)
    : image(layout == "2DD" ? 80 : 40, 2, 16, 1, 0xFF), media(layout == "2DD" ? 0x10 : 0x00),
      perCluster_(layout == "2DD" ? 16 : 8)
{
    // The ID at C 0 H 0 R 3, the table at C 1 H 0 R 1, the directory from R 4.
    image.write(2, {static_cast<unsigned char>(layout == "2DD" ? 'E' : 'S'), ' ', ' '});
    image.write(32, {0x00});
}

void FVolume::link(int cluster, int value)
{
    image.write(32, {static_cast<unsigned char>(value)}, 5 + static_cast<std::size_t>(cluster));
}

Bytes FVolume::file(const std::string& name8, int type, bool ascii, const std::vector<int>& clusters, int lastUsed,
                    std::uint32_t seed)
{
    Bytes raw(32, 0);
    std::fill(raw.begin(), raw.begin() + 8, ' ');
    std::copy(name8.begin(), name8.begin() + static_cast<long>(std::min<std::size_t>(8, name8.size())), raw.begin());
    raw[11] = static_cast<unsigned char>(type);
    raw[12] = ascii ? 0xFF : 0x00;
    raw[14] = static_cast<unsigned char>(clusters.empty() ? 0 : clusters[0]);
    image.write(35, raw, static_cast<std::size_t>(entries_++) * 32);
    Bytes bytes;
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        const bool last = i + 1 == clusters.size();
        link(clusters[i], last ? 0xC0 + lastUsed - 1 : clusters[i + 1]);
        const int sectors = last ? lastUsed : perCluster_;
        const Bytes data = pattern(seed + static_cast<std::uint32_t>(i), static_cast<std::size_t>(sectors) * 256);
        image.write(sectorOf(clusters[i], 0), data);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

}  // namespace d88build
