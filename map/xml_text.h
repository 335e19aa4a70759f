// Text and numbers put into an XML document as it is written.
#ifndef MAP_XML_TEXT_H
#define MAP_XML_TEXT_H

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

// Appends text as character data or as a double-quoted attribute's value:
// &, <, > and " escaped. Any bytes give well-formed XML: a byte that is not
// part of valid UTF-8 and a character XML cannot hold (a control character,
// U+FFFE, U+FFFF) are shown as \xHH.
void appendXmlText(std::string& out, std::string_view text);

// Appends an integer in decimal.
template <typename T>
void appendNumber(std::string& out, T value)
{
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Markup of a bounded length put together in place and handed on in one
// piece: most of a map is its cells, tens of thousands of them, and this
// spares each its many small appends. Text that does not fit is cut off, so
// callers keep to what they know fits.
class Markup {
public:
    static constexpr std::size_t kSize = 512;
    // Puts text as it stands: markup, or text known to need no escaping.
    Markup& operator<<(std::string_view text)
    {
        const std::size_t length = std::min(text.size(), static_cast<std::size_t>(text_ + kSize - end_));
        std::memcpy(end_, text.data(), length);
        end_ += length;
        return *this;
    }
    Markup& operator<<(char c) { return *this << std::string_view(&c, 1); }
    // An integer in decimal.
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
    Markup& operator<<(T value)
    {
        const std::to_chars_result result = std::to_chars(end_, text_ + kSize, value);
        end_ = result.ec == std::errc() ? result.ptr : end_;
        return *this;
    }
    std::string_view text() const { return {text_, static_cast<std::size_t>(end_ - text_)}; }

private:
    char text_[kSize];
    char* end_ = text_;
};

#endif
