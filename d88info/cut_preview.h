// What the cutters would write, caught from the cutters themselves: their
// cores run as the programs run them, handing each file to a sink that only
// notes it, so that the preview cannot disagree with the programs.
#ifndef D88INFO_CUT_PREVIEW_H
#define D88INFO_CUT_PREVIEW_H

#include "image_facts.h"
#include "output_sink.h"
#include "table_cut.h"

#include <vector>

class TablePreview final : public OutputSink, public TableCutListener {
public:
    bool write(const OutputFile& file) override;
    void recognised(int, DiskKind) override {}
    void notCut(int disk, const char* name, int length) override;
    std::vector<PlannedFile> files;
};

class ScanPreview final : public OutputSink {
public:
    bool write(const OutputFile& file) override;
    std::vector<PlannedFile> files;
};

// Marks each written file that a later one of the same name replaces.
void markReplaced(std::vector<PlannedFile>& files);

#endif
