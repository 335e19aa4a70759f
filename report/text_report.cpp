#include "text_report.h"

#include "anomaly_kinds.h"
#include "cutter.h"
#include "file_lines.h"

#include "report_words.h"
#include "text_layout.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// A byte's value as two hex digits.
std::string hexByte(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(value) & 0xFF);
    return text;
}

std::string number(unsigned long long value)
{
    return std::to_string(value);
}

std::string bytesAndKib(unsigned long long bytes)
{
    char kib[32];
    std::snprintf(kib, sizeof kib, "%.1f", static_cast<double>(bytes) / 1024);
    return counted(bytes, "byte", "bytes") + " (" + kib + " KiB)";
}

std::string range(int first, int last)
{
    return first == last ? number(static_cast<unsigned>(first))
                         : number(static_cast<unsigned>(first)) + "-" + number(static_cast<unsigned>(last));
}

std::string mediaText(int media)
{
    const char* name = mediaName(media);
    return name != nullptr ? name : "media " + hexByte(media);
}

// Disks told of together: an earlier disk again, or zero bytes read as
// headers, one after another.
bool continuesRun(const DiskFacts& first, int lastIndex, const DiskFacts& disk)
{
    if (disk.index != lastIndex + 1) {
        return false;
    }
    return first.blank ? disk.blank : !disk.blank && disk.sameAs >= 0 && disk.sameAs == first.sameAs;
}

bool toldAsRun(const DiskFacts& disk)
{
    return disk.blank || disk.sameAs >= 0;
}

std::string diskRunName(const DiskFacts& first, int lastIndex)
{
    return (first.index == lastIndex ? "disk " : "disks ") + range(first.index, lastIndex);
}

std::string diskRunWhat(const DiskFacts& first)
{
    return first.blank ? "zero bytes after the last disk, read as empty headers"
                       : "disk " + number(static_cast<unsigned>(first.sameAs)) + " again (its size is 0)";
}

std::size_t ownListed(const TrackFacts& track)
{
    return std::min(track.trackRecords, track.records.size());
}

// Whether the records' C and H read as the track's index does: cylinder x 2
// + head, or one track per cylinder on one head.
bool followsTable(const TrackFacts& track)
{
    for (std::size_t i = 0; i < ownListed(track); ++i) {
        const SectorId& id = track.records[i].record.id;
        const bool twoSided = id.c == track.index / 2 && id.h == track.index % 2;
        const bool oneSided = id.c == track.index && id.h == 0;
        if (!twoSided && !oneSided) {
            return false;
        }
    }
    return true;
}

// "C 8 H 0", or where the records differ, "C 8 H 0-1".
std::string cylindersAndHeads(const TrackFacts& track)
{
    int c[2] = {255, 0}, h[2] = {255, 0};
    for (std::size_t i = 0; i < ownListed(track); ++i) {
        const SectorId& id = track.records[i].record.id;
        c[0] = std::min<int>(c[0], id.c);
        c[1] = std::max<int>(c[1], id.c);
        h[0] = std::min<int>(h[0], id.h);
        h[1] = std::max<int>(h[1], id.h);
    }
    return "C " + range(c[0], c[1]) + " H " + range(h[0], h[1]);
}

// Tracks told of in one line: alike in records, sector numbers and sizes,
// neither damaged, both read as their index says (aFollows says it of a);
// or both not read.
bool alike(const TrackFacts& a, bool aFollows, const TrackFacts& b)
{
    if (!a.usable || !b.usable) {
        return a.usable == b.usable;
    }
    if (a.damaged || b.damaged || a.end != b.end || a.trackRecords != b.trackRecords ||
        a.countByteSwapped != b.countByteSwapped || ownListed(a) != ownListed(b)) {
        return false;
    }
    for (std::size_t i = 0; i < ownListed(a); ++i) {
        const SectorRecord& x = a.records[i].record;
        const SectorRecord& y = b.records[i].record;
        if (x.id.r != y.id.r || x.length != y.length) {
            return false;
        }
    }
    return aFollows && followsTable(b);
}

