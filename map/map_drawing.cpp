// Draws an image's map as SVG 1.1, as wide as the page's box (wider only for
// a disk too wide for it): panels of disks stand side by side, as many to a
// line as fit; in a panel each track is a row at its place in the track table
// (C and H labelled from its index, as the standard two-sided layout has
// them), each record a cell in stored order. The markup per record is kept
// small, as a 64-disk image has some 80,000: a cell is a <use> of its
// state's drawing (the XLink namespace has the short prefix l), each row a
// nested <svg> placed by its y alone; the panel carries data-disk (and its
// size, data-width and data-height), the row
// data-track, data-c and data-h, and a cell data-c and data-h only where
// its ID says otherwise. A whole record is drawn in the area it lies in:
// the disk's areas the map is given, else the cutters' files.
#include "image_map.h"

#include "anomalies.h"
#include "file_cells.h"
#include "map_style.h"
#include "report_words.h"
#include "text_report.h"
#include "xml_text.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kLabelWidth = 60;  // the track labels left of the cells
constexpr int kPanelHeader = 72;
constexpr int kGap = 24;
constexpr int kMargin = 16;
constexpr int kMapWidth = 1100;  // the page's box, some 1,118 pixels wide
constexpr int kLegendColumns = 2;
constexpr std::size_t kDamageShown = 12;  // anomaly messages listed on the map

enum class RowKind { Walked, Unusable, PastEnd };

template <typename T>
void attribute(std::string& out, const char* name, T value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, value);
    out += '"';
}

void text(std::string& out, const char* cls, int x, int y, std::string_view words)
{
    out += "<text";
    if (cls != nullptr) {
        out += " class=\"";
        out += cls;
        out += '"';
    }
    attribute(out, "x", x);
    attribute(out, "y", y);
    out += '>';
    appendXmlText(out, words);
    out += "</text>";
}

// words cut into lines that are at most width pixels wide at size, at
// spaces where it can (a word too long for a line is cut inside it, between
// UTF-8 sequences).
std::vector<std::string> wrapped(const std::string& words, int size, int width, bool bold = false)
{
    const auto fits = [&](std::size_t from, std::size_t to) {
        return textWidth(std::string_view(words).substr(from, to - from), size, bold) <= width;
    };
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (!fits(start, words.size())) {
        std::size_t cut = start, space = std::string::npos;
        while (cut < words.size() && fits(start, cut + 1)) {
            space = words[cut] == ' ' && cut > start ? cut : space;
            ++cut;
        }
        if (space != std::string::npos) {
            cut = space;
        } else {
            cut = std::max(cut, start + 1);
            while (cut > start + 1 && (static_cast<unsigned char>(words[cut]) & 0xC0) == 0x80) {
                --cut;
            }
        }
        lines.push_back(words.substr(start, cut - start));
        start = space != std::string::npos ? cut + 1 : cut;
    }
    lines.push_back(words.substr(start));
    return lines;
}

void translate(std::string& out, int x, int y)
{
    out += " transform=\"translate(";
    appendNumber(out, x);
    out += ',';
    appendNumber(out, y);
    out += ")\"";
}

std::string number(unsigned long long value)
{
    std::string out;
    appendNumber(out, value);
    return out;
}

std::string trackLabel(int track)
{
    return "C " + number(static_cast<unsigned>(track / 2)) + " H " + number(static_cast<unsigned>(track % 2));
}

std::string panelHeading(const DiskFacts& disk)
{
    return "disk " + number(static_cast<unsigned>(disk.index)) + " " + shownName(disk);
}

// What a cell's title says of its state.
void putStateWords(Markup& out, const MapCell& cell)
{
    switch (cell.state) {
    case RecordState::Missing:
        out << "missing: the file ends before its data";
        return;
    case RecordState::Short:
        out << "short: the file holds " << cell.present << " of them";
        return;
    case RecordState::BadStatus:
        out << "bad status " << hexText(cell.status) << " (" << statusMeaning(cell.status) << ")";
        return;
    case RecordState::Duplicate:
        out << "duplicate ID";
        return;
    case RecordState::Deleted:
        out << "deleted-data mark";
        return;
    case RecordState::Empty:
        out << "empty";
        return;
    case RecordState::OddLength:
        out << "length other than 128 &lt;&lt; N";  // as markup
        return;
    case RecordState::Whole:
        out << "whole";
        return;
    }
}

