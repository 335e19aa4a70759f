// Following a file's chain of clusters through an allocation table, the one
// walk every file system here uses: bounded by the disk's cluster count,
// each fault named with its place, each cluster claimed for one file so
// that a second file reaching it is named too; then the chain's sectors as
// the file's pieces.
#ifndef FILESYSTEMS_CLUSTER_CHAIN_H
#define FILESYSTEMS_CLUSTER_CHAIN_H

#include "file_listing.h"

#include <string>
#include <vector>

// What an allocation table says of one cluster.
enum class LinkKind : unsigned char {
    Next,      // value: the next cluster of the chain
    Last,      // value: the sectors of it used, 0 for all of it
    Free,
    Reserved,  // kept by the file system
    Bad,       // marked unusable
    Invalid,   // value: the entry, which no rule reads
};

struct Link {
    LinkKind kind;
    int value;
};

class ClusterTable {
public:
    // Clusters firstCluster() .. clusterCount() - 1 hold data.
    virtual int firstCluster() const = 0;
    virtual int clusterCount() const = 0;
    virtual Link link(int cluster) const = 0;

protected:
    ~ClusterTable() = default;
};

// Which file took each cluster first, for the files of one listing, and
// how many more steps their walks may take: chains that share clusters can
// make each file as long as the disk, and a listing stays within a few
// times the disk however many files do so.
class ClusterOwners {
public:
    explicit ClusterOwners(int clusterCount)
        : stepsLeft(16L * (clusterCount > 0 ? clusterCount : 0) + 64),
          owner_(static_cast<std::size_t>(clusterCount > 0 ? clusterCount : 0), -1)
    {
    }
    // The file that holds cluster already, or -1; cluster becomes file's
    // when it was no one's.
    int claim(int cluster, int file);
    // The path the caller gave for each file.
    std::vector<std::string> paths;
    // Each cluster a second file reached: the cluster, its owner, the other.
    struct Share {
        int cluster;
        int owner;
        int other;
    };
    std::vector<Share> shares;
    long stepsLeft;

private:
    std::vector<int> owner_;
};

struct Chain {
    std::vector<int> clusters;
    int lastUsed = 0;    // sectors of the last cluster used; 0 for all
    bool ended = false;  // it reached a last-cluster mark
};

// The chain from start for file (an index into owners.paths), its faults
// appended to damage.
Chain followChain(const ClusterTable& table, int start, int file, ClusterOwners& owners,
                  std::vector<Damage>& damage);

// How many of the table's data clusters are free.
int freeClusters(const ClusterTable& table);

// Where a file system's clusters lie: cluster c starts at logical sector
// firstSector + (c - firstCluster) x sectorsPerCluster of the disk's
// geometry.
struct ClusterGeometry {
    BlockGeometry disk;
    long firstSector;
    int firstCluster;
    int sectorsPerCluster;

    long sectorOf(int cluster, int index) const
    {
        return firstSector + static_cast<long>(cluster - firstCluster) * sectorsPerCluster + index;
    }
};

// Appends the chain's sectors to file as pieces (the last cluster's used
// sectors only), up to limit bytes when limit is not negative; a limit past
// what the chain holds adds one unplaced piece for the rest.
void appendPieces(FileEntry& file, const Chain& chain, const ClusterGeometry& geometry, long long limit);

#endif
