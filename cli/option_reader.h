// A program's command line read one argument at a time, as d88info and
// d88cut read theirs: options from a table, the rest operands, "--" the end
// of the options, and a usage error said the one way both programs say it.
#ifndef CLI_OPTION_READER_H
#define CLI_OPTION_READER_H

#include <cstddef>
#include <string>
#include <vector>

// Says "PROGRAM: what" and where to find help, on standard error.
void sayUsageError(const char* program, const std::string& what);

struct OptionRule {
    char shortName;        // -x; 0 for none
    const char* longName;  // --name, without the dashes; null for none
    const char* needs;     // for one that takes a value, what it needs ("a folder"); null for a flag
};

// How a program reads its options beyond what both share.
struct OptionStyle {
    bool bundled;         // short options run together (-nq), a value right after its letter (-Cdir)
    bool attached;        // a long option's value after '=' (--name=value)
    bool emptyValues;     // a value may be the empty string
};

class OptionReader {
public:
    enum class Kind { Option, Operand, End, Error };

    OptionReader(const char* program, int argc, char** argv, std::vector<OptionRule> options, OptionStyle style);
    // Reads on: an option of the table (see option and value), an operand
    // (see value), the end of the command line, or a usage error, already
    // said on standard error.
    Kind next();
    std::size_t option() const { return option_; }  // its index in the table
    const std::string& value() const { return value_; }

private:
    void usageError(const std::string& what) const { sayUsageError(program_, what); }
    Kind longOption(const std::string& argument);
    Kind shortOption(char letter, const std::string& argument, std::size_t& at);
    Kind takeValue(std::size_t option, const std::string& said, const std::string* attached);

    const char* program_;
    int argc_;
    char** argv_;
    std::vector<OptionRule> options_;
    OptionStyle style_;
    int next_ = 1;
    bool optionsEnd_ = false;
    std::string bundle_;         // short options still to read, with their dash
    std::size_t bundleAt_ = 0;   // the next letter of bundle_
    std::size_t option_ = 0;
    std::string value_;
};

#endif