std::string cutterLine(const char* cutter, const std::vector<PlannedFile>& files)
{
    std::size_t padded = 0, notWritten = 0;
    for (const PlannedFile& file : files) {
        notWritten += outcomeOf(file) == FileOutcome::NotWritten ? 1 : 0;
        padded += outcomeOf(file) == FileOutcome::ZeroPadded ? 1 : 0;
    }
    std::string line = std::string(cutter) + ": " + counted(files.size() - notWritten, "file", "files");
    if (padded > 0) {
        line += ", " + number(padded) + " zero-padded";
    }
    if (notWritten > 0) {
        line += "; " + number(notWritten) + " not written";
    }
    return line;
}

class Drawing {
public:
    Drawing(const ImageMap& map, const ImageSummary& summary, ReportOutput& output)
        : map_(map), summary_(summary), files_(map, summary), text_(output), out_(text_.text())
    {
    }
    void draw();

private:
    struct Place {
        int x = 0, y = 0;
        int width = 0, height = 0;  // the panel's
    };
    void layOut();
    void placeAreas();
    std::vector<std::string> noteLines() const;
    std::vector<std::string> panelLines(const MapPanel& panel) const;
    std::string headingText() const;
    std::string rowNote(const MapPanel& panel, const MapRow& row, RowKind previous, std::size_t& shortfall,
                        std::size_t& start) const;
    void legend(int y);
    void panel(std::size_t p);
    void row(std::size_t p, std::size_t r);
    void cell(const MapCell& cell, std::size_t index, int trackC, int trackH);
    void fileOutlines(const MapRow& row);
    void shortfallMarks(std::size_t p, std::size_t r);
    RowKind kindOf(const MapPanel& panel, const MapRow& row) const;

    const ImageMap& map_;
    const ImageSummary& summary_;
    FileCells files_;
    std::size_t nextPart_ = 0;       // the first file part not drawn yet
    std::size_t nextShortfall_ = 0;  // likewise
    ReportText text_;  // handed on in large pieces
    std::string& out_;
    std::vector<Place> places_;  // each panel's
    std::vector<int> cellsWide_;
    std::vector<std::vector<std::string>> rowNotes_;  // each row's, right of its cells
    std::vector<std::string> heading_, notes_, footnote_;  // lines of the text above the panels
    int width_ = kMapWidth, height_ = 0, legendTop_ = 0, notesTop_ = 0;
    std::array<std::size_t, kRecordStateCount> counts_{};
    // The area each drawn cell lies in: an index in ImageMap::areas, or
    // kInFile; a whole record in an area is drawn in its kind and shade.
    static constexpr int kNoArea = -1, kInFile = -2;
    std::vector<int> areaOf_;
    std::vector<signed char> shadeOf_;
    std::array<std::size_t, kMapAreaKindCount> areaCounts_{};
};

RowKind Drawing::kindOf(const MapPanel& panel, const MapRow& row) const
{
    if (!row.usable) {
        return RowKind::Unusable;
    }
    return panel.disk.offset + row.offset >= map_.image.size ? RowKind::PastEnd : RowKind::Walked;
}

std::vector<std::string> Drawing::noteLines() const
{
    std::vector<std::string> lines;
    if (!map_.image.readable) {
        return lines;
    }
    std::string cuts;
    for (std::size_t way = 0; way < summary_.cuts.size(); ++way) {
        if (told(way, summary_)) {
            cuts += (cuts.empty() ? "" : "; ") + cutterLine(cutterAt(way).name, summary_.cuts[way].files);
        }
    }
    lines.push_back(cuts);
    for (const std::string& words : files_.unplaced()) {
        lines.push_back(words);
    }
    if (map_.cellsLeftOut > 0) {
        lines.push_back(counted(map_.cellsLeftOut, "record is", "records are") + " not drawn: the map draws at most " +
                        number(kMapCellsPerTrack) + " of a track and " + number(kMapCellsPerImage) + " in all");
    }
    std::vector<int> again, blank;
    for (const MapPanel& panel : map_.panels) {
        if (panel.disk.blank) {
            blank.push_back(panel.disk.index);
        } else if (panel.disk.sameAs >= 0) {
            again.push_back(panel.disk.index);
        }
    }
    if (!again.empty()) {
        lines.push_back((again.size() > 1 ? "disks " : "disk ") + trackRanges(again) +
                        ": an earlier disk again, indexed where a disk size of 0 keeps the chain of disks in place; "
                        "drawn once");
    }
    if (!blank.empty()) {
        lines.push_back((blank.size() > 1 ? "disks " : "disk ") + trackRanges(blank) +
                        ": zero bytes read as empty disk headers; not drawn");
    }
    std::size_t shown = 0, damage = 0;
    for (const Anomaly& anomaly : summary_.anomalies) {
        damage += anomaly.damage ? 1 : 0;
        if (anomaly.damage && shown < kDamageShown) {
            lines.push_back(anomaly.kind + ": " + anomaly.message);
            ++shown;
        }
    }
    if (damage > shown || summary_.anomaliesLeftOut > 0) {
        lines.push_back("... and more damage: d88info's report tells it all");
    }
    return lines;
}