// "R 16-23", or with the order kept, "R 1 3 5 7 2 4 6 8".
std::string sectorNumbers(const TrackFacts& track)
{
    constexpr std::size_t kShown = 64;
    const std::size_t shown = std::min(ownListed(track), kShown);
    std::string text = "R";
    for (std::size_t i = 0; i < shown;) {
        std::size_t j = i;
        while (j + 1 < shown && track.records[j + 1].record.id.r == track.records[j].record.id.r + 1) {
            ++j;
        }
        const unsigned r = track.records[i].record.id.r;
        if (j >= i + 2) {
            text += " " + number(r) + "-" + number(track.records[j].record.id.r);
        } else {
            j = i;
            text += " " + number(r);
        }
        i = j + 1;
    }
    if (shown < track.trackRecords) {
        text += " ... (" + number(track.trackRecords - shown) + " more)";
    }
    return text;
}

// "8 x 1024 B", or "8 records, sizes 1024 512 ...".
std::string recordSizes(const TrackFacts& track)
{
    const std::size_t listed = ownListed(track);
    const int first = track.records[0].record.length;
    const bool same = std::all_of(track.records.begin(), track.records.begin() + static_cast<std::ptrdiff_t>(listed),
                                  [&](const RecordFacts& r) { return r.record.length == first; });
    if (same) {
        return number(track.trackRecords) + " x " + number(static_cast<unsigned>(first)) + " B";
    }
    constexpr std::size_t kShown = 16;
    std::string text = counted(track.trackRecords, "record", "records") + ", sizes";
    for (std::size_t i = 0; i < std::min(listed, kShown); ++i) {
        text += " " + number(static_cast<unsigned>(track.records[i].record.length));
    }
    return text + (listed > kShown ? " ..." : "");
}

std::string place(const Anomaly& anomaly)
{
    std::string text;
    if (anomaly.disk >= 0) {
        text = "disk " + number(static_cast<unsigned>(anomaly.disk));
    }
    if (anomaly.track >= 0) {
        text += " track " + number(static_cast<unsigned>(anomaly.track));
    }
    if (anomaly.position >= 0) {
        const std::string at = hexText(static_cast<unsigned long long>(anomaly.position));
        text += text.empty() ? at : " (" + at + ")";
    }
    return text;
}

// The anomalies' kinds in the order they first appear, each with the
// places in the list where it does.
std::vector<std::pair<std::string, std::vector<std::size_t>>> byKind(const std::vector<Anomaly>& anomalies)
{
    std::vector<std::pair<std::string, std::vector<std::size_t>>> kinds;
    for (std::size_t i = 0; i < anomalies.size(); ++i) {
        auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const auto& k) { return k.first == anomalies[i].kind; });
        if (kind == kinds.end()) {
            kind = kinds.insert(kinds.end(), {anomalies[i].kind, {}});
        }
        kind->second.push_back(i);
    }
    return kinds;
}

// "short-sector, walk-limit x 3", the kinds of one severity; "none".
std::string kindCounts(const std::vector<Anomaly>& anomalies, bool damage)
{
    std::string text;
    for (const auto& [kind, places] : byKind(anomalies)) {
        if (anomalies[places.front()].damage != damage) {
            continue;
        }
        text += (text.empty() ? "" : ", ") + kind + (places.size() > 1 ? " x " + number(places.size()) : "");
    }
    return text.empty() ? "none" : text;
}

std::string cutCounts(const char* program, const std::vector<PlannedFile>& files)
{
    if (files.empty()) {
        return std::string(program) + ": nothing to write";
    }
    std::size_t count[3] = {};
    for (const PlannedFile& file : files) {
        ++count[static_cast<int>(outcomeOf(file))];
    }
    return std::string(program) + ": " + number(count[static_cast<int>(FileOutcome::Complete)]) + " complete, " +
           number(count[static_cast<int>(FileOutcome::ZeroPadded)]) + " zero-padded, " +
           number(count[static_cast<int>(FileOutcome::NotWritten)]) + " not written";
}

