// A strict JSON parser for the tests and the fuzzers: it reads what the
// programs write, so that a test can look into a report or a manifest, and
// refuses anything that is not valid JSON (RFC 8259), with where it failed.
#ifndef ORACLES_JSON_VALUE_H
#define ORACLES_JSON_VALUE_H

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace jsontest {

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Value> items;              // an array's elements
    std::map<std::string, Value> members;  // an object's members

    bool isNull() const { return type == Type::Null; }
    // The member name of an object; a null value when there is none.
    const Value& operator[](const std::string& name) const;
    const Value& operator[](std::size_t index) const { return items.at(index); }
    long long integer() const { return static_cast<long long>(number); }
};

// Parses text as one JSON document; on failure returns false and says why
// and where in error.
bool parse(const std::string& text, Value& value, std::string& error);

// Only checks that text is one valid JSON document, keeping nothing of it.
bool valid(const std::string& text, std::string& error);

}  // namespace jsontest

#endif