// What is said right of a row's cells: how its walk or the file ended, the
// records not drawn, and the files that run out of data there.
std::string Drawing::rowNote(const MapPanel& panel, const MapRow& row, RowKind previous, std::size_t& shortfall,
                             std::size_t& start) const
{
    std::vector<std::string> notes;
    // The names of the files whose first drawn sector lies here, by way.
    const std::vector<FilePart>& starts = files_.starts();
    std::vector<std::string> names(cutterCount());
    for (; start < starts.size() && starts[start].cell < row.firstCell + row.cellCount; ++start) {
        std::string& list = names[cutterIndex(*starts[start].file.cutter)];
        list += (list.empty() ? "" : ", ") + starts[start].file.file->name;
    }
    for (std::size_t way = 0; way < names.size(); ++way) {
        if (!names[way].empty()) {
            notes.push_back(names[way] + " (" + cutterAt(way).name + ")");
        }
    }
    const RowKind kind = kindOf(panel, row);
    if (kind == RowKind::Unusable) {
        notes.push_back("not read");
    } else if (kind == RowKind::PastEnd && previous != RowKind::PastEnd) {
        notes.push_back("past the end of the file");  // said once for the tracks that follow it
    } else if (kind == RowKind::Walked && row.cutShort) {
        notes.push_back("the file ends");
    }
    if (row.cellCount < row.recordCount) {
        notes.push_back("+" + number(row.recordCount - row.cellCount) + " not drawn");
    }
    std::vector<std::string> notWritten;
    const std::vector<FileShortfall>& all = files_.shortfalls();
    for (; shortfall < all.size() && &map_.panels[all[shortfall].panel].rows[all[shortfall].row] == &row; ++shortfall) {
        const PlannedFile& file = *all[shortfall].file.file;
        if (file.written) {
            notes.push_back(file.name + " zero-padded from byte " + number(file.supplied));
        } else {
            notWritten.push_back(file.name);
        }
    }
    if (!notWritten.empty()) {
        std::string names;
        for (const std::string& name : notWritten) {
            names += (names.empty() ? "" : ", ") + name;
        }
        notes.push_back("not written: " + names);
    }
    std::string note;
    for (const std::string& part : notes) {
        note += (note.empty() ? "" : "; ") + part;
    }
    return note;
}

std::string Drawing::headingText() const
{
    std::string heading = map_.image.path + ": ";
    if (!map_.image.readable) {
        return heading + "cannot be read: " + map_.image.error;
    }
    return heading + number(map_.image.size) + " bytes, " +
           counted(static_cast<std::size_t>(map_.image.diskCount), "disk", "disks") + ", " + statusName(summary_.status);
}

// Each drawn cell's area: the areas the map is given first, in their
// order, then the cutters' files, each file in the other shade from the one
// met before it.
void Drawing::placeAreas()
{
    areaOf_.assign(map_.cells.size(), kNoArea);
    shadeOf_.assign(map_.cells.size(), 0);
    int files = 0;
    for (std::size_t a = 0; a < map_.areas.size(); ++a) {
        const MapArea& area = map_.areas[a];
        const int shade = area.kind == MapAreaKind::File ? files++ % 2 : 0;
        for (const AreaRecord& record : area.records) {
            const long long cell = files_.cellOf(record.disk, record.track, record.position);
            if (cell >= 0 && areaOf_[static_cast<std::size_t>(cell)] == kNoArea) {
                areaOf_[static_cast<std::size_t>(cell)] = static_cast<int>(a);
                shadeOf_[static_cast<std::size_t>(cell)] = static_cast<signed char>(shade);
            }
        }
    }
    const PlannedFile* last = nullptr;
    for (const FilePart& part : files_.parts()) {
        if (part.file.file != last) {
            last = part.file.file;
            ++files;
        }
        if (areaOf_[part.cell] == kNoArea) {
            areaOf_[part.cell] = kInFile;
            shadeOf_[part.cell] = static_cast<signed char>((files - 1) % 2);
        }
    }
    for (std::size_t c = 0; c < map_.cells.size(); ++c) {
        if (map_.cells[c].state == RecordState::Whole && areaOf_[c] != kNoArea) {
            const MapAreaKind kind = areaOf_[c] == kInFile ? MapAreaKind::File : map_.areas[static_cast<std::size_t>(areaOf_[c])].kind;
            ++areaCounts_[static_cast<std::size_t>(kind)];
            --counts_[static_cast<std::size_t>(RecordState::Whole)];
        }
    }
}