std::string fileItem(const PlannedFile& file)
{
    std::string text = file.name + kNoBreak + number(file.size) + kNoBreak + "B";
    if (file.firstBlock >= 0) {
        text += std::string(" at") + kNoBreak + "block" + kNoBreak + number(static_cast<unsigned>(file.firstBlock));
    }
    return text;
}

// A disk's files that are complete in one list, those not written in
// another; a zero-padded file on a line of its own.
void plannedFiles(std::string& out, const char* program, const std::vector<PlannedFile>& files)
{
    out += '\n';
    if (files.empty()) {
        appendWrapped(out, std::string(program) + " would write nothing", 2, 4);
        return;
    }
    appendWrapped(out, std::string(program) + " would write:", 2, 4);
    bool anyReplaced = false;
    for (std::size_t i = 0; i < files.size();) {
        const PlannedFile& file = files[i];
        const FileOutcome outcome = outcomeOf(file);
        std::string line = "disk " + number(static_cast<unsigned>(file.disk)) + ": ";
        std::size_t j = i;
        for (; j < files.size() && files[j].disk == file.disk && outcomeOf(files[j]) == outcome &&
               (j == i || outcome != FileOutcome::ZeroPadded);
             ++j) {
            anyReplaced = anyReplaced || files[j].replaced;
            line += (j == i ? "" : ", ") + (outcome == FileOutcome::NotWritten ? files[j].name : fileItem(files[j])) +
                    (files[j].replaced ? " (replaced)" : "");
        }
        if (outcome == FileOutcome::ZeroPadded) {
            line += ", zero-padded from byte " + number(file.supplied) + " (the sectors supply " +
                    number(file.supplied) + " of " + number(file.size) + ")";
        } else if (outcome == FileOutcome::NotWritten) {
            line += j - i > 1 ? ": not written, their first sectors missing or short"
                              : ": not written, its first sector missing or short";
        } else {
            line += j - i > 1 ? ", all complete" : ", complete";
        }
        appendWrapped(out, line, 4, 8);
        i = j;
    }
    if (anyReplaced) {
        appendWrapped(out, "(replaced: a later disk writes a file of the same name)", 4, 8);
    }
}

}  // namespace

std::string diskWordsOfAll(const DiskFacts& disk, const char* before)
{
    std::string words;
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        const std::string said = cutterAt(way).diskWords != nullptr ? cutterAt(way).diskWords(disk, false) : "";
        if (!said.empty()) {
            words += before + said;
        }
    }
    return words;
}

std::string shownBytes(const std::string& bytes)
{
    std::string shown;
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            shown += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    return shown;
}

