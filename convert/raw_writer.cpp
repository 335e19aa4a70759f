#include "raw_writer.h"

#include "block_disk.h"

#include <d88image/d88image.h>

#include <algorithm>
#include <vector>

namespace {

struct FlagFinding {
    unsigned flag;
    Finding finding;
};

// The flags of a sector read and what each says it lost; a duplicate is
// told by the records left out, below.
const FlagFinding kFlagFindings[] = {
    {kSectorMissing, Finding::Missing},       {kSectorCutShort, Finding::CutShort},
    {kSectorOtherLength, Finding::OddLength}, {kSectorOtherSize, Finding::OtherSize},
    {kSectorBadStatus, Finding::BadStatus},   {kSectorDeleted, Finding::Deleted},
};

// The records of a track that no sector took (taken: the positions of
// those that one did, sorted): beside a sector of their
// number, duplicates or of another size; of a number the geometry has not,
// extra.
void noteLeftOut(const std::vector<SectorRecord>& records, const std::vector<std::uint64_t>& taken,
                 const BlockGeometry& geometry, int track, RawFindings& findings)
{
    const bool onDisk = track < geometry.tracks();
    const TrackLayout& layout = geometry.layout(onDisk ? track : 1 % geometry.tracks());
    for (const SectorRecord& record : records) {
        if (std::binary_search(taken.begin(), taken.end(), record.position)) {
            continue;
        }
        const int r = record.id.r;
        const bool numbered = onDisk && r >= geometry.firstR && r < geometry.firstR + layout.sectors;
        const Finding kind =
            !numbered ? Finding::Extra : record.id.n == layout.sizeCode ? Finding::Duplicate : Finding::OtherSize;
        findings.add(kind, track, r);
    }
}

}  // namespace

void writeRaw(D88Image& reader, const BlockGeometry& geometry, ByteSink& sink, RawFindings& findings)
{
    BlockDisk disk(reader, geometry);
    std::vector<unsigned char> track;
    std::vector<std::uint64_t> taken;
    long long k = 0;
    for (int t = 0; t < d88format::kTrackCount; ++t) {
        taken.clear();
        if (t < geometry.tracks()) {
            const int sectors = geometry.layout(t).sectors;
            const std::size_t bytes = static_cast<std::size_t>(geometry.sectorBytes(t));
            track.resize(static_cast<std::size_t>(sectors) * bytes);
            for (int s = 0; s < sectors; ++s, ++k) {
                const SectorSource source = disk.read(k, track.data() + static_cast<std::size_t>(s) * bytes, bytes);
                for (const FlagFinding& f : kFlagFindings) {
                    if ((source.flags & f.flag) != 0) {
                        findings.add(f.finding, t, source.sought.r);
                    }
                }
                if (source.found) {
                    taken.push_back(source.record.position);
                }
            }
            sink.write(track.data(), track.size());
        }
        std::sort(taken.begin(), taken.end());
        noteLeftOut(disk.records(t).records(), taken, geometry, t, findings);
    }
    findings.finish();
}