// The lines of a panel's head, below its heading.
std::vector<std::string> Drawing::panelLines(const MapPanel& panel) const
{
    const DiskFacts& disk = panel.disk;
    const char* media = mediaName(disk.media);
    std::vector<std::string> lines = {
        (media != nullptr ? media : "media " + hexText(static_cast<unsigned>(disk.media))) +
            diskWordsOfAll(disk, ", ") + "; " + geometryText(panel.geometry, false, disk.bytesPresent < disk.size),
        "at " + hexText(disk.offset) + ", " + number(disk.size) + " bytes" +
            (disk.bytesPresent < disk.size ? ", of which the file holds " + number(disk.bytesPresent) : "") + "; " +
            counted(panel.rows.size(), "track", "tracks")};
    std::vector<int> again;
    for (const MapPanel& other : map_.panels) {
        if (other.disk.sameAs == disk.index && !other.disk.blank) {
            again.push_back(other.disk.index);
        }
    }
    if (!again.empty()) {
        lines.push_back("indexed again as disk" + std::string(again.size() > 1 ? "s " : " ") + trackRanges(again) +
                        " (a disk size of 0)");
    }
    return lines;
}

void Drawing::layOut()
{
    for (const MapCell& cell : map_.cells) {
        ++counts_[static_cast<std::size_t>(cell.state)];
    }
    placeAreas();
    // The panels first: a disk wider than the page's box widens the map.
    std::vector<int> panelWidths, panelHeights;
    std::size_t shortfall = 0, start = 0;
    for (const MapPanel& panel : map_.panels) {
        int wide = 8, rows = 0, notesWidth = 0;
        RowKind previous = RowKind::Walked;
        rowNotes_.emplace_back();
        for (const MapRow& row : panel.rows) {
            wide = std::max(wide, static_cast<int>(row.cellCount));
            rows = row.track + 1;
            rowNotes_.back().push_back(rowNote(panel, row, previous, shortfall, start));
            notesWidth = std::max(notesWidth, textWidth(rowNotes_.back().back(), kRowTextSize) + 4);
            previous = kindOf(panel, row);
        }
        cellsWide_.push_back(wide);
        int panelWidth = kLabelWidth + wide * kPitch + notesWidth;
        if (panel.drawn()) {
            panelWidth = std::max(panelWidth, textWidth(panelHeading(panel.disk), kHeadingSize, true));
            for (const std::string& line : panelLines(panel)) {
                panelWidth = std::max(panelWidth, textWidth(line, kTextSize));
            }
        }
        panelWidths.push_back(panelWidth);
        panelHeights.push_back(kPanelHeader + rows * kRowHeight);
        if (panel.drawn()) {
            width_ = std::max(width_, panelWidth + 2 * kMargin);
        }
    }
    // Then the text above them, wrapped to the map's width.
    const int textRoom = width_ - 2 * kMargin;
    heading_ = wrapped(headingText(), kTitleSize, textRoom, true);
    for (const std::string& line : noteLines()) {
        for (std::string& part : wrapped(line, kTextSize, textRoom)) {
            notes_.push_back(std::move(part));
        }
    }
    footnote_ = wrapped("An empty row is a track the disk's track table does not name. Each cell's title and data "
                        "attributes give its record's facts.",
                        kTextSize, textRoom);
    const auto lines = [](std::size_t items) { return static_cast<int>((items + kLegendColumns - 1) / kLegendColumns); };
    legendTop_ = 22 + static_cast<int>(heading_.size()) * 20 + 8;
    notesTop_ = legendTop_ + (lines(kRecordStateCount + kMapAreaKindCount) + lines(legendShapes().size()) +
                              static_cast<int>(footnote_.size())) * kLineHeight + kLineHeight / 2;
    int x = kMargin, y = notesTop_ + static_cast<int>(notes_.size()) * kLineHeight + kGap;
    int lineHeight = 0;
    for (std::size_t p = 0; p < map_.panels.size(); ++p) {
        places_.push_back({x, y, panelWidths[p], panelHeights[p]});
        if (!map_.panels[p].drawn()) {
            continue;
        }
        if (x > kMargin && x + panelWidths[p] > width_ - kMargin) {
            x = kMargin;
            y += lineHeight + kGap;
            lineHeight = 0;
            places_.back().x = x;
            places_.back().y = y;
        }
        x += panelWidths[p] + kGap;
        lineHeight = std::max(lineHeight, panelHeights[p]);
    }
    height_ = y + lineHeight + kGap;
}

