// A disk's files in the text report, a line each: name, type, size, the
// addresses and date where the file system keeps them, and what is lacking.
#ifndef REPORT_FILE_LINES_H
#define REPORT_FILE_LINES_H

#include "file_listing.h"

#include <string>

// "GAME.BAS  basic  1,234 bytes  1987-05-03 12:34", then "incomplete:
// sectors C 1 H 0 R 3, C 1 H 0 R 4 missing" where bytes are lacking.
std::string fileLine(const FileEntry& file);

#endif
