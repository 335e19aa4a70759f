// SHA-256 against published digests, through every engine this processor
// runs and through update() calls of awkward sizes, and the engines against
// each other on random messages.
#include "sha256.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Engine = Sha256::Engine;

std::vector<Engine> supportedEngines()
{
    std::vector<Engine> engines;
    for (Engine engine : {Engine::Portable, Engine::ShaExtensions}) {
        if (Sha256::supported(engine)) {
            engines.push_back(engine);
        }
    }
    return engines;
}

std::string finishHex(Sha256& sha)
{
    unsigned char digest[32];
    sha.finish(digest);
    char hex[65];
    sha256Hex(digest, hex);
    return hex;
}

// Feeds message in pieces whose sizes cycle through sizes (0 = all at once).
std::string hashInPieces(Sha256& sha, const std::string& message, const std::vector<std::size_t>& sizes)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    std::size_t done = 0;
    for (std::size_t i = 0; done < message.size(); ++i) {
        const std::size_t size = sizes[i % sizes.size()];
        const std::size_t take = size == 0 || size > message.size() - done ? message.size() - done : size;
        sha.update(bytes + done, take);
        done += take;
    }
    return finishHex(sha);
}

std::string repeat(const std::string& piece, std::size_t count)
{
    std::string message;
    while (count-- > 0) {
        message += piece;
    }
    return message;
}

}  // namespace

TEST(Sha256, PublishedAndPaddingEdgeDigestsInAnyPieces)
{
    struct Vector {
        const char* piece;
        std::size_t count;
        const char* digest;
    };
    const Vector vectors[] = {
        {"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         1, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"a", 1000000, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // The length field fits after 55 bytes, not after 56; 119/120 repeat
        // that edge in the second block.
        {"a", 55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {"a", 56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {"a", 63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {"a", 64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {"a", 65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
        {"a", 119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
        {"a", 120, "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
    };
    const std::vector<std::vector<std::size_t>> splits = {{0}, {1}, {63, 1, 65, 127, 2, 64, 191}};
    const unsigned char junk[100] = {};
    for (Engine engine : supportedEngines()) {
        // One object throughout: finish() and reset() must leave nothing behind.
        Sha256 sha(engine);
        for (const Vector& v : vectors) {
            const std::string message = repeat(v.piece, v.count);
            sha.update(junk, sizeof junk);
            sha.reset();
            for (const auto& sizes : splits) {
                EXPECT_EQ(hashInPieces(sha, message, sizes), v.digest)
                    << "engine " << static_cast<int>(engine) << ", " << v.count << " x \"" << v.piece << "\", pieces of " << sizes[0];
            }
        }
    }
}

TEST(Sha256, EnginesAgreeOnRandomMessages)
{
    if (!Sha256::supported(Engine::ShaExtensions)) {
        GTEST_SKIP() << "this processor has no SHA instructions";
    }
    std::mt19937 random(20240611);
    std::string data(3 * 1024 * 1024 + 200, '\0');
    for (char& c : data) {
        c = static_cast<char>(random());
    }
    std::vector<std::size_t> lengths;
    for (std::size_t length = 0; length <= 300; ++length) {
        lengths.push_back(length);
    }
    lengths.insert(lengths.end(), {4096 + 17, 1024 * 1024 + 5, 3 * 1024 * 1024 + 63});
    Sha256 portable(Engine::Portable);
    Sha256 fast(Engine::ShaExtensions);
    for (std::size_t length : lengths) {
        // Varying start offsets and piece sizes leave the blocks misaligned.
        const std::string message = data.substr(length % 16, length);
        std::vector<std::size_t> sizes;
        for (int i = 0; i < 8; ++i) {
            sizes.push_back(1 + random() % 200);
        }
        EXPECT_EQ(hashInPieces(fast, message, sizes), hashInPieces(portable, message, {0})) << "length " << length;
    }
}

// 1 GiB: the only message here whose bit length needs more than 32 bits.
// The SHA-instruction engine takes well under a second for it; the portable
// one takes seconds, so it joins only when D88_SHA256_LONG is set.
TEST(Sha256, OneGibibyteMessage)
{
    const bool everyEngine = std::getenv("D88_SHA256_LONG") != nullptr;
    const std::string chunk = repeat("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno", 16384);
    int hashed = 0;
    for (Engine engine : supportedEngines()) {
        if (engine == Engine::Portable && !everyEngine) {
            continue;
        }
        Sha256 sha(engine);
        for (int i = 0; i < 1024; ++i) {
            sha.update(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size());
        }
        EXPECT_EQ(finishHex(sha), "50e72a0e26442fe2552dc3938ac58658228c0cbfb1d2ca872ae435266fcd055e")
            << "engine " << static_cast<int>(engine);
        ++hashed;
    }
    if (hashed == 0) {
        GTEST_SKIP() << "no SHA instructions; set D88_SHA256_LONG=1 to hash it with the portable engine";
    }
}
