#include "recording_output.h"

#include "output_file.h"

namespace recording {
std::vector<std::pair<std::string, d88build::Bytes>> files;
int failWith = 0;
}  // namespace recording

int writeOutputFile(const char* name, const unsigned char* data, std::size_t size)
{
    recording::files.emplace_back(name, d88build::Bytes(data, data + size));
    return recording::failWith;
}
