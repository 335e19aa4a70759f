#include "cluster_chain.h"

#include <algorithm>

namespace {

std::string clusterPlace(int cluster) { return "cluster " + std::to_string(cluster); }

// Why a chain stops at a cluster whose own entry continues nothing.
const char* stopReason(LinkKind kind)
{
    switch (kind) {
    case LinkKind::Free:
        return "chain runs into a free cluster";
    case LinkKind::Reserved:
        return "chain runs into a reserved cluster";
    case LinkKind::Bad:
        return "chain runs into a bad cluster";
    default:
        return "chain runs into an entry no rule reads";
    }
}

}  // namespace

int ClusterOwners::claim(int cluster, int file)
{
    if (cluster < 0 || static_cast<std::size_t>(cluster) >= owner_.size()) {
        return -1;
    }
    int& owner = owner_[static_cast<std::size_t>(cluster)];
    if (owner < 0) {
        owner = file;
        return -1;
    }
    if (owner == file) {
        return -1;
    }
    shares.push_back({cluster, owner, file});
    return owner;
}

Chain followChain(const ClusterTable& table, int start, int file, ClusterOwners& owners,
                  std::vector<Damage>& damage)
{
    Chain chain;
    const int count = table.clusterCount();
    std::vector<bool> visited(static_cast<std::size_t>(std::max(count, 0)), false);
    int cluster = start;
    // Each step takes a cluster not taken before: the walk ends within the
    // cluster count whatever the table holds.
    for (int step = 0; step <= count; ++step) {
        if (cluster < table.firstCluster() || cluster >= count) {
            const char* what = step == 0 ? "start cluster outside the disk" : "chain leaves the disk";
            const std::string where = step == 0 ? clusterPlace(cluster)
                                                : clusterPlace(chain.clusters.back()) + " (next " +
                                                      std::to_string(cluster) + ")";
            damage.push_back({what, where});
            return chain;
        }
        if (visited[static_cast<std::size_t>(cluster)]) {
            damage.push_back({"chain loops", clusterPlace(chain.clusters.back()) + " (back to " +
                                                 std::to_string(cluster) + ")"});
            return chain;
        }
        if (owners.stepsLeft-- <= 0) {
            damage.push_back({"chains of the listing too long to follow further", clusterPlace(cluster)});
            return chain;
        }
        visited[static_cast<std::size_t>(cluster)] = true;
        const Link link = table.link(cluster);
        if (link.kind != LinkKind::Next && link.kind != LinkKind::Last) {
            damage.push_back({stopReason(link.kind), clusterPlace(cluster)});
            return chain;
        }
        chain.clusters.push_back(cluster);
        const int other = owners.claim(cluster, file);
        if (other >= 0) {
            const std::string& path = static_cast<std::size_t>(other) < owners.paths.size()
                                          ? owners.paths[static_cast<std::size_t>(other)]
                                          : std::string();
            damage.push_back({"cluster shared with " + path, clusterPlace(cluster)});
        }
        if (link.kind == LinkKind::Last) {
            chain.ended = true;
            chain.lastUsed = link.value;
            return chain;
        }
        cluster = link.value;
    }
    return chain;
}

int freeClusters(const ClusterTable& table)
{
    int count = 0;
    for (int c = table.firstCluster(); c < table.clusterCount(); ++c) {
        count += table.link(c).kind == LinkKind::Free ? 1 : 0;
    }
    return count;
}

void appendPieces(FileEntry& file, const Chain& chain, const ClusterGeometry& geometry, long long limit)
{
    long long left = limit;
    for (std::size_t i = 0; i < chain.clusters.size() && left != 0; ++i) {
        const bool last = i + 1 == chain.clusters.size();
        const int sectors = last && chain.ended && chain.lastUsed > 0 ? chain.lastUsed : geometry.sectorsPerCluster;
        for (int s = 0; s < sectors && left != 0; ++s) {
            const SectorPlace place = placeOf(geometry.disk, geometry.sectorOf(chain.clusters[i], s));
            const int sectorBytes = 128 << place.n;
            const int bytes = left < 0 ? sectorBytes : static_cast<int>(std::min<long long>(left, sectorBytes));
            file.pieces.push_back({place, true, bytes, 0, SectorFault::None});
            if (left > 0) {
                left -= bytes;
            }
        }
    }
    if (left > 0) {
        file.pieces.push_back({SectorPlace{}, false, static_cast<int>(left), 0, SectorFault::Missing});
    }
}
