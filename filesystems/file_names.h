// File names as the disks store them, made into names a host can hold:
// decoded to UTF-8 (the BASICs' JIS X 0201 with half-width kana; FAT12's
// Shift-JIS through a decoder the caller passes), characters no file system
// takes replaced, and duplicates within a folder made unique.
#ifndef FILESYSTEMS_FILE_NAMES_H
#define FILESYSTEMS_FILE_NAMES_H

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

// Decodes Shift-JIS to UTF-8; false when the bytes do not decode.
using ShiftJisDecoder = bool (*)(std::string_view bytes, std::string& utf8);

struct NameRules {
    ShiftJisDecoder decodeShiftJis = nullptr;  // null: every byte past ASCII is replaced
#ifdef _WIN32
    bool windows = true;                       // also replace : * ? " < > |
#else
    bool windows = false;
#endif
};

// "4E414D45": the bytes in upper-case hex.
std::string hexOf(const unsigned char* bytes, std::size_t size);

// The bytes without their trailing spaces.
std::string_view trimmed(std::string_view bytes);

// JIS X 0201: ASCII, with the yen sign at 0x5C and the overline at 0x7E, and
// half-width katakana at 0xA1-0xDF; the machines' graphic characters
// (0x80-0xA0, 0xE0-0xFF) and control bytes become '_'.
std::string decodeJisX0201(std::string_view bytes);

// Shift-JIS through the rules' decoder; bytes it cannot decode, or all
// bytes past ASCII when there is none, become '_'.
std::string decodeShiftJisName(std::string_view bytes, const NameRules& rules);

// name, or name.ext when there is an extension, with '/', '\', control
// characters (and on Windows : * ? " < > |) replaced by '_'; a name that is
// empty or only dots becomes '_' for each (never "." or "..").
std::string safeName(const std::string& name, const std::string& extension, const NameRules& rules);

// The names given in one folder: a name already given (compared without
// case, as FAT and the hosts that ignore case do) becomes NAME-2.EXT,
// NAME-3.EXT, ...
class NamesInFolder {
public:
    std::string unique(const std::string& name);

private:
    std::set<std::string> given_;
};

#endif
