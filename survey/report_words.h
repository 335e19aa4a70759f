// Numbers as every report writes them, in one place: offsets in hex
// ("0x2b0") and counts with their noun ("1 track", "12 tracks").
#ifndef SURVEY_REPORT_WORDS_H
#define SURVEY_REPORT_WORDS_H

#include <string>

inline std::string hexText(unsigned long long value)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

inline std::string counted(unsigned long long count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

#endif
