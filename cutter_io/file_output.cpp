#include "file_output.h"

#include "whole_file.h"

int writeOutputFile(const char* name, const unsigned char* data, std::size_t size)
{
    return writeFileWhole("", name, data, size, true);
}
