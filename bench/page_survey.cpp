// The page's survey run natively, for bench/page.sh to set beside the
// WebAssembly one: the image's bytes read into memory, then the calls the
// page's worker makes on them (open, the report with each disk's tracks
// counted, and the map, from one survey), each RUNS times; prints the CPU
// of the calls alone in ms: the first run's (the process's first survey,
// which meets its memory first, as the page's first survey of an image
// does), then the median of all. Exits 1 when a call fails.
// Usage: page_survey IMAGE RUNS
#include <d88image/d88.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <vector>

namespace {

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

bool surveyOnce(const std::vector<unsigned char>& bytes, const char* name)
{
    d88_image* image = nullptr;
    if (d88_open_memory(bytes.data(), bytes.size(), name, &image) != D88_OK) {
        d88_close(image);
        return false;
    }
    char* json = nullptr;
    char* svg = nullptr;
    const d88_status status = d88_report(image, D88_TRACKS_COUNTED, &json, nullptr, &svg, nullptr);
    d88_text_free(json);
    d88_text_free(svg);
    d88_close(image);
    return status == D88_OK;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: page_survey IMAGE RUNS\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary | std::ios::ate);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, file.tellg())));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const int runs = std::max(1, std::atoi(argv[2]));
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double started = cpuMs();
        if (!surveyOnce(bytes, argv[1])) {
            std::fprintf(stderr, "page_survey: %s: the report could not be made\n", argv[1]);
            return 1;
        }
        times.push_back(cpuMs() - started);
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("%.2f %.2f\n", first, times[times.size() / 2]);
    return 0;
}
