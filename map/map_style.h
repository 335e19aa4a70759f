// How the map looks: a drawing for each record state, in a colour of the
// Okabe-Ito palette (distinct for the common forms of colour blindness)
// with a mark of its own over it, so that colour is not all that tells the
// states apart; the style sheet; and the other shapes the legend explains.
#ifndef MAP_MAP_STYLE_H
#define MAP_MAP_STYLE_H

#include "record_state.h"

#include <string>
#include <vector>

// The id of the state's cell drawing, which each cell uses.
const char* stateSymbol(RecordState state);
// What the legend says the state means.
const char* stateLegend(RecordState state);

// The <style> and <defs> of the document: the style sheet, the cell
// drawings and the patterns, appended to out.
void appendStyleAndDefinitions(std::string& out);

// A cell's size and the distance from one cell, and one row, to the next.
constexpr int kCellWidth = 14;
constexpr int kCellHeight = 10;
constexpr int kPitch = 16;
constexpr int kRowHeight = 12;

// Shapes other than cells, as the legend shows them: (id of a drawing, or
// a shape's markup) and what they mean.
struct LegendShape {
    std::string markup;
    std::string words;
};
// With an outline for the files of each way of taking files.
const std::vector<LegendShape>& legendShapes();

#endif