void Drawing::legend(int y)
{
    int at = 0;
    const int column = (width_ - 2 * kMargin) / kLegendColumns;
    const auto item = [&](const std::string& shape, const std::string& words) {
        const int x = kMargin + (at % kLegendColumns) * column;
        const int line = y + (at / kLegendColumns) * kLineHeight;
        out_ += "<g";
        translate(out_, x, line - 10);
        out_ += '>';
        out_ += shape;
        out_ += "</g>";
        text(out_, nullptr, x + (shape.find("#kg") != std::string::npos ? 36 : 20), line, words);
        ++at;
    };
    const auto use = [](const char* symbol) { return std::string("<use l:href=\"#") + symbol + "\"/>"; };
    for (std::size_t s = 0; s < kRecordStateCount; ++s) {
        const RecordState state = static_cast<RecordState>(s);
        item(use(stateSymbol(state)), std::string(stateLegend(state)) + ": " + number(counts_[s]));
    }
    for (std::size_t k = 0; k < kMapAreaKindCount; ++k) {
        const MapAreaKind kind = static_cast<MapAreaKind>(k);
        std::string shape = use(areaSymbol(kind, 0));
        if (std::string(areaSymbol(kind, 1)) != areaSymbol(kind, 0)) {
            shape += "<use l:href=\"#" + std::string(areaSymbol(kind, 1)) + "\" x=\"16\"/>";
        }
        item(shape, std::string(areaLegend(kind)) + ": " + number(areaCounts_[k]));
    }
    at = (at + kLegendColumns - 1) / kLegendColumns * kLegendColumns;
    for (const LegendShape& shape : legendShapes()) {
        item(shape.markup, shape.words);
    }
    int line = y + (at + kLegendColumns - 1) / kLegendColumns * kLineHeight;
    for (const std::string& words : footnote_) {
        text(out_, nullptr, kMargin, line, words);
        line += kLineHeight;
    }
}

void Drawing::draw()
{
    layOut();
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:l=\"http://www.w3.org/1999/xlink\" version=\"1.1\"";
    attribute(out_, "width", width_);
    attribute(out_, "height", height_);
    out_ += " viewBox=\"0 0 " + number(static_cast<unsigned>(width_)) + " " + number(static_cast<unsigned>(height_)) +
            "\">\n<title>";
    appendXmlText(out_, "Map of " + map_.image.path);
    out_ += "</title>\n";
    appendStyleAndDefinitions(out_);
    out_ += "<rect class=\"bg\" width=\"100%\" height=\"100%\"/>\n";
    int y = 22;
    for (const std::string& line : heading_) {
        text(out_, "t", kMargin, y, line);
        y += 20;
    }
    legend(legendTop_);
    y = notesTop_;
    for (const std::string& line : notes_) {
        text(out_, nullptr, kMargin, y, line);
        y += kLineHeight;
    }
    out_ += '\n';
    for (std::size_t p = 0; p < map_.panels.size(); ++p) {
        if (map_.panels[p].drawn()) {
            panel(p);
        }
    }
    out_ += "</svg>\n";
    text_.flush();
}

