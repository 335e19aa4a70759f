// Hashes a 64 MiB buffer with each SHA-256 engine this processor supports
// and prints the median speed of several runs, then times the system's
// sha256sum on a file of the same bytes for comparison. Asserts nothing.
#include "sha256.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(__x86_64__)
#include <x86intrin.h>
#define HAVE_TSC 1
#endif

namespace {

constexpr std::size_t kSize = 64 * 1024 * 1024;
constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* what, double time, double ticks)
{
    std::printf("%-18s %8.1f MB/s  %6.1f ms", what, kSize / time / 1e6, time * 1e3);
    if (ticks > 0) {
        std::printf("  %5.2f TSC cycles/byte", ticks / kSize);
    }
    std::printf("\n");
}

void timeEngine(const char* what, Sha256::Engine engine, const std::vector<unsigned char>& data)
{
    std::vector<double> times;
    std::vector<double> ticks;
    char hex[65] = "";
    for (int run = 0; run < kRuns; ++run) {
        Sha256 sha(engine);
        unsigned char digest[32];
        const auto start = Clock::now();
#ifdef HAVE_TSC
        const unsigned long long tscStart = __rdtsc();
#endif
        sha.update(data.data(), data.size());
        sha.finish(digest);
#ifdef HAVE_TSC
        ticks.push_back(static_cast<double>(__rdtsc() - tscStart));
#endif
        times.push_back(seconds(start));
        sha256Hex(digest, hex);
    }
    report(what, median(times), ticks.empty() ? 0 : median(ticks));
    std::printf("%18s %s\n", "", hex);
}

void timeSha256sum(const std::vector<unsigned char>& data)
{
    char path[] = "/tmp/sha256_speed_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        std::printf("no temporary file; compare by hand: sha256sum on a %zu-byte file\n", kSize);
        return;
    }
    const bool written = write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    close(fd);
    const std::string command = std::string("sha256sum ") + path + " > /dev/null";
    std::vector<double> times;
    for (int run = 0; written && run < kRuns; ++run) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            break;
        }
        times.push_back(seconds(start));
    }
    if (times.size() == kRuns) {
        report("sha256sum", median(times), 0);
        std::printf("%18s (whole process, file in the page cache)\n", "");
    } else {
        std::printf("sha256sum did not run; compare by hand: sha256sum on a %zu-byte file\n", kSize);
    }
    unlink(path);
}

}  // namespace

int main()
{
    std::vector<unsigned char> data(kSize);
    unsigned int x = 1;
    for (unsigned char& byte : data) {
        x = x * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(x >> 16);
    }
    std::printf("%zu bytes, median of %d runs\n", kSize, kRuns);
    timeEngine("portable", Sha256::Engine::Portable, data);
    if (Sha256::supported(Sha256::Engine::ShaExtensions)) {
        timeEngine("SHA instructions", Sha256::Engine::ShaExtensions, data);
    } else {
        std::printf("SHA instructions   not supported here\n");
    }
    timeSha256sum(data);
    return 0;
}
