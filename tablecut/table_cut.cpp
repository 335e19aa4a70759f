#include "table_cut.h"

#include <d88image/d88image.h>

#include "extract_tables.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSizeCode = 3;
constexpr int kProbeTrack = 1;

// Everything that sets one disk kind apart, in one place.
struct KindTable {
    DiskKind kind;
    const char* name;  // as people read it
    const char* key;   // as reports for programs name it
    int probe;         // the sector number that tells the kind, and the first of its tracks
    int last;          // the last sector number of its tracks
    const ExtractRow* rows;   // its numbered table, or null for the files named one by one
    const char* namePattern;  // what a row of that table is named, from its number
};

const KindTable kKinds[] = {
    {DiskKind::Program, "Program Disk", "program", 16, 23, nullptr, nullptr},
    {DiskKind::Scenario, "Scenario Disk", "scenario", 32, 39, kScenarioTable, "KX2%02d"},
    {DiskKind::Event, "Event Disk", "event", 48, 55, kEventTable, "KX0%02d"},
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
    const KindTable* table = kindTable(kind);
    if (table == nullptr) {
        return;
    }
    if (table->rows != nullptr) {
        forEachRow(table->rows, table->namePattern, visit, context);
        return;
    }
    for (const NamedCut& named : kProgramCuts) {
        TableFile file{{}, named.track, named.c, named.h, named.r, kSizeCode, named.length};
        std::snprintf(file.name, sizeof file.name, "%s", named.name);
        visit(file, context);
    }
}

const char* diskKindName(DiskKind kind)
{
    const KindTable* table = kindTable(kind);
    return table != nullptr ? table->name : "none";
}

const char* diskKindKey(DiskKind kind)
{
    const KindTable* table = kindTable(kind);
    return table != nullptr ? table->key : nullptr;
}

int diskKindCount()
{
    return static_cast<int>(sizeof kKinds / sizeof kKinds[0]);
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
    cutKnownDisk(reader, index, kind, buffer, sink, listener, allWritten);
    return kind;
}

void cutKnownDisk(D88Image& reader, int index, DiskKind kind, unsigned char* buffer, OutputSink& sink,
                  TableCutListener* listener, bool& allWritten)
{
    const KindTable* table = kindTable(kind);
    if (table == nullptr) {
        return;
    }
    if (listener != nullptr) {
        listener->recognised(index, kind);
    }
    reader.setSectorRange(table->probe, table->last);
    TableCut cut{reader, buffer, sink, listener, index, true};
    forEachTableFile(kind, cutFile, &cut);
    allWritten = cut.allWritten && allWritten;
}

bool cutImage(D88Image& reader, unsigned char* buffer, OutputSink& sink, TableCutListener* listener)
{
    bool allWritten = true;
    for (int i = 0; i < reader.diskCount(); ++i) {
        cutDisk(reader, i, buffer, sink, listener, allWritten);
    }
    return allWritten;
}
