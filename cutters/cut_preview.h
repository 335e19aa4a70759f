// What the cutters would write, caught from the cutters themselves: their
// cores run as the programs run them, handing each file to a sink that only
// notes it, so that the preview cannot disagree with the programs.
#ifndef CUTTERS_CUT_PREVIEW_H
#define CUTTERS_CUT_PREVIEW_H

#include "buffer_layout.h"
#include "image_facts.h"
#include "output_sink.h"
#include "table_cut.h"

#include <vector>

class D88Image;

// Notes each file tablecut would write and, for each it would not, why:
// which sector of which track it could not read, found with reader, whose
// file holds fileSize bytes. Set as the reader's observer while the cutter
// runs, it notes the sectors each file is read from.
class TablePreview final : public OutputSink, public TableCutListener, public ReadObserver {
public:
    TablePreview(D88Image& reader, std::uint64_t fileSize) : reader_(reader), fileSize_(fileSize) {}
    bool write(const OutputFile& file) override;
    void recognised(int disk, DiskKind) override;
    void notCut(int disk, const TableFile& file) override;
    void sectorRead(int track, SectorId id, const SectorRecord* found, int copied) override;
    std::vector<PlannedFile> files;

private:
    D88Image& reader_;
    std::uint64_t fileSize_;
    int disk_ = 0;
    std::vector<FileSector> read_;  // the sectors read since the last file
};

// Why disk, the current disk of reader, whose file holds fileSize bytes,
// does not give file's first sector in full: "track 2: sector R 34 (C 1 H 0
// N 3) is cut off by the end of the file after 688 of its 1024 bytes".
std::string whyNotRead(D88Image& reader, int disk, const TableFile& file, std::uint64_t fileSize);

// Notes each file scancut would find, with the records its blocks came
// from as layout traces them.
class ScanPreview final : public OutputSink {
public:
    explicit ScanPreview(const BufferLayout& layout) : layout_(layout) {}
    bool write(const OutputFile& file) override;
    std::vector<PlannedFile> files;

private:
    const BufferLayout& layout_;
};

// Marks each written file that a later one of the same name replaces.
void markReplaced(std::vector<PlannedFile>& files);

#endif
