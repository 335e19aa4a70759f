#include "sha256.h"

#include <atomic>
#include <cstring>

#if defined(__x86_64__) && (defined(__clang__) || (defined(__GNUC__) && __GNUC__ >= 5))
#define D88CUT_SHA_X86 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

alignas(16) const std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

const std::uint32_t kInitial[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

std::uint32_t loadBe32(const unsigned char* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void storeBe32(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

inline std::uint32_t rotr(std::uint32_t x, int n)
{
    return x >> n | x << (32 - n);
}

// One round. Rather than shifting a..h along, the caller passes them rotated
// by one place per round, so only d and h are written.
inline void oneRound(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t& d, std::uint32_t e,
                  std::uint32_t f, std::uint32_t g, std::uint32_t& h, std::uint32_t kw)
{
    const std::uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + (g ^ (e & (f ^ g))) + kw;
    const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) | (c & (a | b)));
    d += t1;
    h = t1 + t2;
}

void compressPortable(std::uint32_t state[8], const unsigned char* data, std::size_t count)
{
    for (; count > 0; --count, data += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            w[i] = loadBe32(data + 4 * i);
        }
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; i += 8) {
            oneRound(a, b, c, d, e, f, g, h, kRound[i] + w[i]);
            oneRound(h, a, b, c, d, e, f, g, kRound[i + 1] + w[i + 1]);
            oneRound(g, h, a, b, c, d, e, f, kRound[i + 2] + w[i + 2]);
            oneRound(f, g, h, a, b, c, d, e, kRound[i + 3] + w[i + 3]);
            oneRound(e, f, g, h, a, b, c, d, kRound[i + 4] + w[i + 4]);
            oneRound(d, e, f, g, h, a, b, c, kRound[i + 5] + w[i + 5]);
            oneRound(c, d, e, f, g, h, a, b, kRound[i + 6] + w[i + 6]);
            oneRound(b, c, d, e, f, g, h, a, kRound[i + 7] + w[i + 7]);
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef D88CUT_SHA_X86

#define D88CUT_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

// Four rounds on message words w (four at a time, first word lowest).
D88CUT_SHA_TARGET inline void fourRounds(__m128i& abef, __m128i& cdgh, __m128i w, int i)
{
    const __m128i kw = _mm_add_epi32(w, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + i)));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, kw);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(kw, 0x0E));
}

// The next four message words from the previous sixteen, oldest first.
D88CUT_SHA_TARGET inline __m128i nextWords(__m128i w0, __m128i w1, __m128i w2, __m128i w3)
{
    const __m128i t = _mm_add_epi32(_mm_sha256msg1_epu32(w0, w1), _mm_alignr_epi8(w3, w2, 4));
    return _mm_sha256msg2_epu32(t, w3);
}

D88CUT_SHA_TARGET void compressShaExtensions(std::uint32_t state[8], const unsigned char* data, std::size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);

    // The round instruction keeps the state as two vectors, (a, b, e, f) and
    // (c, d, g, h), with a and c in the highest lane.
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, data += 64) {
        const __m128i abefStart = abef;
        const __m128i cdghStart = cdgh;
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 0)), byteSwap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16)), byteSwap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 32)), byteSwap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 48)), byteSwap);
        fourRounds(abef, cdgh, w0, 0);
        fourRounds(abef, cdgh, w1, 4);
        fourRounds(abef, cdgh, w2, 8);
        fourRounds(abef, cdgh, w3, 12);
        for (int i = 16; i < 64; i += 16) {
            w0 = nextWords(w0, w1, w2, w3);
            fourRounds(abef, cdgh, w0, i);
            w1 = nextWords(w1, w2, w3, w0);
            fourRounds(abef, cdgh, w1, i + 4);
            w2 = nextWords(w2, w3, w0, w1);
            fourRounds(abef, cdgh, w2, i + 8);
            w3 = nextWords(w3, w0, w1, w2);
            fourRounds(abef, cdgh, w3, i + 12);
        }
        abef = _mm_add_epi32(abef, abefStart);
        cdgh = _mm_add_epi32(cdgh, cdghStart);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

// CPUID: SHA is leaf 7 EBX bit 29; the byte and lane shuffles need SSSE3
// and SSE4.1 (leaf 1 ECX).
bool detectShaExtensions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3) || !(c & bit_SSE4_1)) {
        return false;
    }
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29)) != 0;
}

// -1 until the first query; a plain constant-initialised atomic, so no
// start-up code and no lock.
std::atomic<int> shaExtensionsPresent{-1};

bool hasShaExtensions()
{
    int present = shaExtensionsPresent.load(std::memory_order_relaxed);
    if (present < 0) {
        present = detectShaExtensions() ? 1 : 0;
        shaExtensionsPresent.store(present, std::memory_order_relaxed);
    }
    return present != 0;
}

#endif

}  // namespace

Sha256::Sha256() : Sha256(Engine::ShaExtensions)
{
}

Sha256::Sha256(Engine engine) : engine_(supported(engine) ? engine : Engine::Portable)
{
    reset();
}

bool Sha256::supported(Engine engine)
{
#ifdef D88CUT_SHA_X86
    if (engine == Engine::ShaExtensions) {
        return hasShaExtensions();
    }
#endif
    return engine == Engine::Portable;
}

void Sha256::reset()
{
    std::memcpy(state_, kInitial, sizeof state_);
    length_ = 0;
    buffered_ = 0;
}

void Sha256::compress(const unsigned char* blocks, std::size_t count)
{
#ifdef D88CUT_SHA_X86
    if (engine_ == Engine::ShaExtensions) {
        compressShaExtensions(state_, blocks, count);
        return;
    }
#endif
    compressPortable(state_, blocks, count);
}

void Sha256::update(const unsigned char* data, std::size_t size)
{
    if (size == 0) {
        return;
    }
    length_ += size;
    if (buffered_ > 0) {
        const std::size_t take = size < 64 - buffered_ ? size : 64 - buffered_;
        std::memcpy(buffer_ + buffered_, data, take);
        buffered_ += take;
        data += take;
        size -= take;
        if (buffered_ < 64) {
            return;
        }
        compress(buffer_, 1);
        buffered_ = 0;
    }
    const std::size_t whole = size / 64;
    if (whole > 0) {
        compress(data, whole);
        data += whole * 64;
        size -= whole * 64;
    }
    if (size > 0) {
        std::memcpy(buffer_, data, size);
        buffered_ = size;
    }
}

void Sha256::finish(unsigned char digest[32])
{
    // A 1 bit, zeros up to 8 bytes short of a block end, then the message
    // length in bits (modulo 2^64) big-endian.
    const std::uint64_t bits = length_ * 8;
    buffer_[buffered_++] = 0x80;
    if (buffered_ > 56) {
        std::memset(buffer_ + buffered_, 0, 64 - buffered_);
        compress(buffer_, 1);
        buffered_ = 0;
    }
    std::memset(buffer_ + buffered_, 0, 56 - buffered_);
    storeBe32(buffer_ + 56, static_cast<std::uint32_t>(bits >> 32));
    storeBe32(buffer_ + 60, static_cast<std::uint32_t>(bits));
    compress(buffer_, 1);
    for (int i = 0; i < 8; ++i) {
        storeBe32(digest + 4 * i, state_[i]);
    }
    reset();
}

void sha256Hex(const unsigned char digest[32], char out[65])
{
    static const char kDigits[] = "0123456789abcdef";
    for (int i = 0; i < 32; ++i) {
        out[2 * i] = kDigits[digest[i] >> 4];
        out[2 * i + 1] = kDigits[digest[i] & 0x0F];
    }
    out[64] = '\0';
}
