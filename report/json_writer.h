// Writes JSON text into a string, one value at a time, with the commas,
// the escaping and the layout taken care of: containers down to a chosen
// depth put each element on a line of its own, deeper ones stay on one
// line. Numbers are integers. Strings must be UTF-8; a byte that is not
// part of a valid sequence is written as U+FFFD.
#ifndef REPORT_JSON_WRITER_H
#define REPORT_JSON_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class JsonWriter {
public:
    // Elements of containers nested at most wrapDepth deep (the outermost is
    // 1) each start a new, indented line.
    JsonWriter(std::string& out, int wrapDepth) : out_(out), wrapDepth_(wrapDepth) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    // The key of the next member of the object being written: a name of
    // the program's own, written as it stands (nothing in it is escaped).
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(long long number);
    void value(unsigned long long number);
    void value(int number) { value(static_cast<long long>(number)); }
    void value(unsigned number) { value(static_cast<unsigned long long>(number)); }
    void value(long number) { value(static_cast<long long>(number)); }
    void value(unsigned long number) { value(static_cast<unsigned long long>(number)); }
    void value(bool flag);
    void null();
    // A value already written as JSON, put in as it stands.
    void raw(std::string_view json);
    // bytes as a string of two lowercase hex digits each.
    void hex(const unsigned char* bytes, std::size_t size);

    // Shorthands for a member, and for one whose value may be null.
    template <typename T>
    void member(std::string_view name, const T& v)
    {
        key(name);
        value(v);
    }
    template <typename T>
    void memberOrNull(std::string_view name, bool present, const T& v)
    {
        key(name);
        if (present) {
            value(v);
        } else {
            null();
        }
    }

    // A path: the member name as UTF-8 text and, where the path is not valid
    // UTF-8 (a Shift-JIS file name on Linux), also the member hexName with
    // its exact bytes, so that nothing of it is lost.
    void pathMember(std::string_view name, std::string_view hexName, const std::string& path);

private:
    void open(char bracket);
    void close(char bracket);
    void beforeValue();
    void newline(int depth);

    std::string& out_;
    int wrapDepth_;
    int depth_ = 0;
    bool first_ = true;     // nothing written yet in the current container
    bool afterKey_ = false;
};

// Whether text is valid UTF-8 throughout.
bool isValidUtf8(std::string_view text);

// The length of the valid UTF-8 sequence of two or more bytes that starts
// at text[at], or 0 when none does there.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

// text as the contents of a JSON string (without the quotes), appended to out.
void appendJsonEscaped(std::string& out, std::string_view text);

#endif
