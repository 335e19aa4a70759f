#include "preview_buffers.h"

#include "image_buffer.h"

#include <vector>

namespace {

// One survey's worth for each way of taking files, with room to spare.
constexpr std::size_t kKept = 4;

std::vector<PreviewBuffer>& kept()
{
    thread_local std::vector<PreviewBuffer> buffers;
    return buffers;
}

}  // namespace

PreviewBuffer takePreviewBuffer()
{
    std::vector<PreviewBuffer>& buffers = kept();
    if (buffers.empty()) {
        return PreviewBuffer(new unsigned char[kImageBufferSize]);
    }
    PreviewBuffer buffer = std::move(buffers.back());
    buffers.pop_back();
    return buffer;
}

void givePreviewBuffer(PreviewBuffer buffer)
{
    std::vector<PreviewBuffer>& buffers = kept();
    if (buffer && buffers.size() < kKept) {
        buffers.push_back(std::move(buffer));
    }
}
