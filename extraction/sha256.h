// Incremental SHA-256. Whole 64-byte blocks are compressed straight from the
// caller's data; only a partial block at either end is copied into the
// object. On x86-64 the block function uses the CPU's SHA instructions when
// the processor has them, otherwise a portable one. Nothing allocates and
// nothing throws.
#ifndef EXTRACTION_SHA256_H
#define EXTRACTION_SHA256_H

#include <cstddef>
#include <cstdint>

class Sha256 {
public:
    enum class Engine { Portable, ShaExtensions };

    // Uses the fastest engine this processor supports.
    Sha256();
    // Uses engine when supported(engine), the portable one otherwise.
    explicit Sha256(Engine engine);

    // Whether this build and this processor can run engine.
    static bool supported(Engine engine);

    // Appends size bytes to the message; data may be null when size is 0.
    void update(const unsigned char* data, std::size_t size);
    // Writes the digest of the message and starts a new, empty one.
    void finish(unsigned char digest[32]);
    // Discards the message so far.
    void reset();

private:
    void compress(const unsigned char* blocks, std::size_t count);

    Engine engine_;
    std::uint32_t state_[8];
    std::uint64_t length_;
    std::size_t buffered_;
    unsigned char buffer_[64];
};

// Writes the digest as 64 lowercase hex digits and a NUL into out.
void sha256Hex(const unsigned char digest[32], char out[65]);

#endif
