#include "map_style.h"

#include "cutter.h"

namespace {

struct StateStyle {
    const char* id;
    const char* colour;
    const char* mark;
    const char* legend;
};

// In the order of RecordState.
const StateStyle kStyles[kRecordStateCount] = {
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
    {"w", "#009E73", "", "whole"},
};

const char kStyleSheet[] =
    "text{font-family:sans-serif;font-size:10px}svg svg{overflow:visible}"
    "svg[data-track]>text,text.a{font-size:8px;text-anchor:end}text.a{fill:#888}"
    "svg[data-track]>text.n{text-anchor:start}text.h{font-size:12px;font-weight:bold}"
    "text.t{font-size:15px;font-weight:bold}.eof{stroke:#D55E00;stroke-width:2}";

// An unusable track's hatching, and the mark of the sector where a file
// runs out of data: a black corner with a white edge.
const char kOtherDefinitions[] =
    "<pattern id=\"u\" patternUnits=\"userSpaceOnUse\" width=\"5\" height=\"5\">"
    "<path d=\"M0,5L5,0\" stroke=\"#000\" stroke-width=\".8\"/></pattern>"
    "<path id=\"z\" d=\"M-2,-2H8L-2,8Z\" stroke=\"#fff\" stroke-width=\".8\"/>";

}  // namespace

const std::vector<LegendShape>& legendShapes()
{
    static const std::vector<LegendShape> shapes = [] {
        std::vector<LegendShape> made = {
            {"<rect width=\"14\" height=\"10\" fill=\"url(#u)\"/>", "a track not read: its offset lies beyond the disk"},
            {"<rect width=\"14\" height=\"10\" fill=\"#ddd\"/>", "a track past the end of the file"},
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

// The outlines of the ways' files: alike, but for what sets each apart.
void appendFileOutlineStyles(std::string& out)
{
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        out += way == 0 ? "." : ",.";
        out += cutterAt(way).mapClass;
    }
    out += "{fill:none;stroke:#000;stroke-width:1.5}";
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        const Cutter& cutter = cutterAt(way);
        if (cutter.mapStyle[0] != '\0') {
            out += std::string(".") + cutter.mapClass + "{" + cutter.mapStyle + "}";
        }
    }
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

void appendStyleAndDefinitions(std::string& out)
{
    out += "<style type=\"text/css\">";
    out += kStyleSheet;
    appendFileOutlineStyles(out);
    out += "</style>\n<defs>";
    out += kOtherDefinitions;
    for (const StateStyle& style : kStyles) {
        out += "<g id=\"";
        out += style.id;
        out += "\"><rect width=\"14\" height=\"10\" stroke=\"#000\" stroke-width=\".5\" fill=\"";
        out += style.colour;
        out += "\"/>";
        out += style.mark;
        out += "</g>";
    }
    out += "</defs>\n";
}
