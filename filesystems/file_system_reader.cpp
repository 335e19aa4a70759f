#include "file_system_reader.h"

#include <algorithm>

int readSystemSectors(SectorReader& disk, const BlockGeometry& geometry, long first, int count, const char* what,
                      std::vector<unsigned char>& bytes, Area* area, std::vector<Damage>* damage)
{
    const int size = 128 << geometry.track.sizeCode;
    bytes.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(size), 0);
    int sound = 0;
    for (int i = 0; i < count; ++i) {
        const SectorPlace place = placeOf(geometry, first + i);
        if (area != nullptr) {
            area->sectors.push_back(place);
        }
        const SectorRead read = disk.read(place, bytes.data() + static_cast<std::size_t>(i) * size, size);
        if (read.fault == SectorFault::None) {
            ++sound;
        } else if (damage != nullptr) {
            damage->push_back({std::string(what) + " sector " + faultName(read.fault), placeText(place)});
        }
    }
    return sound;
}

std::string placeText(const SectorPlace& place)
{
    return "C " + std::to_string(place.c) + " H " + std::to_string(place.h) + " R " + std::to_string(place.r);
}

std::string twoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

std::string clusterList(const std::vector<int>& clusters)
{
    constexpr std::size_t kShown = 8;
    std::string text = clusters.size() == 1 ? "cluster " : "clusters ";
    for (std::size_t i = 0; i < clusters.size() && i < kShown; ++i) {
        text += (i > 0 ? ", " : "") + std::to_string(clusters[i]);
    }
    if (clusters.size() > kShown) {
        text += " (" + std::to_string(clusters.size()) + " in all)";
    }
    return text;
}

void nameSharedClusters(const ClusterOwners& owners, std::vector<FileEntry>& files)
{
    for (const ClusterOwners::Share& share : owners.shares) {
        const std::size_t owner = static_cast<std::size_t>(share.owner);
        const std::size_t other = static_cast<std::size_t>(share.other);
        if (owner < files.size() && other < files.size()) {
            files[owner].damage.push_back(
                {"cluster shared with " + files[other].path, "cluster " + std::to_string(share.cluster)});
        }
    }
}

bool printableName(const unsigned char* bytes, std::size_t size, bool shiftJis)
{
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char b = bytes[i];
        const bool ascii = b >= 0x20 && b < 0x7F;
        const bool kana = b >= 0xA1 && b <= 0xDF;
        const bool lead = shiftJis && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
        if (lead && i + 1 < size) {
            ++i;
            continue;
        }
        if (!ascii && !kana) {
            return false;
        }
    }
    return true;
}
