// Writing a file whole or not at all. The bytes go to a new file under a
// temporary name beside the final one (".NAME.part-PID-N"), which takes the
// final name only once every byte is written and the file closed. No
// partial file ever stands under the final name; when writing fails, the
// temporary file is removed and whatever stood under the name stays as it
// was. C strings only, so that the cutters still need nothing of the C++
// runtime.
#ifndef CUTTER_IO_WHOLE_FILE_H
#define CUTTER_IO_WHOLE_FILE_H

#include <cstddef>

// What goes between folder and a name in it to make a path: nothing when
// folder is empty (the current directory) or already ends in a separator,
// else "/".
const char* separatorAfter(const char* folder);

// Puts size bytes of data under name in folder ("" for the current
// directory). With replace, whatever stood there (a link included, not what
// it points to) gives way to the complete file; without, the move fails
// with EEXIST if anything stands there by then. 0, or the error number of
// the first failure.
int writeFileWhole(const char* folder, const char* name, const unsigned char* data, std::size_t size, bool replace);

// The same for a file written piece by piece: begin opens the temporary
// file, each part appends to it, and end puts it under name in folder
// (replacing as above) or, after any failure, removes it. begin and end
// return 0 or the error number of the first failure; part keeps a failure
// for end.
struct WholeFileWriter {
    int fd = -1;
    char* temporary = nullptr;
    int error = 0;
};
int beginWholeFile(WholeFileWriter& file, const char* folder, const char* name);
void writeWholeFilePart(WholeFileWriter& file, const unsigned char* data, std::size_t size);
int endWholeFile(WholeFileWriter& file, const char* folder, const char* name, bool replace);

#endif
