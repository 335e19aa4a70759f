#include "file_names.h"

#include "unique_names.h"

#include <algorithm>
#include <cctype>

namespace {

void appendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string asciiOnly(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        out += static_cast<unsigned char>(c) < 0x80 ? c : '_';
    }
    return out;
}

bool unsafe(unsigned char c, bool windows)
{
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') {
        return true;
    }
    return windows && std::string_view(":*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string folded(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

}  // namespace

std::string hexOf(const unsigned char* bytes, std::size_t size)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

std::string_view trimmed(std::string_view bytes)
{
    while (!bytes.empty() && bytes.back() == ' ') {
        bytes.remove_suffix(1);
    }
    return bytes;
}

std::string decodeJisX0201(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b == 0x5C) {
            appendUtf8(out, 0xA5);
        } else if (b == 0x7E) {
            appendUtf8(out, 0x203E);
        } else if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else if (b >= 0xA1 && b <= 0xDF) {
            appendUtf8(out, 0xFF61 + (b - 0xA1));
        } else {
            out += '_';
        }
    }
    return out;
}

std::string decodeShiftJisName(std::string_view bytes, const NameRules& rules)
{
    std::string utf8;
    if (rules.decodeShiftJis != nullptr && rules.decodeShiftJis(bytes, utf8)) {
        return utf8;
    }
    return asciiOnly(bytes);
}

std::string safeName(const std::string& name, const std::string& extension, const NameRules& rules)
{
    std::string whole = extension.empty() ? name : name + "." + extension;
    for (char& c : whole) {
        if (unsafe(static_cast<unsigned char>(c), rules.windows)) {
            c = '_';
        }
    }
    if (whole.find_first_not_of('.') == std::string::npos) {
        whole.assign(std::max<std::size_t>(whole.size(), 1), '_');
    }
    return whole;
}

std::string NamesInFolder::unique(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    const std::string given = UniqueNames().give(
        stem, [&](const std::string& candidate) { return given_.count(folded(candidate + extension)) > 0; });
    given_.insert(folded(given + extension));
    return given + extension;
}