std::string shownName(const DiskFacts& disk)
{
    const bool readable = disk.nameDecoded && std::none_of(disk.nameText.begin(), disk.nameText.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    return "\"" + (readable ? disk.nameText : shownBytes(disk.name)) + "\"";
}

std::string geometryText(const Geometry& geometry, bool inFull, bool cutShort)
{
    if (geometry.tracks == 0) {
        return "no track holds records";
    }
    const std::string size = geometry.sectorSize > 0 ? number(static_cast<unsigned>(geometry.sectorSize)) : "?";
    std::string text =
        inFull ? counted(static_cast<unsigned>(geometry.cylinders), "cylinder", "cylinders") + " x " +
                     counted(static_cast<unsigned>(geometry.heads), "head", "heads") + ", " +
                     counted(static_cast<unsigned>(geometry.sectors), "sector", "sectors") + " of " + size +
                     " bytes per track"
               : number(static_cast<unsigned>(geometry.cylinders)) + " x " +
                     number(static_cast<unsigned>(geometry.heads)) + ", " +
                     number(static_cast<unsigned>(geometry.sectors)) + " x " + size + " B";
    // Of a disk cut short, the tracks the file ends in differ: that the
    // disk is cut short is what tells.
    if (cutShort) {
        text += inFull ? "; cut short by the end of the file" : " (cut short)";
    } else if (geometry.otherTracks > 0) {
        text += inFull ? "; mixed: " + number(static_cast<unsigned>(geometry.otherTracks)) + " of its " +
                             number(static_cast<unsigned>(geometry.tracks)) + " tracks differ"
                       : " (mixed)";
    }
    return text;
}

TextReport::TextReport(ReportOutput& output, TrackDetail detail, bool files)
    : text_(output), detail_(detail), files_(files)
{
}

void TextReport::beginImage(const ImageFacts& image)
{
    if (images_++ > 0) {
        text_.text() += '\n';
    }
    image_ = image;
    disks_.clear();
    details_.clear();
    if (!image.readable) {
        appendWrapped(text_.text(), image.path + ": cannot be read: " + image.error, 0, 4);
    }
}

void TextReport::beginDisk(const DiskFacts& disk)
{
    disks_.push_back({disk, {}});
    geometry_.clear();
    if (toldAsRun(disk)) {
        if (diskRun_.open && continuesRun(diskRun_.first, diskRun_.lastIndex, disk)) {
            diskRun_.lastIndex = disk.index;
            return;
        }
        endDiskRun();
        diskRun_ = {true, disk, disk.index};
        return;
    }
    endDiskRun();
    std::string& out = details_;
    out += '\n';
    std::string name = shownName(disk);
    const std::string stored = "\"" + shownBytes(disk.name) + "\"";
    if (name != stored) {
        name += " (stored as " + stored + ")";
    }
    appendWrapped(out, "disk " + number(static_cast<unsigned>(disk.index)) + " at " + hexText(disk.offset) + ": " + name,
                  2, 6);
    const char* media = mediaName(disk.media);
    const int protect = disk.writeProtect;
    appendWrapped(out,
                  "media " + hexByte(disk.media) + " (" + (media != nullptr ? media : "unknown") +
                      "), write protect " + hexByte(protect) +
                      (protect == 0      ? " (off)"
                       : protect == 0x10 ? " (on)"
                                         : " (on: any byte but 0 protects)"),
                  4, 8);
    appendWrapped(out,
                  "size " + bytesAndKib(disk.size) + ", " +
                      (disk.bytesPresent == disk.size ? std::string("all in the file")
                                                      : number(disk.bytesPresent) + " of them in the file") +
                      "; header " + number(static_cast<unsigned>(disk.headerSize)) + " bytes",
                  4, 8);
    geometryAt_ = out.size();
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        const Cutter& cutter = cutterAt(way);
        // The probes' details are for those who ask for every track.
        const std::string said = cutter.diskWords != nullptr ? cutter.diskWords(disk, detail_ != TrackDetail::Folded) : "";
        if (!said.empty()) {
            appendWrapped(out, std::string(cutter.name) + ": " + said, 4, 8);
        }
    }
    filesAt_ = out.size();
}

void TextReport::track(const TrackFacts& track)
{
    if (toldAsRun(disks_.back().facts)) {
        return;  // told of where the disk was first met
    }
    geometry_.add(track);
    if (detail_ != TrackDetail::Folded) {
        trackLine(track, track.index, track.offset);
        if (detail_ == TrackDetail::EveryRecord) {
            records(track);
        }
        return;
    }
    if (trackRun_.open && alike(trackRun_.first, trackRun_.firstFollows, track)) {
        trackRun_.lastIndex = track.index;
        trackRun_.lastOffset = track.offset;
        return;
    }
    endTrackRun();
    if (track.damaged && track.usable) {
        trackLine(track, track.index, track.offset);  // alike to none
        return;
    }
    trackRun_.open = true;
    trackRun_.first = track;
    trackRun_.firstFollows = followsTable(track);
    trackRun_.lastIndex = track.index;
    trackRun_.lastOffset = track.offset;
}