void Drawing::panel(std::size_t p)
{
    const MapPanel& panel = map_.panels[p];
    const DiskFacts& disk = panel.disk;
    out_ += "<g";
    attribute(out_, "data-disk", disk.index);
    translate(out_, places_[p].x, places_[p].y);
    // Its size, for a viewer that takes the panels in one by one.
    attribute(out_, "data-width", places_[p].width);
    attribute(out_, "data-height", places_[p].height);
    out_ += '>';
    text(out_, "h", 0, 15, panelHeading(disk));
    int y = 31;
    for (const std::string& line : panelLines(panel)) {
        text(out_, nullptr, 0, y, line);
        y += 15;
    }
    out_ += "<g";
    translate(out_, kLabelWidth, kPanelHeader);
    out_ += ">\n";
    int next = 0;  // the next track index to draw
    for (std::size_t r = 0; r < panel.rows.size(); ++r) {
        // An absent track: an empty row, labelled.
        for (; next < panel.rows[r].track; ++next) {
            text(out_, "a", -4, next * kRowHeight + 10, trackLabel(next));
        }
        row(p, r);
        next = panel.rows[r].track + 1;
    }
    out_ += "</g></g>\n";
}

void Drawing::row(std::size_t p, std::size_t r)
{
    const MapPanel& panel = map_.panels[p];
    const MapRow& row = panel.rows[r];
    const int c = row.track / 2, h = row.track % 2;
    const RowKind kind = kindOf(panel, row);
    Markup head;
    head << "<svg y=\"" << row.track * kRowHeight << "\" data-track=\"" << row.track << "\" data-c=\"" << c
         << "\" data-h=\"" << h << "\"><title>track " << row.track << " (C " << c << " H " << h << ')';
    out_ += head.text();
    if (kind == RowKind::Unusable) {
        out_ += ": its offset " + hexText(row.offset) + " lies beyond the disk's size, so it is not read";
    } else if (kind == RowKind::PastEnd) {
        out_ += ": it lies past the end of the file";
    } else if (row.end != WalkEnd::Count || row.cellCount < row.recordCount || row.trackRecords < row.recordCount) {
        // An ordinary track, ended by its count, needs no words beyond its cells.
        out_ += ": " + counted(row.recordCount, "record", "records") + ", " + walkEndWords(row.end).text;
        if (row.trackRecords < row.recordCount) {
            out_ += "; a sector count stored byte-swapped: the track's own are the first " + number(row.trackRecords);
        }
        if (row.cellCount < row.recordCount) {
            out_ += "; the first " + number(row.cellCount) + " drawn";
        }
    }
    Markup label;
    label << "</title><text x=\"-4\" y=\"10\">C " << c << " H " << h << "</text>";
    out_ += label.text();
    const int cellsWide = cellsWide_[p];
    if (kind != RowKind::Walked) {
        out_ += "<rect";
        attribute(out_, "width", cellsWide * kPitch - 2);
        out_ += kind == RowKind::Unusable ? " height=\"10\" fill=\"url(#u)\"/>" : " class=\"pe\" height=\"10\"/>";
    }
    for (std::size_t i = 0; i < row.cellCount; ++i) {
        cell(map_.cells[row.firstCell + i], i, c, h);
    }
    if (row.cutShort && kind == RowKind::Walked) {
        out_ += "<path class=\"eof\" d=\"M";
        appendNumber(out_, static_cast<int>(row.cellCount) * kPitch - 1);
        out_ += ",-1V11\"/>";
    }
    fileOutlines(row);
    shortfallMarks(p, r);
    if (!rowNotes_[p][r].empty()) {
        text(out_, "n", cellsWide * kPitch + 2, 10, rowNotes_[p][r]);
    }
    out_ += "</svg>\n";
    text_.flushIfLarge();
}

