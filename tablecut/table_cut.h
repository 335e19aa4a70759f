// The table cutter: recognises the Program, Scenario and Event Disks by the
// sector numbers on track 1 and cuts each disk's files from built-in tables.
#ifndef TABLECUT_TABLE_CUT_H
#define TABLECUT_TABLE_CUT_H

#include "output_sink.h"

class D88Image;

enum class DiskKind { None, Program, Scenario, Event };

// Told the kind of each disk the cut recognises, before its files.
class KindListener {
public:
    virtual void recognised(int disk, DiskKind kind) = 0;

protected:
    ~KindListener() = default;
};

// The kind of the current disk: the first of Program, Scenario and Event
// whose probe sector (R 16, 32 or 48; track 1, C 0, H 1, N 3) holds data.
// The probe reads one byte into buffer.
DiskKind recogniseDisk(D88Image& reader, unsigned char* buffer);

// Selects each disk of the image in turn and, for each of a known kind,
// tells listener (when given) and hands each of its files to sink. buffer
// holds kImageBufferSize bytes. Returns false when the sink failed a file.
bool cutImage(D88Image& reader, unsigned char* buffer, OutputSink& sink, KindListener* listener);

#endif
