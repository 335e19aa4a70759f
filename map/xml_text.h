// Text and numbers put into an XML document as it is written.
#ifndef MAP_XML_TEXT_H
#define MAP_XML_TEXT_H

#include <charconv>
#include <string>
#include <string_view>

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

#endif
