#include "map_style.h"

#include "cutter.h"

#include <cstring>

namespace {

struct CellStyle {
    const char* id;
    const char* colour;
    const char* mark;
    const char* legend;
};

// In the order of RecordState; a whole record's drawing is that of a
// record in no known area, pale so that the areas stand out.
const CellStyle kStyles[kRecordStateCount] = {
    {"m", "#D55E00", "<path d=\"M3,2L11,8M11,2L3,8\" stroke=\"#fff\" stroke-width=\"1.6\"/>",
     "missing: the file ends before its data"},
    {"s", "#E69F00", "<rect x=\"7\" y=\".5\" width=\"6.5\" height=\"9\" fill=\"#fff\"/>",
     "short: the file ends inside its data"},
    {"b", "#CC79A7", "<path d=\"M3,5H11\" stroke=\"#fff\" stroke-width=\"2\"/>",
     "bad status: it read badly when dumped"},
    {"d", "#0072B2", "<path d=\"M5,2V8M9,2V8\" stroke=\"#fff\" stroke-width=\"1.6\"/>",
     "duplicate ID: an earlier record has it"},
    {"x", "#F0E442", "<path d=\"M3,9L11,1\" stroke=\"#000\"/>", "deleted-data mark"},
    {"e", "#FFFFFF", "<path d=\"M3,5H11\" stroke=\"#000\" stroke-dasharray=\"1,1\"/>", "empty: no data"},
    {"o", "#56B4E9", "<circle cx=\"7\" cy=\"5\" r=\"2\"/>", "data length other than 128 << N"},
    {"w", "#B7E4D3", "", "whole, in no area known of the disk"},
};

// In the order of MapAreaKind; a file's two shades are a lighter and a darker
// green, told apart by lightness alone.
struct AreaStyle {
    CellStyle shades[2];
    const char* words;
};
const AreaStyle kAreas[kMapAreaKindCount] = {
    {{{"ks", "#8A8A8A", "<rect x=\"4\" y=\"2.5\" width=\"6\" height=\"5\" fill=\"none\" stroke=\"#fff\"/>",
       "whole, in the system area (boot, parameters)"},
      {}},
     "in the system area"},
    {{{"kd", "#332288", "<path d=\"M3,3.5H11M3,6.5H11\" stroke=\"#fff\"/>", "whole, in the directory"}, {}},
     "in the directory"},
    {{{"ka", "#882255", "<path d=\"M5,1V9M9,1V9M2,5H12\" stroke=\"#fff\" stroke-width=\".8\"/>",
       "whole, in the allocation table"},
      {}},
     "in the allocation table"},
    {{{"kf", "#009E73", "", "whole, in a file (files side by side alternate two greens)"},
      {"kg", "#00664A", "", ""}},
     "in a file"},
};

// Colours that follow the viewer's scheme are set here, not on the shapes
// (a rule outweighs a shape's own fill): on a dark map the pale green of a
// record in no known area is dimmed too.
const char kStyleSheet[] =
    "text{font-family:sans-serif;font-size:12px;fill:#1b1b1b}svg svg{overflow:visible}"
    "svg[data-track]>text,text.a{font-size:11px;text-anchor:end}text.a{fill:#6b6b6b}"
    "svg[data-track]>text.n{text-anchor:start}text.h{font-size:13px;font-weight:bold}"
    "text.t{font-size:16px;font-weight:bold}.eof{stroke:#D55E00;stroke-width:2}"
    "rect.bg{fill:#fff}rect.pe{fill:#ddd}path.u{stroke:#000}";
const char kDarkStyleSheet[] =
    "@media (prefers-color-scheme:dark){text{fill:#e8e8e6}text.a{fill:#a8a8a8}rect.bg{fill:#161719}"
    "rect.pe{fill:#3a3b3f}path.u{stroke:#ccc}#w>rect{fill:#3b6657}";

// An unusable track's hatching, and the mark of the sector where a file
// runs out of data: a black corner with a white edge.
const char kOtherDefinitions[] =
    "<pattern id=\"u\" patternUnits=\"userSpaceOnUse\" width=\"5\" height=\"5\">"
    "<path class=\"u\" d=\"M0,5L5,0\" stroke-width=\".8\"/></pattern>"
    "<path id=\"z\" d=\"M-2,-2H8L-2,8Z\" stroke=\"#fff\" stroke-width=\".8\"/>";

void appendCell(std::string& out, const CellStyle& style)
{
    out += "<g id=\"";
    out += style.id;
    out += "\"><rect width=\"14\" height=\"10\" stroke=\"#000\" stroke-width=\".5\" fill=\"";
    out += style.colour;
    out += "\"/>";
    out += style.mark;
    out += "</g>";
}

}  // namespace

