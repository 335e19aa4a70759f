#include "option_reader.h"

#include <cstdio>
#include <utility>

OptionReader::OptionReader(const char* program, int argc, char** argv, std::vector<OptionRule> options,
                           OptionStyle style)
    : program_(program), argc_(argc), argv_(argv), options_(std::move(options)), style_(style)
{
}

void sayUsageError(const char* program, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, what.c_str(), program);
}

OptionReader::Kind OptionReader::next()
{
    if (bundleAt_ < bundle_.size()) {
        return shortOption(bundle_[bundleAt_], bundle_, bundleAt_);
    }
    value_.clear();
    while (next_ < argc_) {
        const std::string argument = argv_[next_++];
        if (optionsEnd_ || argument.size() < 2 || argument[0] != '-') {
            value_ = argument;
            return Kind::Operand;
        }
        if (argument == "--") {
            optionsEnd_ = true;
            continue;
        }
        if (argument[1] == '-') {
            return longOption(argument);
        }
        if (!style_.bundled) {
            for (std::size_t i = 0; i < options_.size(); ++i) {
                if (argument.size() == 2 && options_[i].shortName == argument[1]) {
                    std::size_t at = 1;
                    return shortOption(argument[1], argument, at);
                }
            }
            usageError("unknown option '" + argument + "'");
            return Kind::Error;
        }
        bundle_ = argument;
        bundleAt_ = 1;
        return shortOption(bundle_[1], bundle_, bundleAt_);
    }
    return Kind::End;
}

OptionReader::Kind OptionReader::longOption(const std::string& argument)
{
    const std::size_t equals = style_.attached ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const OptionRule& rule = options_[i];
        const bool flagWithValue = rule.needs == nullptr && equals != std::string::npos;
        if (rule.longName == nullptr || name != rule.longName || flagWithValue) {
            continue;
        }
        if (rule.needs == nullptr) {
            option_ = i;
            return Kind::Option;
        }
        const std::string attached = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
        return takeValue(i, "--" + name, equals == std::string::npos ? nullptr : &attached);
    }
    usageError("unknown option '" + argument + "'");
    return Kind::Error;
}

// The letter at argument[at]; at moves past what the option takes.
OptionReader::Kind OptionReader::shortOption(char letter, const std::string& argument, std::size_t& at)
{
    ++at;
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i].shortName != letter) {
            continue;
        }
        if (options_[i].needs == nullptr) {
            option_ = i;
            return Kind::Option;
        }
        const std::string rest = argument.substr(at);
        at = argument.size();
        return takeValue(i, std::string("-") + letter, rest.empty() ? nullptr : &rest);
    }
    at = argument.size();
    usageError("unknown option '-" + std::string(1, letter) + "'");
    return Kind::Error;
}

// The option's value: attached to it, or the next argument, whatever it is.
OptionReader::Kind OptionReader::takeValue(std::size_t option, const std::string& said, const std::string* attached)
{
    if (attached != nullptr) {
        value_ = *attached;
    } else if (next_ < argc_ && (style_.emptyValues || argv_[next_][0] != '\0')) {
        value_ = argv_[next_++];
    } else {
        usageError("option '" + said + "' needs " + options_[option].needs);
        return Kind::Error;
    }
    option_ = option;
    return Kind::Option;
}
