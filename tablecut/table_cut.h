// The table cutter: recognises the Program, Scenario and Event Disks by the
// sector numbers on track 1 and cuts each disk's files from built-in tables.
#ifndef TABLECUT_TABLE_CUT_H
#define TABLECUT_TABLE_CUT_H

#include "output_sink.h"

class D88Image;

enum class DiskKind { None, Program, Scenario, Event };

// A kind's name as people read it ("Program Disk"; "none" for None), and
// as reports for programs name it ("program"; null for None).
const char* diskKindName(DiskKind kind);
const char* diskKindKey(DiskKind kind);
// How many kinds the cutter knows (None aside).
int diskKindCount();

// A file of a disk kind's table: its name and its first sector (the run
// goes on from there as the sector range says), and its length in bytes.
struct TableFile {
    char name[16];
    int track;
    int c;
    int h;
    int r;
    int n;
    int length;
};

// Calls visit(file, context) for each file of kind's table, in the order
// the cutter cuts them; nothing for DiskKind::None.
void forEachTableFile(DiskKind kind, void (*visit)(const TableFile& file, void* context), void* context);

// Told what a cut does besides handing files to its sink: the kind of
// each disk it recognises, before its files, and each file of the disk's
// list that it does not cut because its first sector is missing or short.
class TableCutListener {
public:
    virtual void recognised(int disk, DiskKind kind) = 0;
    virtual void notCut(int disk, const TableFile& file) = 0;

protected:
    ~TableCutListener() = default;
};

// The kind of the current disk: the first of Program, Scenario and Event
// whose probe sector (R 16, 32 or 48; track 1, C 0, H 1, N 3) holds data.
// The probe reads one byte into buffer.
DiskKind recogniseDisk(D88Image& reader, unsigned char* buffer);

// Selects disk index and, when it is of a known kind, tells listener (when
// given) and hands each of its files to sink. buffer holds kImageBufferSize
// bytes. Returns the disk's kind; allWritten becomes false when the sink
// failed a file.
DiskKind cutDisk(D88Image& reader, int index, unsigned char* buffer, OutputSink& sink, TableCutListener* listener,
                 bool& allWritten);

// As cutDisk, for the current disk, index, already selected and found to
// be of kind (by recogniseDisk).
void cutKnownDisk(D88Image& reader, int index, DiskKind kind, unsigned char* buffer, OutputSink& sink,
                  TableCutListener* listener, bool& allWritten);

// cutDisk for each disk of the image in turn. Returns false when the sink
// failed a file.
bool cutImage(D88Image& reader, unsigned char* buffer, OutputSink& sink, TableCutListener* listener);

#endif