void TextReport::endDisk()
{
    endTrackRun();
    ToldDisk& disk = disks_.back();
    if (!toldAsRun(disk.facts)) {
        disk.geometry = geometry_.result();
        // With --files, why the disk's file system was taken (or none),
        // then its files, as they stand once its tracks are walked.
        if (files_ && disk.facts.fileSystem) {
            const FileListing& listing = *disk.facts.fileSystem;
            std::string files;
            appendWrapped(files, listing.found ? "by " + listing.reason : "files: " + listing.reason,
                          listing.found ? 6 : 4, 10);
            for (const FileEntry& file : listing.files) {
                appendWrapped(files, fileLine(file), 6, 10);
            }
            details_.insert(filesAt_, files);
        }
        std::string line;
        appendWrapped(line, geometryText(disk.geometry, true, disk.facts.bytesPresent < disk.facts.size), 4, 8);
        details_.insert(geometryAt_, line);
    }
}

void TextReport::endTrackRun()
{
    if (trackRun_.open) {
        trackLine(trackRun_.first, trackRun_.lastIndex, trackRun_.lastOffset);
        trackRun_.open = false;
    }
}

void TextReport::endDiskRun()
{
    if (diskRun_.open) {
        details_ += '\n';
        appendWrapped(details_,
                      diskRunName(diskRun_.first, diskRun_.lastIndex) + " at " + hexText(diskRun_.first.offset) + ": " +
                          diskRunWhat(diskRun_.first),
                      2, 6);
        diskRun_.open = false;
    }
}

// One line for the tracks from track to lastIndex, which are alike.
void TextReport::trackLine(const TrackFacts& track, int lastIndex, std::uint32_t lastOffset)
{
    std::string line = (track.index == lastIndex ? "track " : "tracks ") + range(track.index, lastIndex) + "  ";
    if (!track.usable) {
        line += "beyond the disk's size, not read";
    } else if (track.trackRecords == 0 || track.records.empty()) {
        line += std::string("no record, ") + walkEndWords(track.end).text;
    } else {
        line += recordSizes(track) + "  " + sectorNumbers(track);
        if (track.countByteSwapped) {
            line += "  sector count byte-swapped";
        } else if (track.end != WalkEnd::Count) {
            line += std::string("  ") + walkEndWords(track.end).text;
        }
        if (!followsTable(track)) {
            line += "  " + cylindersAndHeads(track);
        }
    }
    line += "  at " + hexText(track.offset) + (track.index == lastIndex ? "" : "-" + hexText(lastOffset));
    appendWrapped(details_, line, 4, 8);
}

void TextReport::records(const TrackFacts& track)
{
    if (track.records.empty()) {
        return;
    }
    appendWrapped(details_, "position      C   H   R   N  count  dens  del stat  length  in file", 6, 8);
    for (const RecordFacts& facts : track.records) {
        const SectorRecord& r = facts.record;
        char line[160];
        std::snprintf(line, sizeof line, "0x%08llx  %3u %3u %3u %3u  %5d  0x%02x 0x%02x 0x%02x  %6d  %7u",
                      static_cast<unsigned long long>(r.position), unsigned{r.id.c}, unsigned{r.id.h},
                      unsigned{r.id.r}, unsigned{r.id.n}, r.count, static_cast<unsigned>(r.density),
                      static_cast<unsigned>(r.deleted), static_cast<unsigned>(r.status), r.length, facts.present);
        appendWrapped(details_, r.status == 0 ? line : std::string(line) + "  " + statusMeaning(r.status), 6, 8);
    }
    if (track.records.size() < track.recordCount) {
        appendWrapped(details_, "... " + number(track.recordCount - track.records.size()) + " more records not listed",
                      6, 8);
    }
}

