// scancut's whole run, apart from the process around it.
#ifndef SCANCUT_SCANCUT_H
#define SCANCUT_SCANCUT_H

#include "file_output.h"

// Processes the command line and the image it names, writing each file with
// writeFile; returns the exit status: 0 done, 1 usage or open error, 2 an
// output file or standard output not written.
int runScancut(int argc, char** argv, WriteFileFunction writeFile);

#endif
