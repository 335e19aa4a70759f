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

// Cuts the files of one disk: a file is cut when its first step reads in
// full; the run's bytes that no sector supplied are zeros, never an earlier
// cut's data. A file not cut is no failure; allWritten becomes false only
// when the sink failed a file.
struct TableCut {
    D88Image& reader;
    unsigned char* buffer;
    OutputSink& sink;
    TableCutListener* listener;
    int disk;
    bool allWritten;
};

void cutFile(const TableFile& file, void* context)
{
    TableCut& cut = *static_cast<TableCut*>(context);
    std::memset(cut.buffer, 0, static_cast<std::size_t>(file.length));
    int copied = 0;
    if (cut.reader.readRun(file.track, file.c, file.h, file.r, file.n, cut.buffer, file.length, copied) == 0) {
        if (cut.listener != nullptr) {
            cut.listener->notCut(cut.disk, file);
        }
        return;
    }
    const OutputFile output{file.name, cut.buffer, static_cast<std::size_t>(file.length),
                            static_cast<std::size_t>(copied < file.length ? copied : file.length), cut.disk, -1};
    cut.allWritten = cut.sink.write(output) && cut.allWritten;
}

// A numbered table's rows, named from a pattern with the row's number.
void forEachRow(const ExtractRow* table, const char* namePattern, void (*visit)(const TableFile&, void*),
                void* context)
{
    for (int k = 0; table[k].r != 0; ++k) {
        const ExtractRow& row = table[k];
        TableFile file{{}, row.track, row.track / 2, row.track % 2, row.r, kSizeCode, row.length};
        std::snprintf(file.name, sizeof file.name, namePattern, k);
        visit(file, context);
    }
}

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

void forEachTableFile(DiskKind kind, void (*visit)(const TableFile& file, void* context), void* context)
{
    switch (kind) {
    case DiskKind::Program:
        for (const NamedCut& named : kProgramCuts) {
            TableFile file{{}, named.track, named.c, named.h, named.r, kSizeCode, named.length};
            std::snprintf(file.name, sizeof file.name, "%s", named.name);
            visit(file, context);
        }
        break;
    case DiskKind::Scenario:
        forEachRow(kScenarioTable, "KX2%02d", visit, context);
        break;
    case DiskKind::Event:
        forEachRow(kEventTable, "KX0%02d", visit, context);
        break;
    case DiskKind::None:
        break;
    }
}

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
    TableCut cut{reader, buffer, sink, listener, index, true};
    forEachTableFile(kind, cutFile, &cut);
    allWritten = cut.allWritten && allWritten;
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
