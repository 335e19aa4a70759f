// Where a conversion's bytes go, in order: a file being written whole, a
// buffer in memory. A sink keeps its own failure; the conversion only
// writes. The sink must outlive the call it is passed to.
#ifndef CONVERT_BYTE_SINK_H
#define CONVERT_BYTE_SINK_H

#include <cstddef>
#include <vector>

class ByteSink {
public:
    virtual void write(const unsigned char* data, std::size_t size) = 0;

protected:
    ~ByteSink() = default;
};

class MemorySink final : public ByteSink {
public:
    void write(const unsigned char* data, std::size_t size) override { bytes.insert(bytes.end(), data, data + size); }
    std::vector<unsigned char> bytes;
};

#endif
