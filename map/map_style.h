// How the map looks: a drawing for each record state, in a colour of the
// Okabe-Ito palette (distinct for the common forms of colour blindness)
// with a mark of its own over it, so that colour is not all that tells the
// states apart; a drawing for each kind of area a whole record lies in; the
// style sheet, light or dark as the viewer prefers; the sizes of text and
// cells; and the other shapes the legend explains.
#ifndef MAP_MAP_STYLE_H
#define MAP_MAP_STYLE_H

#include "image_map.h"
#include "record_state.h"

#include <string>
#include <string_view>
#include <vector>

// The id of the state's cell drawing, which each cell uses; a whole
// record's is that of a record in no known area.
const char* stateSymbol(RecordState state);
// What the legend says the state means.
const char* stateLegend(RecordState state);
// The drawing of a whole record in an area of kind; files side by side
// alternate between two shades (0 and 1).
const char* areaSymbol(MapAreaKind kind, int shade);
// What the legend says of a whole record in an area of kind, and the
// words of a cell's title for the area ("in the directory").
const char* areaLegend(MapAreaKind kind);
const char* areaWords(MapAreaKind kind);

// The <style> and <defs> of the document: the style sheet, the cell
// drawings and the patterns, appended to out.
void appendStyleAndDefinitions(std::string& out);

// A cell's size and the distance from one cell, and one row, to the next.
constexpr int kCellWidth = 14;
constexpr int kCellHeight = 10;
constexpr int kPitch = 16;
constexpr int kRowHeight = 14;

// Sizes of text, in pixels at 100 % zoom: none below 11.
constexpr int kTextSize = 12;       // the legend, the notes, a panel's lines
constexpr int kRowTextSize = 11;    // a row's label and note
constexpr int kHeadingSize = 13;    // a panel's heading, bold
constexpr int kTitleSize = 16;      // the map's heading, bold
constexpr int kLineHeight = 17;     // of kTextSize lines

// How wide words are drawn at size, at most, in the sans-serif fonts that
// viewers pick: the layout makes room by it, so that no text runs off the
// map or into a neighbour.
int textWidth(std::string_view words, int size, bool bold = false);

// Shapes other than cells, as the legend shows them: (id of a drawing, or
// a shape's markup) and what they mean.
struct LegendShape {
    std::string markup;
    std::string words;
};
// With an outline for the files of each way of taking files.
const std::vector<LegendShape>& legendShapes();

#endif
