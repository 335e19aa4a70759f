#include "preview_buffers.h"

#include "image_buffer.h"

#include <vector>

namespace {

// One survey's worth for each way of taking files, with room to spare.
constexpr std::size_t kKept = 4;

std::vector<PreviewBuffer>& kept()
{
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // The page's module runs on one thread, and WebAssembly's bulk memory
    // operations, which it is built with, allow no thread-local storage
    // without atomics.
    static std::vector<PreviewBuffer> buffers;
#else
    thread_local std::vector<PreviewBuffer> buffers;
#endif
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
