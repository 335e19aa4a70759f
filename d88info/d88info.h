// d88info's whole run, apart from the process around it.
#ifndef D88INFO_D88INFO_H
#define D88INFO_D88INFO_H

#include "report_output.h"

// Processes the command line, reporting on each image to output and, with
// --map, drawing its map into a file; usage and errors go to standard
// error. Returns the exit status: 0 every image read and none damaged, 1
// wrong usage or an image that cannot be read, 2 the report or a map could
// not be written, 3 an image is damaged (the first of 1, 2, 3 that applies).
int runD88info(int argc, char** argv, ReportOutput& output);

#endif
