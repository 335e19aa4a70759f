// The scanning cutter: lays each of the first two disks of an image in turn
// into one buffer and finds data files there by their header.
#ifndef SCANCUT_SCAN_CUT_H
#define SCANCUT_SCAN_CUT_H

#include "output_sink.h"

class BufferLayout;
class D88Image;

// The disks of an image, or of a set, that the scan takes: the first two.
constexpr int kScanDisksTaken = 2;

// Disks 0 and 1 (as far as the image has them): each laid into buffer
// (kImageBufferSize bytes, all zero at the start of an image) and scanned,
// its files handed to sink, numbered on from one disk to the next. Returns
// false when the sink failed a file. layout, when given, traces each byte
// laid in to its record: it is the reader's observer while a disk is laid
// in, and the reader has none after.
bool scanImage(D88Image& reader, unsigned char* buffer, OutputSink& sink, BufferLayout* layout = nullptr);

// How far a scan has come: the disks laid in and scanned so far, and the
// number of the next file. A set of images scanned as one file of their
// disks back to back carries it from image to image.
struct ScanProgress {
    int disks = 0;
    int counter = 0;
};

// scanImage for a scan that has come as far as progress says: the image's
// disks from 0 on, while fewer than two have been taken in all.
bool scanDisks(D88Image& reader, unsigned char* buffer, OutputSink& sink, ScanProgress& progress,
               BufferLayout* layout = nullptr);

// One disk of a scan laid in a track at a time, for a caller that walks the
// disk's tracks in order anyway (the survey), so that the file is read once:
// begin, then track for each track of the selected disk in ascending order,
// then finish. scanDisks runs each disk this way.
class DiskScan {
public:
    // buffer and layout as for scanImage.
    DiskScan(unsigned char* buffer, BufferLayout* layout) : buffer_(buffer), layout_(layout) {}
    void begin(int disk);
    // Lays in track of the reader's current disk, when it is one of those
    // laid in; layout is the reader's observer meanwhile.
    void track(D88Image& reader, int track);
    // Scans what was laid in, handing the files to sink numbered on from
    // counter; false when the sink failed a file.
    bool finish(int& counter, OutputSink& sink);

private:
    unsigned char* buffer_;
    BufferLayout* layout_;
    int disk_ = 0;
    int written_ = 0;
};

#endif
