#include "table_cut.h"

#include <d88image/d88image.h>

#include "extract_tables.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSizeCode = 3;
constexpr int kProbeTrack = 1;

struct KindTable {
    DiskKind kind;
    int probe;  // the sector number that tells the kind, and the first of its tracks
    int last;   // the last sector number of its tracks
};

const KindTable kKinds[] = {
    {DiskKind::Program, 16, 23},
    {DiskKind::Scenario, 32, 39},
    {DiskKind::Event, 48, 55},
};

class TableCut {
public:
    TableCut(D88Image& reader, unsigned char* buffer, OutputSink& sink, TableCutListener* listener, int disk)
        : reader_(reader), buffer_(buffer), sink_(sink), listener_(listener), disk_(disk)
    {
    }

    // A file is cut when its first step reads in full; the run's bytes that
    // no sector supplied are zeros, never an earlier cut's data. False only
    // when the sink failed the file; one not cut is no failure.
    bool cutFile(const char* name, int track, int c, int h, int r, int n, int skip, int length)
    {
        std::memset(buffer_, 0, static_cast<std::size_t>(skip + length));
        int copied = 0;
        if (reader_.readRun(track, c, h, r, n, buffer_, skip + length, copied) == 0) {
            if (listener_ != nullptr) {
                listener_->notCut(disk_, name, length);
            }
            return true;
        }
        const int supplied = copied > skip ? copied - skip : 0;
        const OutputFile file{name, buffer_ + skip, static_cast<std::size_t>(length),
                              static_cast<std::size_t>(supplied < length ? supplied : length), disk_, -1};
        return sink_.write(file);
    }

    bool cutProgramDisk()
    {
        bool allWritten = true;
        for (const NamedCut& cut : kProgramCuts) {
            allWritten = cutFile(cut.name, cut.track, cut.c, cut.h, cut.r, kSizeCode, 0, cut.length) && allWritten;
        }
        return allWritten;
    }

    bool cutTable(const ExtractRow* table, const char* namePattern)
    {
        bool allWritten = true;
        for (int k = 0; table[k].r != 0; ++k) {
            char name[16];
            std::snprintf(name, sizeof name, namePattern, k);
            const ExtractRow& row = table[k];
            allWritten = cutFile(name, row.track, row.track / 2, row.track % 2, row.r, kSizeCode, 0, row.length) &&
                         allWritten;
        }
        return allWritten;
    }

private:
    D88Image& reader_;
    unsigned char* buffer_;
    OutputSink& sink_;
    TableCutListener* listener_;
    int disk_;
};

const KindTable* kindTable(DiskKind kind)
{
    for (const KindTable& entry : kKinds) {
        if (entry.kind == kind) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

DiskKind recogniseDisk(D88Image& reader, unsigned char* buffer)
{
    for (const KindTable& entry : kKinds) {
        if (reader.readSector(kProbeTrack, 0, 1, entry.probe, kSizeCode, buffer, 1) != 0) {
            return entry.kind;
        }
    }
    return DiskKind::None;
}

DiskKind cutDisk(D88Image& reader, int index, unsigned char* buffer, OutputSink& sink, TableCutListener* listener,
                 bool& allWritten)
{
    reader.selectDisk(index);  // a failed selection makes every probe fail
    const DiskKind kind = recogniseDisk(reader, buffer);
    const KindTable* table = kindTable(kind);
    if (table == nullptr) {
        return kind;
    }
    if (listener != nullptr) {
        listener->recognised(index, kind);
    }
    reader.setSectorRange(table->probe, table->last);
    TableCut cut(reader, buffer, sink, listener, index);
    switch (kind) {
    case DiskKind::Program:
        allWritten = cut.cutProgramDisk() && allWritten;
        break;
    case DiskKind::Scenario:
        allWritten = cut.cutTable(kScenarioTable, "KX2%02d") && allWritten;
        break;
    case DiskKind::Event:
        allWritten = cut.cutTable(kEventTable, "KX0%02d") && allWritten;
        break;
    case DiskKind::None:
        break;
    }
    return kind;
}

bool cutImage(D88Image& reader, unsigned char* buffer, OutputSink& sink, TableCutListener* listener)
{
    bool allWritten = true;
    for (int i = 0; i < reader.diskCount(); ++i) {
        cutDisk(reader, i, buffer, sink, listener, allWritten);
    }
    return allWritten;
}