void Drawing::cell(const MapCell& cell, std::size_t index, int trackC, int trackH)
{
    const SectorId& id = cell.id;
    std::size_t partsEnd = nextPart_;
    const std::size_t at = static_cast<std::size_t>(&cell - map_.cells.data());
    const std::vector<FilePart>& parts = files_.parts();
    while (partsEnd < parts.size() && parts[partsEnd].cell == at) {
        ++partsEnd;
    }
    const bool ownId = id.c != trackC || id.h != trackH;
    Markup head;
    const int area = areaOf_[at];
    const bool inArea = cell.state == RecordState::Whole && area != kNoArea;
    const MapAreaKind kind = area == kInFile ? MapAreaKind::File : inArea ? map_.areas[static_cast<std::size_t>(area)].kind
                                                                   : MapAreaKind::File;
    head << "<use l:href=\"#" << (inArea ? areaSymbol(kind, shadeOf_[at]) : stateSymbol(cell.state)) << '"';
    if (index > 0) {
        head << " x=\"" << index * kPitch << '"';
    }
    head << " data-index=\"" << index << '"';
    if (ownId) {
        head << " data-c=\"" << id.c << "\" data-h=\"" << id.h << '"';
    }
    head << " data-r=\"" << id.r << "\" data-n=\"" << id.n << "\" data-state=\""
         << stateName(cell.state) << '"';
    out_ += head.text();
    if (partsEnd > nextPart_) {
        out_ += " data-file=\"";
        for (std::size_t i = nextPart_; i < partsEnd; ++i) {
            out_ += i > nextPart_ ? " " : "";
            out_ += parts[i].file.cutter->name;
            out_ += ':';
            appendXmlText(out_, parts[i].file.file->name);
        }
        out_ += '"';
    }
    Markup title;
    title << "><title>record " << index << ": ";
    if (ownId) {
        title << "C " << id.c << " H " << id.h << ' ';
    }
    title << "R " << id.r << " N " << id.n;
    // A whole record holds 128 << N bytes: its length goes without saying.
    if (cell.state != RecordState::Whole) {
        title << ", " << cell.length << " B";
    }
    title << ", ";
    putStateWords(title, cell);
    out_ += title.text();
    if (area >= 0) {
        const MapArea& known = map_.areas[static_cast<std::size_t>(area)];
        out_ += std::string("; ") + areaWords(known.kind) + ": ";
        appendXmlText(out_, known.label);
    }
    for (std::size_t i = nextPart_; i < partsEnd; ++i) {
        out_ += "; in ";
        appendXmlText(out_, fileWords(parts[i].file));
        out_ += " bytes ";
        appendNumber(out_, parts[i].fileOffset);
        out_ += '-';
        appendNumber(out_, parts[i].fileOffset + parts[i].bytes - 1);
    }
    out_ += "</title></use>";
    nextPart_ = partsEnd;
}

// An outline around each run of the row's cells that one file was read
// from, with the file's name in its title.
void Drawing::fileOutlines(const MapRow& row)
{
    const std::vector<FilePart>& parts = files_.parts();
    const auto first = std::lower_bound(parts.begin(), parts.end(), row.firstCell,
                                        [](const FilePart& part, std::size_t cell) { return part.cell < cell; });
    std::vector<FilePart> mine;
    for (auto part = first; part != parts.end() && part->cell < row.firstCell + row.cellCount; ++part) {
        mine.push_back(*part);
    }
    std::stable_sort(mine.begin(), mine.end(),
                     [](const FilePart& a, const FilePart& b) { return a.file.file < b.file.file; });
    for (std::size_t i = 0; i < mine.size();) {
        std::size_t j = i + 1;
        while (j < mine.size() && mine[j].file.file == mine[i].file.file && mine[j].cell == mine[j - 1].cell + 1) {
            ++j;
        }
        const int x = static_cast<int>(mine[i].cell - row.firstCell) * kPitch;
        out_ += std::string("<rect class=\"") + mine[i].file.cutter->mapClass + "\"";
        attribute(out_, "x", x - 1);
        out_ += " y=\"-1\"";
        attribute(out_, "width", static_cast<int>(j - i) * kPitch);
        out_ += " height=\"12\"><title>";
        appendXmlText(out_, fileWords(mine[i].file) + ", " + number(mine[i].file.file->size) + " bytes");
        out_ += "</title></rect>";
        i = j;
    }
}

// The marks of the files that run out of data on the row.
void Drawing::shortfallMarks(std::size_t p, std::size_t r)
{
    const std::vector<FileShortfall>& all = files_.shortfalls();
    for (; nextShortfall_ < all.size() && all[nextShortfall_].panel == p && all[nextShortfall_].row == r;
         ++nextShortfall_) {
        const FileShortfall& shortfall = all[nextShortfall_];
        const PlannedFile& file = *shortfall.file.file;
        out_ += "<use l:href=\"#z\"";
        attribute(out_, "x", static_cast<int>(shortfall.cellIndex) * kPitch);
        out_ += "><title>";
        appendXmlText(out_, fileWords(shortfall.file) + (file.written ? " is zero-padded from byte " +
                                                                            number(file.supplied) + " on"
                                                                      : " is not written: " + file.reason));
        out_ += "</title></use>";
    }
}

}  // namespace

void drawMap(const ImageMap& map, const ImageSummary& summary, ReportOutput& output)
{
    Drawing(map, summary, output).draw();
}
