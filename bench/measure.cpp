// Runs a command several times, alternating with a second one when given
// after --vs, and prints for each the median of its CPU time (user + system),
// its wall time, its peak resident memory and the bytes it read from the
// operating system, then the ratio of the CPU times. The parent waits for
// each child with WNOWAIT, so that its /proc/PID/io can still be read
// before it is reaped.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Sample {
    double cpu = 0;
    double wall = 0;
    long rssKiB = 0;
    long long bytesRead = 0;
    int status = 0;
};

long long readChars(pid_t pid)
{
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    return -1;
}

Sample runOnce(char** command, const char* folder)
{
    Sample sample;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0 || dup2(null, 1) < 0 || dup2(null, 2) < 0 || chdir(folder) != 0) {
            _exit(127);
        }
        execvp(command[0], command);
        _exit(127);
    }
    siginfo_t info{};
    waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT);
    sample.bytesRead = readChars(child);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    sample.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sample.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    sample.rssKiB = usage.ru_maxrss;
    sample.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return sample;
}

const char* nameOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

template <typename T>
T median(std::vector<Sample> samples, T Sample::*field)
{
    std::sort(samples.begin(), samples.end(), [field](const Sample& a, const Sample& b) { return a.*field < b.*field; });
    return samples[samples.size() / 2].*field;
}

double report(const char* label, const std::vector<Sample>& samples)
{
    const double cpu = median(samples, &Sample::cpu);
    std::printf("%-9s cpu %7.4f s  wall %7.4f s  peak %6ld KiB  read %11lld bytes  status %d\n", label, cpu,
                median(samples, &Sample::wall), median(samples, &Sample::rssKiB),
                median(samples, &Sample::bytesRead), samples.front().status);
    return cpu;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: measure RUNS FOLDER COMMAND [ARGS...] [--vs COMMAND [ARGS...]]\n");
        return 1;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    char** first = argv + 3;
    char** second = nullptr;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--vs") == 0) {
            argv[i] = nullptr;
            second = argv + i + 1;
        }
    }
    std::vector<Sample> firstSamples;
    std::vector<Sample> secondSamples;
    for (int i = 0; i < runs; ++i) {
        firstSamples.push_back(runOnce(first, argv[2]));
        if (second != nullptr && second[0] != nullptr) {
            secondSamples.push_back(runOnce(second, argv[2]));
        }
    }
    const double firstCpu = report(nameOf(first[0]), firstSamples);
    if (!secondSamples.empty()) {
        const double secondCpu = report(nameOf(second[0]), secondSamples);
        // Beside cat, the read ratio is the file read over.
        const long long firstRead = median(firstSamples, &Sample::bytesRead);
        const long long secondRead = median(secondSamples, &Sample::bytesRead);
        std::printf("%-9s cpu ratio %.2f  read ratio %.3f\n", "", secondCpu > 0 ? firstCpu / secondCpu : 0.0,
                    secondRead > 0 ? static_cast<double>(firstRead) / static_cast<double>(secondRead) : 0.0);
    }
    return 0;
}