const std::vector<LegendShape>& legendShapes()
{
    static const std::vector<LegendShape> shapes = [] {
        std::vector<LegendShape> made = {
            {"<rect width=\"14\" height=\"10\" fill=\"url(#u)\"/>", "a track not read: its offset lies beyond the disk"},
            {"<rect class=\"pe\" width=\"14\" height=\"10\"/>", "a track past the end of the file"},
            {"<path class=\"eof\" d=\"M7,-1V11\"/>", "where the file ends inside a track"},
        };
        for (std::size_t way = 0; way < cutterCount(); ++way) {
            const Cutter& cutter = cutterAt(way);
            made.push_back({std::string("<rect class=\"") + cutter.mapClass +
                                "\" x=\"-1\" y=\"-1\" width=\"16\" height=\"12\"/>",
                            cutter.mapLegend});
        }
        made.push_back({"<use l:href=\"#z\"/>", "a file's first missing sector: zeros, or no file, from there"});
        return made;
    }();
    return shapes;
}

namespace {

// The outlines of the ways' files: alike, but for what sets each apart;
// black on a light map, white on a dark one.
void appendFileOutlineStyles(std::string& out, const char* stroke)
{
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        out += way == 0 ? "." : ",.";
        out += cutterAt(way).mapClass;
    }
    out += std::string("{fill:none;stroke:") + stroke + ";stroke-width:1.5}";
}

}  // namespace

const char* stateSymbol(RecordState state)
{
    return kStyles[static_cast<int>(state)].id;
}

const char* stateLegend(RecordState state)
{
    return kStyles[static_cast<int>(state)].legend;
}

const char* areaSymbol(MapAreaKind kind, int shade)
{
    const AreaStyle& area = kAreas[static_cast<int>(kind)];
    return area.shades[shade == 1 && area.shades[1].id != nullptr ? 1 : 0].id;
}

const char* areaLegend(MapAreaKind kind)
{
    return kAreas[static_cast<int>(kind)].shades[0].legend;
}

const char* areaWords(MapAreaKind kind)
{
    return kAreas[static_cast<int>(kind)].words;
}

int textWidth(std::string_view words, int size, bool bold)
{
    // In hundredths of the size, a little over the widest of the common
    // sans-serif fonts for each class of letter; a byte of a longer UTF-8
    // sequence counts as a wide letter, which leaves room for CJK glyphs.
    std::size_t width = 0;
    for (const char c : words) {
        const unsigned char byte = static_cast<unsigned char>(c);
        width += std::strchr("mwMW", c) != nullptr && byte != 0         ? 100
                 : std::strchr("ijlftrI .,;:'()[]|!", c) != nullptr && byte != 0 ? 42
                 : byte >= 'A' && byte <= 'Z'                            ? 76
                 : byte >= '0' && byte <= '9'                            ? 66
                                                                         : 64;
    }
    width = width * static_cast<std::size_t>(size) / 100;
    return static_cast<int>(bold ? width * 11 / 10 : width) + 2;
}

void appendStyleAndDefinitions(std::string& out)
{
    out += "<style type=\"text/css\">";
    out += kStyleSheet;
    appendFileOutlineStyles(out, "#000");
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        const Cutter& cutter = cutterAt(way);
        if (cutter.mapStyle[0] != '\0') {
            out += std::string(".") + cutter.mapClass + "{" + cutter.mapStyle + "}";
        }
    }
    out += kDarkStyleSheet;
    appendFileOutlineStyles(out, "#fff");
    out += "}</style>\n<defs>";
    out += kOtherDefinitions;
    for (const CellStyle& style : kStyles) {
        appendCell(out, style);
    }
    for (const AreaStyle& area : kAreas) {
        for (const CellStyle& style : area.shades) {
            if (style.id != nullptr) {
                appendCell(out, style);
            }
        }
    }
    out += "</defs>\n";
}
