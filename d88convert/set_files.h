// d88convert's work on D88 files as sets of disks, each disk written as it
// is stored: split into one file per disk, joined into one, one disk taken.
#ifndef D88CONVERT_SET_FILES_H
#define D88CONVERT_SET_FILES_H

#include "options.h"
#include "run_state.h"

// Writes each disk of files[0] as files[1]/STEM-N.d88.
int splitImage(const Options& options, Run& run);
// Writes files[0..n-2] back to back as files[n-1].
int joinImages(const Options& options, Run& run);
// Writes disk options.disk of files[0] as files[1].
int extractDisk(const Options& options, Run& run);

#endif
