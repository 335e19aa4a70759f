#include "json_writer.h"

#include <charconv>

// Overlong forms, surrogates and values beyond U+10FFFF are not valid.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

void appendJsonEscaped(std::string& out, std::string_view text)
{
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const std::size_t length = utf8SequenceLength(text, i);
            if (length == 0) {
                out += "\\ufffd";
                ++i;
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        ++i;
    }
}

void JsonWriter::newline(int depth)
{
    out_ += '\n';
    out_.append(static_cast<std::size_t>(2 * depth), ' ');
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (depth_ == 0) {
        return;
    }
    if (!first_) {
        out_ += ',';
        if (depth_ > wrapDepth_) {
            out_ += ' ';
        }
    }
    if (depth_ <= wrapDepth_) {
        newline(depth_);
    }
    first_ = false;
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    out_ += bracket;
    ++depth_;
    first_ = true;
}

void JsonWriter::close(char bracket)
{
    --depth_;
    if (depth_ < wrapDepth_ && !first_) {
        newline(depth_);
    }
    out_ += bracket;
    first_ = false;
    if (depth_ == 0) {
        out_ += '\n';
    }
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    out_ += '"';
    out_ += name;
    out_ += "\": ";
    afterKey_ = true;
}

void JsonWriter::value(std::string_view text)
{
    beforeValue();
    out_ += '"';
    appendJsonEscaped(out_, text);
    out_ += '"';
}

void JsonWriter::value(long long number)
{
    beforeValue();
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out_.append(digits, result.ptr);
}

void JsonWriter::value(unsigned long long number)
{
    beforeValue();
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out_.append(digits, result.ptr);
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    out_ += flag ? "true" : "false";
}

void JsonWriter::raw(std::string_view json)
{
    beforeValue();
    out_ += json;
}

void JsonWriter::null()
{
    beforeValue();
    out_ += "null";
}

void JsonWriter::hex(const unsigned char* bytes, std::size_t size)
{
    static const char kHex[] = "0123456789abcdef";
    beforeValue();
    out_ += '"';
    for (std::size_t i = 0; i < size; ++i) {
        out_ += kHex[bytes[i] >> 4];
        out_ += kHex[bytes[i] & 0xF];
    }
    out_ += '"';
}

void JsonWriter::pathMember(std::string_view name, std::string_view hexName, const std::string& path)
{
    member(name, path);
    if (!isValidUtf8(path)) {
        key(hexName);
        hex(reinterpret_cast<const unsigned char*>(path.data()), path.size());
    }
}
