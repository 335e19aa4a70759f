// Where a program's report goes: standard output for the programs, memory,
// a collector or a discarder for the fuzz entry points.
#ifndef REPORT_REPORT_OUTPUT_H
#define REPORT_REPORT_OUTPUT_H

#include <cstdio>
#include <string>
#include <string_view>

class ReportOutput {
public:
    // Takes the next piece of the report; false once anything could not be
    // written.
    virtual bool write(std::string_view text) = 0;
    // Passes on what was written so far; false once anything could not be
    // written.
    virtual bool flush() = 0;
    // The error number of the first failure; 0 when none.
    virtual int error() const = 0;

protected:
    ~ReportOutput() = default;
};

// A report written to a stream, with its first failure remembered.
class StreamOutput final : public ReportOutput {
public:
    explicit StreamOutput(std::FILE* stream) : stream_(stream) {}
    bool write(std::string_view text) override;
    bool flush() override;
    int error() const override { return error_; }

private:
    std::FILE* stream_;
    int error_ = 0;
};

// A report kept in memory, as one text.
class StringOutput final : public ReportOutput {
public:
    bool write(std::string_view text) override
    {
        text_.append(text);
        return true;
    }
    bool flush() override { return true; }
    int error() const override { return 0; }
    std::string& text() { return text_; }

private:
    std::string text_;
};

// Text gathered for a report and handed on in large pieces.
class ReportText {
public:
    explicit ReportText(ReportOutput& output) : output_(output) {}
    std::string& text() { return text_; }
    // Hands the text on once it has grown past 64 KiB.
    void flushIfLarge()
    {
        if (text_.size() >= 64 * 1024) {
            flush();
        }
    }
    void flush()
    {
        output_.write(text_);
        text_.clear();
    }

private:
    ReportOutput& output_;
    std::string text_;
};

#endif
