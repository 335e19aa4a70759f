// The first failure of a parse and where it happened; later ones, which
// only follow from it, add nothing.
#ifndef TOOLS_PARSE_ERROR_H
#define TOOLS_PARSE_ERROR_H

#include <cstddef>
#include <string>

struct ParseError {
    std::string text;
    bool fail(const std::string& what, std::size_t at)
    {
        if (text.empty()) {
            text = what + " at byte " + std::to_string(at);
        }
        return false;
    }
};

#endif
