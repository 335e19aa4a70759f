#include "text_layout.h"

#include <algorithm>

namespace {

struct Character {
    std::size_t bytes;
    int columns;
};

bool wide(unsigned codePoint)
{
    return (codePoint >= 0x1100 && codePoint <= 0x115F) || (codePoint >= 0x2E80 && codePoint <= 0xA4CF) ||
           (codePoint >= 0xAC00 && codePoint <= 0xD7A3) || (codePoint >= 0xF900 && codePoint <= 0xFAFF) ||
           (codePoint >= 0xFE30 && codePoint <= 0xFE4F) || (codePoint >= 0xFF00 && codePoint <= 0xFF60) ||
           (codePoint >= 0xFFE0 && codePoint <= 0xFFE6) || (codePoint >= 0x20000 && codePoint <= 0x3FFFD);
}

// The character at text[at]: a UTF-8 sequence, or a lone byte that is not one.
Character characterAt(std::string_view text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || at + length > text.size()) {
        return {1, 1};
    }
    unsigned codePoint = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {1, 1};
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return {length, wide(codePoint) ? 2 : 1};
}

}  // namespace

int displayColumns(std::string_view text)
{
    int columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = characterAt(text, at);
        columns += character.columns;
        at += character.bytes;
    }
    return columns;
}

void appendWrapped(std::string& out, std::string_view text, int indent, int hang)
{
    out.append(static_cast<std::size_t>(indent), ' ');
    int column = indent;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t spaces = at;
        while (spaces < text.size() && text[spaces] == ' ') {
            ++spaces;
        }
        std::size_t end = text.find(' ', spaces);
        end = end == std::string_view::npos ? text.size() : end;
        const int gap = static_cast<int>(spaces - at);
        const int width = displayColumns(text.substr(spaces, end - spaces));
        if (column > hang && column + gap + width > kReportColumns) {
            out += '\n';
            out.append(static_cast<std::size_t>(hang), ' ');
            column = hang;
        } else {
            out.append(text.substr(at, spaces - at));
            column += gap;
        }
        const std::size_t from = out.size();
        if (column + width <= kReportColumns) {
            out.append(text.substr(spaces, end - spaces));
            std::replace(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), kNoBreak, ' ');
            column += width;
            at = end;
            continue;
        }
        // A word wider than what is left of the line is broken where it ends.
        for (std::size_t i = spaces; i < end;) {
            const Character character = characterAt(text, i);
            if (column + character.columns > kReportColumns && column > hang) {
                out += '\n';
                out.append(static_cast<std::size_t>(hang), ' ');
                column = hang;
            }
            out.append(text[i] == kNoBreak ? std::string_view(" ") : text.substr(i, character.bytes));
            column += character.columns;
            i += character.bytes;
        }
        at = end;
    }
    out += '\n';
}
