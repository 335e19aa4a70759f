#include "json_value.h"

#include "parse_error.h"

#include <cstdlib>
#include <set>

namespace jsontest {

namespace {

class Parser {
public:
    // With keep false the parser only checks the text: values are read and
    // dropped, so that a large document costs no memory.
    Parser(const std::string& text, bool keep) : text_(text), keep_(keep) {}

    bool document(Value& value)
    {
        space();
        if (!parseValue(value, 0)) {
            return false;
        }
        space();
        return at_ == text_.size() || fail("text after the document");
    }
    const std::string& error() const { return error_.text; }

private:
    bool fail(const std::string& what) { return error_.fail(what, at_); }
    void space()
    {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
            ++at_;
        }
    }
    bool literal(const char* word)
    {
        const std::string expected = word;
        if (text_.compare(at_, expected.size(), expected) != 0) {
            return fail("an unknown word");
        }
        at_ += expected.size();
        return true;
    }
    bool parseValue(Value& value, int depth)
    {
        if (depth > 64) {
            return fail("nesting too deep");
        }
        if (at_ >= text_.size()) {
            return fail("the end of the text where a value belongs");
        }
        switch (text_[at_]) {
        case '{':
            return object(value, depth);
        case '[':
            return array(value, depth);
        case '"':
            value.type = Value::Type::String;
            return string(value.text);
        case 't':
            value.type = Value::Type::Bool;
            value.boolean = true;
            return literal("true");
        case 'f':
            value.type = Value::Type::Bool;
            return literal("false");
        case 'n':
            return literal("null");
        default:
            return number(value);
        }
    }
    bool object(Value& value, int depth)
    {
        value.type = Value::Type::Object;
        std::set<std::string> names;
        ++at_;
        space();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        while (true) {
            space();
            std::string name;
            if (at_ >= text_.size() || text_[at_] != '"' || !string(name)) {
                return fail("a member name expected");
            }
            space();
            if (at_ >= text_.size() || text_[at_] != ':') {
                return fail("':' expected");
            }
            ++at_;
            space();
            Value member;
            if (!parseValue(member, depth + 1)) {
                return false;
            }
            if (!names.insert(name).second) {
                return fail("a member named twice: " + name);
            }
            if (keep_) {
                value.members.emplace(name, std::move(member));
            }
            space();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                return true;
            }
            return fail("',' or '}' expected");
        }
    }
    bool array(Value& value, int depth)
    {
        value.type = Value::Type::Array;
        ++at_;
        space();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        while (true) {
            space();
            Value item;
            if (!parseValue(item, depth + 1)) {
                return false;
            }
            if (keep_) {
                value.items.push_back(std::move(item));
            }
            space();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']') {
                ++at_;
                return true;
            }
            return fail("',' or ']' expected");
        }
    }
    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    }
    void putUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    bool hex4(unsigned& code)
    {
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = at_ < text_.size() ? hexDigit(text_[at_]) : -1;
            if (digit < 0) {
                return fail("a \\u escape without four hex digits");
            }
            code = code * 16 + static_cast<unsigned>(digit);
            ++at_;
        }
        return true;
    }
    // A valid UTF-8 sequence at at_, copied to out.
    bool utf8(std::string& out)
    {
        const unsigned char lead = static_cast<unsigned char>(text_[at_]);
        std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || at_ + length > text_.size()) {
            return fail("bytes that are not UTF-8");
        }
        unsigned code = lead & (0xFF >> (length + 1));
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(text_[at_ + i]);
            if ((next & 0xC0) != 0x80) {
                return fail("bytes that are not UTF-8");
            }
            code = (code << 6) | (next & 0x3F);
        }
        const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return fail("bytes that are not UTF-8");
        }
        out.append(text_, at_, length);
        at_ += length;
        return true;
    }
    bool string(std::string& out)
    {
        ++at_;
        while (at_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20) {
                return fail("a control character in a string");
            }
            if (c >= 0x80) {
                if (!utf8(out)) {
                    return false;
                }
                continue;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++at_;
                continue;
            }
            if (++at_ >= text_.size()) {
                break;
            }
            const char escape = text_[at_++];
            const std::string simple = "\"\\/bfnrt";
            const std::string meaning = "\"\\/\b\f\n\r\t";
            const std::size_t which = simple.find(escape);
            if (which != std::string::npos) {
                out += meaning[which];
                continue;
            }
            if (escape != 'u') {
                return fail("an unknown escape");
            }
            unsigned code = 0;
            if (!hex4(code)) {
                return false;
            }
            if (code >= 0xD800 && code <= 0xDBFF) {
                unsigned low = 0;
                if (text_.compare(at_, 2, "\\u") != 0 || (at_ += 2, !hex4(low)) || low < 0xDC00 || low > 0xDFFF) {
                    return fail("a lone surrogate");
                }
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else if (code >= 0xDC00 && code <= 0xDFFF) {
                return fail("a lone surrogate");
            }
            putUtf8(out, code);
        }
        return fail("a string without its end");
    }
    bool number(Value& value)
    {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        const auto digits = [&] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
                ++at_;
            }
            return at_ - from;
        };
        const std::size_t intStart = at_;
        if (digits() == 0 || (text_[intStart] == '0' && at_ - intStart > 1)) {
            return fail("not a value");
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (digits() == 0) {
                return fail("a fraction without digits");
            }
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
            }
            if (digits() == 0) {
                return fail("an exponent without digits");
            }
        }
        value.type = Value::Type::Number;
        value.number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
        return true;
    }

    const std::string& text_;
    bool keep_;
    std::size_t at_ = 0;
    ParseError error_;
};

const Value kNull;

}  // namespace

const Value& Value::operator[](const std::string& name) const
{
    const auto member = members.find(name);
    return member == members.end() ? kNull : member->second;
}

bool valid(const std::string& text, std::string& error)
{
    Parser parser(text, false);
    Value value;
    if (!parser.document(value)) {
        error = parser.error();
        return false;
    }
    return true;
}

bool parse(const std::string& text, Value& value, std::string& error)
{
    Parser parser(text, true);
    value = Value{};
    if (!parser.document(value)) {
        error = parser.error();
        return false;
    }
    return true;
}

}  // namespace jsontest
