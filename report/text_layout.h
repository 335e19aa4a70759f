// The lines of the text report: at most 80 terminal columns each, text that
// is longer wrapped at its spaces onto lines with an indent.
#ifndef REPORT_TEXT_LAYOUT_H
#define REPORT_TEXT_LAYOUT_H

#include <string>
#include <string_view>

constexpr int kReportColumns = 80;

// The terminal columns text takes: two for a character of the wide East
// Asian ranges (kanji, kana, full-width forms), one for any other character
// and for each byte that is not part of UTF-8.
int displayColumns(std::string_view text);

// A space that does not break a line, as between a number and its unit;
// written as a space.
constexpr char kNoBreak = '\x1f';

// Appends text, which holds no newline, as lines of at most kReportColumns
// columns, each ended by a newline: the first indented by indent spaces,
// the others by hang. Lines break at spaces; a word wider than a line is
// broken where the line ends.
void appendWrapped(std::string& out, std::string_view text, int indent, int hang);

#endif
