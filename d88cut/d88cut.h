// d88cut's whole run, apart from the process around it.
#ifndef D88CUT_D88CUT_H
#define D88CUT_D88CUT_H

#include "report_output.h"
#include "storage.h"

// Processes the command line: each image's files go through storage into a
// folder of its own; summaries (or with --json the report) go to output,
// errors and progress to standard error. Returns the exit status.
int runD88cut(int argc, char** argv, Storage& storage, ReportOutput& output);

#endif
