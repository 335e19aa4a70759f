// A disk's file system in the JSON report: what it is and why, its free
// space and damage, and each file with its state and damaged sectors.
#ifndef REPORT_FILE_SYSTEM_JSON_H
#define REPORT_FILE_SYSTEM_JSON_H

#include "file_listing.h"
#include "json_writer.h"

// Writes the member "file_system" for a listing that found one; nothing
// for a disk where none was found, so that such disks read as before.
void writeFileSystem(JsonWriter& json, const FileListing* listing);

#endif
