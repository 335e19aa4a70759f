// A file d88convert writes: refused when something stands under its name
// (unless replacing), written whole under a temporary name and renamed into
// place (whole_file.h), or abandoned, leaving whatever stood there as it was.
#ifndef D88CONVERT_CONVERTED_FILE_H
#define D88CONVERT_CONVERTED_FILE_H

#include "byte_sink.h"
#include "whole_file.h"

#include <string>
#include <vector>

// Whether anything (a link included) stands under path.
bool pathTaken(const std::string& path);

class ConvertedFile final : public ByteSink {
public:
    // Begins the file path; 0 or the error number.
    int begin(const std::string& path);
    void write(const unsigned char* data, std::size_t size) override;
    // Puts it in place; 0 or the error number of the first failure.
    int end(bool replace);
    // Removes what was written.
    void abandon();

private:
    void flush();

    WholeFileWriter file_;
    std::vector<unsigned char> pending_;  // gathered into large writes: a D88 image comes 16 bytes at a time
    std::string folder_, name_;
};

#endif
