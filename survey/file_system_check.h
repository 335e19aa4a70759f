// The damage a disk's file system shows, as anomalies of the survey: the
// faults of its own structures (allocation-table copies that disagree, a
// directory that runs past its sectors) and of each file's chain (a loop,
// a cluster off the disk, one shared by two files). A disk none of the
// readers takes holds no file system, which is no damage; deleted entries
// are not judged.
#ifndef SURVEY_FILE_SYSTEM_CHECK_H
#define SURVEY_FILE_SYSTEM_CHECK_H

#include "anomalies.h"
#include "image_facts.h"

void checkFileSystem(const DiskFacts& disk, AnomalyList& anomalies);

#endif
