// Runs a command several times and prints the median of its CPU time (user
// + system), its wall time, its peak resident memory and the bytes it read
// from the operating system. The parent waits for the child with WNOWAIT,
// so the child's /proc/PID/io can still be read before it is reaped.
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

template <typename T>
T median(std::vector<Sample>& samples, T Sample::*field)
{
    std::sort(samples.begin(), samples.end(), [field](const Sample& a, const Sample& b) { return a.*field < b.*field; });
    return samples[samples.size() / 2].*field;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: measure RUNS FOLDER COMMAND [ARGS...]\n");
        return 1;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<Sample> samples;
    for (int i = 0; i < runs; ++i) {
        samples.push_back(runOnce(argv + 3, argv[2]));
    }
    const int status = samples.front().status;
    const double cpu = median(samples, &Sample::cpu);
    const double wall = median(samples, &Sample::wall);
    const long rss = median(samples, &Sample::rssKiB);
    const long long bytesRead = median(samples, &Sample::bytesRead);
    std::printf("cpu %.3f s  wall %.3f s  peak %ld KiB  read %lld bytes  status %d\n", cpu, wall, rss, bytesRead,
                status);
    return 0;
}
