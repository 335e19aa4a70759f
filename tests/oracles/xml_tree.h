// A strict XML reader for the tests and the fuzzers: it reads the maps the
// programs draw, so that a test can look into them, and refuses anything
// that is not well-formed XML 1.0 with namespaces (tags that do not match,
// an attribute twice, a bad reference, a character XML cannot hold, a
// prefix not declared), with where it failed. A document type declaration
// is refused as well: the maps have none, and so no external reference.
#ifndef TOOLS_XML_TREE_H
#define TOOLS_XML_TREE_H

#include <string>
#include <utility>
#include <vector>

namespace xmltest {

struct Element {
    std::string name;  // as written, prefix included
    std::vector<std::pair<std::string, std::string>> attributes;  // values with references resolved
    std::vector<Element> children;
    std::string text;  // the character data directly inside, joined

    // The value of an attribute; null when there is none.
    const std::string* attribute(const std::string& name) const;
    // The text of the first child of that name; empty when there is none.
    std::string childText(const std::string& name) const;
};

// Parses text as one document; on failure returns false and says why and
// where in error.
bool parse(const std::string& text, Element& root, std::string& error);

// Only checks that text is well-formed, keeping nothing of it.
bool wellFormed(const std::string& text, std::string& error);

}  // namespace xmltest

#endif
