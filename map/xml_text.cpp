#include "xml_text.h"

#include "json_writer.h"

namespace {

void appendByte(std::string& out, unsigned char byte)
{
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// The characters XML 1.0 cannot hold above U+007F: U+FFFE and U+FFFF
// (surrogates are no valid UTF-8 in the first place).
bool isNonCharacter(std::string_view sequence)
{
    return sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF";
}

}  // namespace

void appendXmlText(std::string& out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8SequenceLength(text, i);
            if (length != 0 && !isNonCharacter(text.substr(i, length))) {
                out.append(text.substr(i, length));
                i += length;
                continue;
            }
            appendByte(out, c);
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c < 0x20 || c == 0x7F) {
            appendByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
}