void TextReport::summary(std::string& out, const ImageSummary& summary) const
{
    appendWrapped(out,
                  image_.path + ": " + statusName(summary.status) + (summary.error.empty() ? "" : ": " + summary.error),
                  0, 4);
    std::string sizes = bytesAndKib(image_.size) + ", " + counted(static_cast<unsigned>(image_.diskCount), "disk", "disks");
    if (summary.trailingBytes > 0) {
        sizes += ", " + number(summary.trailingBytes) + " bytes after the last";
    }
    appendWrapped(out, sizes, 2, 4);
    for (std::size_t i = 0; i < disks_.size();) {
        const DiskFacts& disk = disks_[i].facts;
        std::size_t j = i + 1;
        if (toldAsRun(disk)) {
            while (j < disks_.size() && continuesRun(disk, disks_[j - 1].facts.index, disks_[j].facts)) {
                ++j;
            }
            appendWrapped(out, diskRunName(disk, disks_[j - 1].facts.index) + "  " + diskRunWhat(disk), 2, 6);
        } else {
            appendWrapped(out,
                          "disk " + number(static_cast<unsigned>(disk.index)) + "  " + shownName(disk) + "  " +
                              mediaText(disk.media) + "  " + geometryText(disks_[i].geometry, false, disk.bytesPresent < disk.size) +
                              diskWordsOfAll(disk, "  "),
                          2, 6);
        }
        i = j;
    }
    appendWrapped(out, "damage: " + kindCounts(summary.anomalies, true), 2, 4);
    const std::string notes = kindCounts(summary.anomalies, false);
    if (notes != "none") {
        appendWrapped(out, "notes: " + notes, 2, 4);
    }
    for (std::size_t way = 0; way < summary.cuts.size(); ++way) {
        if (told(way, summary)) {
            appendWrapped(out, cutCounts(cutterAt(way).name, summary.cuts[way].files), 2, 4);
        }
    }
}

void TextReport::anomalies(std::string& out, const ImageSummary& summary) const
{
    const std::vector<Anomaly>& all = summary.anomalies;
    out += '\n';
    appendWrapped(out, all.empty() ? "anomalies: none" : "anomalies:", 2, 4);
    for (const auto& [kind, places] : byKind(all)) {
        const Anomaly& first = all[places.front()];
        const std::string name = kind + (first.damage ? "" : std::string(" (") + severityName(false) + ")");
        if (places.size() == 1) {
            appendWrapped(out, name + (first.position >= 0 ? " at " + hexText(static_cast<unsigned long long>(first.position)) : "") +
                                   ": " + first.message,
                          4, 6);
            continue;
        }
        appendWrapped(out,
                      name + ", " + number(places.size()) + " times, from " + place(first) + " to " +
                          place(all[places.back()]) + "; the first: " + first.message,
                      4, 6);
    }
    if (summary.anomaliesLeftOut > 0) {
        appendWrapped(out, "... " + number(summary.anomaliesLeftOut) + " more not listed", 4, 6);
    }
}

void TextReport::endImage(const ImageSummary& summary)
{
    ++byStatus_[static_cast<int>(summary.status)];
    if (!image_.readable) {
        text_.flushIfLarge();
        return;  // told when the image was not opened
    }
    endDiskRun();
    std::string& out = text_.text();
    if (!summary.notAnImage.empty()) {
        // What was read as its disks means nothing: the judgement alone.
        appendWrapped(out, image_.path + ": " + statusWord(summary) + ": " + summary.notAnImage, 0, 4);
        details_.clear();
        disks_.clear();
        text_.flushIfLarge();
        return;
    }
    this->summary(out, summary);
    out += details_;
    anomalies(out, summary);
    for (std::size_t way = 0; way < summary.cuts.size(); ++way) {
        if (told(way, summary)) {
            plannedFiles(out, cutterAt(way).name, summary.cuts[way].files);
        }
    }
    details_.clear();
    disks_.clear();
    text_.flushIfLarge();
}

void TextReport::finish()
{
    if (images_ > 1) {
        text_.text() += '\n';
        appendWrapped(text_.text(),
                      counted(static_cast<unsigned>(images_), "image", "images") + ": " +
                          number(static_cast<unsigned>(byStatus_[0])) + " ok, " +
                          number(static_cast<unsigned>(byStatus_[1])) + " damaged, " +
                          number(static_cast<unsigned>(byStatus_[2])) + " unreadable",
                      0, 4);
    }
    text_.flush();
}
