// Shift-JIS text (code page 932) as UTF-8, decoded with what the platform
// has: iconv where there is one, the Windows code-page functions on
// Windows, the browser's decoder in WebAssembly. Disk names of the field's
// dumps are Shift-JIS more often than ASCII.
#ifndef SURVEY_SHIFT_JIS_H
#define SURVEY_SHIFT_JIS_H

#include <string>
#include <string_view>

// True, with utf8 set, when bytes decode as Shift-JIS throughout; false when
// they do not (a byte sequence the code page lacks) or no decoder is at hand.
bool decodeShiftJis(std::string_view bytes, std::string& utf8);

#endif
