// The report d88info --json prints for one image and the map d88info --map
// draws of it, made by the same survey and writers, into buffers the caller
// frees; one survey serves both when both are asked for.
#include "image_handle.h"

#include "image_map.h"
#include "image_survey.h"
#include "json_report.h"
#include "report_output.h"
#include "report_tee.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// The report's text, gathered in chunks as the writer hands it on in
// pieces and copied once into one buffer from malloc when it is handed
// over: a buffer grown by realloc would copy a big image's text (some
// 17 MB, and its map 20 MB) about twice over, which in WebAssembly, where
// realloc cannot remap, costs a good part of the survey. A chunk that
// cannot be had is remembered as ENOMEM.
class MallocText final : public ReportOutput {
public:
    MallocText() = default;
    MallocText(const MallocText&) = delete;
    MallocText& operator=(const MallocText&) = delete;
    ~MallocText()
    {
        for (const Chunk& chunk : chunks_) {
            std::free(chunk.bytes);
        }
    }

    bool write(std::string_view piece) override
    {
        while (error_ == 0 && !piece.empty()) {
            if (chunks_.empty() || chunks_.back().used == kChunk) {
                char* bytes = static_cast<char*>(std::malloc(kChunk));
                if (bytes == nullptr) {
                    error_ = ENOMEM;
                    break;
                }
                chunks_.push_back({bytes, 0});
            }
            Chunk& chunk = chunks_.back();
            const std::size_t room = std::min(piece.size(), kChunk - chunk.used);
            std::memcpy(chunk.bytes + chunk.used, piece.data(), room);
            chunk.used += room;
            length_ += room;
            piece.remove_prefix(room);
        }
        return error_ == 0;
    }
    bool flush() override { return error_ == 0; }
    int error() const override { return error_; }

    // The text in one buffer from malloc, NUL-terminated, with its length;
    // null when there is no memory for it.
    char* release(std::size_t& length)
    {
        char* text = static_cast<char*>(std::malloc(length_ + 1));
        if (text == nullptr) {
            return nullptr;
        }
        std::size_t at = 0;
        for (const Chunk& chunk : chunks_) {
            std::memcpy(text + at, chunk.bytes, chunk.used);
            at += chunk.used;
        }
        text[at] = '\0';
        length = length_;
        return text;
    }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    struct Chunk {
        char* bytes;
        std::size_t used;
    };

    std::vector<Chunk> chunks_;
    std::size_t length_ = 0;
    int error_ = 0;
};

// Hands a text over to the caller: D88_OK, or D88_ERR_MEMORY when it could
// not be made.
d88_status handOver(d88_image* image, MallocText& text, char** out, size_t* length)
{
    std::size_t made = 0;
    *out = text.error() == 0 ? text.release(made) : nullptr;
    if (*out == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the report");
    }
    if (length != nullptr) {
        *length = made;
    }
    return D88_OK;
}

// The report (json not null), the map (svg not null) or both, from one
// survey. unreadableFails: an image that cannot be read gives no map and
// fails, else it gives no map and D88_OK.
d88_status reportAndMap(d88_image* image, char** json, size_t* jsonLength, char** svg, size_t* svgLength,
                        bool unreadableFails, TrackList tracks = TrackList::Listed)
{
    MallocText text;
    JsonReport report(text, tracks);
    MapWriter map;
    ReportTee both(report, map);
    ImageSurvey survey(json == nullptr ? static_cast<ReportWriter&>(map)
                       : svg == nullptr ? static_cast<ReportWriter&>(report)
                                        : static_cast<ReportWriter&>(both));
    const bool unreadable = survey.survey(image->input) == ImageStatus::Unreadable;
    if (unreadable && unreadableFails) {
        return failOfImage(image, D88_ERR_READ, "cannot be read: " + survey.lastError());
    }
    if (json != nullptr) {
        report.finish();
        if (const d88_status status = handOver(image, text, json, jsonLength)) {
            return status;
        }
    }
    if (svg != nullptr && !unreadable) {
        MallocText drawing;
        map.draw(drawing);
        if (const d88_status status = handOver(image, drawing, svg, svgLength)) {
            if (json != nullptr) {
                std::free(*json);
                *json = nullptr;
            }
            return status;
        }
    }
    return succeed(image);
}

}  // namespace

extern "C" {

d88_status d88_report_json(d88_image* image, char** json, size_t* length)
{
    if (json != nullptr) {
        *json = nullptr;
    }
    if (image == nullptr || json == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    return reportAndMap(image, json, length, nullptr, nullptr, false);
}

d88_status d88_map_svg(d88_image* image, char** svg, size_t* length)
{
    if (svg != nullptr) {
        *svg = nullptr;
    }
    if (image == nullptr || svg == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    return reportAndMap(image, nullptr, nullptr, svg, length, true);
}

d88_status d88_report_and_map(d88_image* image, char** json, size_t* json_length, char** svg, size_t* svg_length)
{
    if (json != nullptr) {
        *json = nullptr;
    }
    if (svg != nullptr) {
        *svg = nullptr;
    }
    if (image == nullptr || json == nullptr || svg == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    return reportAndMap(image, json, json_length, svg, svg_length, false);
}

d88_status d88_report(d88_image* image, d88_report_tracks tracks, char** json, size_t* json_length, char** svg,
                      size_t* svg_length)
{
    if (json != nullptr) {
        *json = nullptr;
    }
    if (svg != nullptr) {
        *svg = nullptr;
    }
    const int detail = passedValue(tracks);
    if (image == nullptr || (json == nullptr && svg == nullptr) ||
        (detail != D88_TRACKS_LISTED && detail != D88_TRACKS_COUNTED)) {
        return D88_ERR_ARGUMENT;
    }
    return reportAndMap(image, json, json_length, svg, svg_length, false,
                        detail == D88_TRACKS_COUNTED ? TrackList::Counted : TrackList::Listed);
}

void d88_text_free(char* text)
{
    std::free(text);
}

}  // extern "C"
