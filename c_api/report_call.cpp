// The report d88info --json prints for one image, made by the same survey
// and JSON writer, into a buffer the caller frees.
#include "image_handle.h"

#include "image_survey.h"
#include "json_report.h"
#include "report_output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// The report's text in one buffer from malloc, grown as the writer hands it
// on in pieces; a buffer that cannot grow is remembered as ENOMEM.
class MallocText final : public ReportOutput {
public:
    MallocText() = default;
    MallocText(const MallocText&) = delete;
    MallocText& operator=(const MallocText&) = delete;
    ~MallocText() { std::free(text_); }

    bool write(std::string_view piece) override
    {
        if (error_ == 0 && !reserve(length_ + piece.size() + 1)) {
            error_ = ENOMEM;
        }
        if (error_ != 0) {
            return false;
        }
        std::memcpy(text_ + length_, piece.data(), piece.size());
        length_ += piece.size();
        text_[length_] = '\0';
        return true;
    }
    bool flush() override { return error_ == 0; }
    int error() const override { return error_; }

    // Hands the buffer over, NUL-terminated, with its length.
    char* release(std::size_t& length)
    {
        if (!reserve(1)) {
            return nullptr;
        }
        char* text = text_;
        length = length_;
        text_ = nullptr;
        return text;
    }

private:
    bool reserve(std::size_t size)
    {
        if (size <= capacity_) {
            return true;
        }
        std::size_t capacity = capacity_ < 4096 ? 4096 : capacity_ * 2;
        capacity = capacity < size ? size : capacity;
        char* grown = static_cast<char*>(std::realloc(text_, capacity));
        if (grown == nullptr) {
            return false;
        }
        if (text_ == nullptr) {
            grown[0] = '\0';
        }
        text_ = grown;
        capacity_ = capacity;
        return true;
    }

    char* text_ = nullptr;
    std::size_t length_ = 0;
    std::size_t capacity_ = 0;
    int error_ = 0;
};

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
    MallocText text;
    JsonReport report(text);
    ImageSurvey survey(report);
    survey.survey(image->input);
    report.finish();
    std::size_t made = 0;
    *json = text.error() == 0 ? text.release(made) : nullptr;
    if (*json == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the report");
    }
    if (length != nullptr) {
        *length = made;
    }
    return succeed(image);
}

void d88_text_free(char* text)
{
    std::free(text);
}

}  // extern "C"
