// A way of taking files from an image, as every place that offers a choice
// of them sees one: its names, how the survey previews it, how a cut runs
// it. The ways are rows of one table (cutters.cpp); the survey, the
// reports, the map, the extraction and the programs' options iterate it.
#ifndef CUTTERS_CUTTER_H
#define CUTTERS_CUTTER_H

#include "image_facts.h"
#include "output_sink.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class D88Image;

// What a way would write from an image, noted while the survey reads it.
// The survey keeps one preview per way from image to image and tells it of
// the image in this order: beginImage, disk for each disk, endImage, then
// takes what it found; a disk's tracks in between as they are walked.
class CutPreview {
public:
    virtual ~CutPreview() = default;
    // A new image, opened in reader, whose file holds fileSize bytes.
    virtual void beginImage(D88Image& reader, std::uint64_t fileSize) = 0;
    // Disk disk.index is selected and its track 0 walked; the preview may
    // read it (leaving it selected) and note what it makes of it in disk.
    virtual void disk(D88Image& reader, DiskFacts& disk) = 0;
    // Track track of disk, the reader's current disk, has just been walked
    // (or is no track): the window holds it, and the preview may read it
    // there. Told of each track in ascending order, track 0 before disk.
    virtual void track(D88Image& reader, const DiskFacts& disk, int track) = 0;
    // After the disk's last track.
    virtual void endDisk(const DiskFacts& disk) = 0;
    // After the last disk, the reader still open.
    virtual void endImage(D88Image& reader) = 0;
    virtual CutFindings takeFindings() = 0;
};

// Told what a cut does besides handing files to its sink.
class CutListener {
public:
    // The cut recognised disk as what ("Program Disk"), before its files.
    virtual void recognised(int disk, const char* what) = 0;
    // A file the cut knows of on disk and does not write.
    virtual void notCut(int disk, const char* name) = 0;

protected:
    ~CutListener() = default;
};

// One run's cut: an image, or a set's images in turn, cut as one file of
// their disks back to back.
class ImageCut {
public:
    virtual ~ImageCut() = default;
    // Told before the first image what the survey found of each of the
    // run's images (a set cut together has several), in the order they
    // will be cut: a way may take what its preview noted there.
    virtual void beginRun(const std::vector<const std::vector<DiskFacts>*>& images) { (void)images; }
    // Cuts the image open in reader into sink, telling listener (when
    // given). False when the sink failed a file.
    virtual bool image(D88Image& reader, OutputSink& sink, CutListener* listener) = 0;
    // The name in this run of a file the way's preview planned for the
    // run's image-th image: as planned, unless the run names its files
    // otherwise (a set numbers its disks' folders on from image to image).
    virtual std::string nameInRun(const PlannedFile& file, std::size_t image) const
    {
        (void)image;
        return file.name;
    }
};

// A part of a set that none of its disks is, and the files it would give.
struct SetLack {
    std::string part;  // "Program Disk"
    std::vector<std::string> files;
};

struct Cutter {
    const char* key;         // d88cut's --KEY, the C API's and the manifest's mode: "table"
    const char* name;        // in the text report and on the map: "tablecut"
    const char* jsonMember;  // the JSON report's member for its files: "tablecut"
    const char* optionHelp;  // d88cut's --help lines for --KEY, from the column after the option
    const char* mapClass;    // the class of its files' outlines on the map: "ft"
    const char* mapStyle;    // CSS declarations that set its outline apart from the others'; "" for none
    const char* mapLegend;   // the legend's words for that outline
    int disksRead;           // of a set's disks, how many it reads from the first; -1 for all
    // What it makes of a disk in a few words, or with the details behind
    // them (inFull, as d88info --tracks shows); null for a way that says
    // nothing of single disks.
    std::string (*diskWords)(const DiskFacts& disk, bool inFull);
    // A preview that works in buffer (kImageBufferSize bytes, lent by the
    // survey to every preview in turn: its contents do not outlast a call).
    std::unique_ptr<CutPreview> (*newPreview)(unsigned char* buffer);
    // A cut that lays what it reads into buffer (kImageBufferSize bytes,
    // all zero at the start of the run).
    std::unique_ptr<ImageCut> (*newCut)(unsigned char* buffer);
    // What a set lacks as a whole, from all its disks; null when nothing.
    std::vector<SetLack> (*setLacks)(const std::vector<DiskFacts>& disks);
    // The reports say nothing of it for an image it does not recognise.
    bool quietWhenNone;
};

// The table, in the order the reports list the ways and d88cut's automatic
// choice tries them.
std::size_t cutterCount();
const Cutter& cutterAt(std::size_t index);
// The key of the way at index ("table"), or null past the last: for the C
// API, which names the ways by their keys.
const char* cutterKeyAt(std::size_t index);
// Where a way stands in the table, as ImageSummary::cuts holds its findings.
std::size_t cutterIndex(const Cutter& cutter);
// The way of a key, or null.
const Cutter* findCutter(const std::string& key);
// The way d88cut takes without an option: the first in the table whose
// preview recognised one of the images.
const Cutter& chosenCutter(const std::vector<const ImageSummary*>& summaries);

// Whether the reports tell of what way number way found in summary: always,
// but for a way quiet when none that recognised nothing there.
bool told(std::size_t way, const ImageSummary& summary);

// "tablecut and scancut": the ways' names as a sentence lists them.
std::string cutterNames();

#endif
