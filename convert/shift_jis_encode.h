// UTF-8 text as Shift-JIS (code page 932) bytes, for a disk's name, with
// what the platform has: iconv, or the Windows code-page functions; ASCII
// needs neither.
#ifndef CONVERT_SHIFT_JIS_ENCODE_H
#define CONVERT_SHIFT_JIS_ENCODE_H

#include <string>

// True, with bytes set, when every character of utf8 has a Shift-JIS code.
bool encodeShiftJis(const std::string& utf8, std::string& bytes);

#endif
