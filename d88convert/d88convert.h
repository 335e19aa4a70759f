// d88convert: a disk of a D88 image to a raw sector image and back, a D88
// file of several disks split into one per disk, D88 files joined into one;
// every sector a raw image could not hold said on standard error.
#ifndef D88CONVERT_D88CONVERT_H
#define D88CONVERT_D88CONVERT_H

// The whole run: options, files, messages; returns the exit status.
int runD88convert(int argc, char** argv);

#endif
