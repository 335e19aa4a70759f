// A count of the bytes this process reads from the operating system, for
// tests that guard a design whose purpose is to read a file about once.
#ifndef TESTS_OS_READ_COUNTER_H
#define TESTS_OS_READ_COUNTER_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace testsupport {

// Counts the bytes this process reads from the operating system, by the
// rchar line of /proc/self/io. Each sample reads that file in one call,
// whose bytes only a later sample counts: they are taken off.
class OsReadCounter {
public:
    // False where there is no /proc/self/io to count with.
    bool start() { return sample(start_, ownBytes_); }
    unsigned long long readSinceStart() const
    {
        unsigned long long now = 0, unused = 0;
        return sample(now, unused) ? now - start_ - ownBytes_ : ~0ULL;
    }

private:
    static bool sample(unsigned long long& rchar, unsigned long long& bytesOfSample)
    {
        const int fd = ::open("/proc/self/io", O_RDONLY);
        if (fd < 0) {
            return false;
        }
        char text[1024];
        const ssize_t got = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (got <= 0) {
            return false;
        }
        text[got] = '\0';
        const char* line = std::strstr(text, "rchar: ");
        if (line == nullptr) {
            return false;
        }
        rchar = std::strtoull(line + 7, nullptr, 10);
        bytesOfSample = static_cast<unsigned long long>(got);
        return true;
    }

    unsigned long long start_ = 0;
    unsigned long long ownBytes_ = 0;
};

}  // namespace testsupport

#endif
