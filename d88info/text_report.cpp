#include "text_report.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

// Appends to the report's text through a small buffer of its own, without
// building pieces first: the track lines are most of a report, one for each
// track of every disk.
class Line {
public:
    explicit Line(std::string& out) : out_(out) {}
    ~Line() { flush(); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    Line& operator<<(std::string_view text)
    {
        if (text.size() > sizeof buffer_ - used_) {
            flush();
            if (text.size() > sizeof buffer_) {
                out_ += text;
                return *this;
            }
        }
        std::memcpy(buffer_ + used_, text.data(), text.size());
        used_ += text.size();
        return *this;
    }
    Line& operator<<(const char* text) { return *this << std::string_view(text); }
    Line& operator<<(unsigned long long value)
    {
        char digits[24];
        return *this << std::string_view(digits, static_cast<std::size_t>(
                                                     std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
    }
    Line& operator<<(int value) { return *this << static_cast<unsigned long long>(value < 0 ? 0 : value); }
    Line& operator<<(unsigned value) { return *this << static_cast<unsigned long long>(value); }
    Line& operator<<(unsigned long value) { return *this << static_cast<unsigned long long>(value); }
    // value in hex with 0x, at least digits digits.
    Line& hex(unsigned long long value, int digits = 1)
    {
        static const char kHex[] = "0123456789abcdef";
        char text[20];
        int at = sizeof text;
        do {
            text[--at] = kHex[value & 0xF];
            value >>= 4;
        } while (value != 0 || static_cast<int>(sizeof text) - at < digits);
        text[--at] = 'x';
        text[--at] = '0';
        return *this << std::string_view(text + at, sizeof text - static_cast<std::size_t>(at));
    }
    void end() { *this << "\n"; }

private:
    void flush()
    {
        out_.append(buffer_, used_);
        used_ = 0;
    }

    std::string& out_;
    char buffer_[1024];
    std::size_t used_ = 0;
};

// "; R 1 2 3; 1024 bytes each" or, when the sizes differ, "; R 1 2 3; sizes 1024 512 1024".
void sectorSummary(Line& line, const TrackFacts& track)
{
    constexpr std::size_t kShown = 64;
    if (track.records.empty()) {
        return;
    }
    const std::size_t shown = std::min(kShown, track.records.size());
    const int firstLength = track.records[0].record.length;
    bool sameSize = true;
    line << "; R";
    for (std::size_t i = 0; i < shown; ++i) {
        line << " " << static_cast<unsigned>(track.records[i].record.id.r);
        sameSize = sameSize && track.records[i].record.length == firstLength;
    }
    const bool more = shown < track.recordCount;
    if (more) {
        line << " ... (" << static_cast<unsigned long long>(track.recordCount - shown) << " more)";
    }
    if (sameSize) {
        line << "; " << firstLength << " bytes each";
        return;
    }
    line << "; sizes";
    for (std::size_t i = 0; i < shown; ++i) {
        line << " " << track.records[i].record.length;
    }
    if (more) {
        line << " ...";
    }
}

}  // namespace

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

TextReport::TextReport(ReportOutput& output, bool everyRecord) : text_(output), everyRecord_(everyRecord) {}

void TextReport::beginImage(const ImageFacts& image)
{
    Line line(text_.text());
    if (!firstImage_) {
        line.end();
    }
    firstImage_ = false;
    if (!image.readable) {
        line << image.path << ": cannot be read: " << image.error;
        line.end();
        return;
    }
    line << image.path << ": " << static_cast<unsigned long long>(image.size) << " bytes, " << image.diskCount
         << (image.diskCount == 1 ? " disk" : " disks");
    line.end();
}

void TextReport::beginDisk(const DiskFacts& disk)
{
    Line line(text_.text());
    line.end();
    line << "  disk " << disk.index << " at ";
    line.hex(disk.offset) << ": \"" << shownBytes(disk.name) << "\"";
    line.end();
    const char* media = mediaName(disk.media);
    line << "    media ";
    line.hex(static_cast<unsigned>(disk.media), 2) << " (" << (media != nullptr ? media : "unknown")
                                                   << "), write protect ";
    line.hex(static_cast<unsigned>(disk.writeProtect), 2)
        << (disk.writeProtect == 0 ? " (off)" : disk.writeProtect == 0x10 ? " (on)" : " (unknown)");
    line.end();
    line << "    size " << disk.size << " bytes, ";
    if (disk.bytesPresent == disk.size) {
        line << "all in the file";
    } else {
        line << static_cast<unsigned long long>(disk.bytesPresent) << " of them in the file";
    }
    line.end();
    if (disk.kind != DiskKind::None) {
        line << "    tablecut: " << kindName(disk.kind);
    } else {
        line << "    tablecut: no known kind (" << disk.kindNote << ")";
    }
    line.end();
}

void TextReport::track(const TrackFacts& track)
{
    Line line(text_.text());
    line << "    track " << track.index << " at offset ";
    line.hex(track.offset) << ": ";
    if (!track.usable) {
        line << "beyond the disk's size, not read";
        line.end();
        return;
    }
    line << static_cast<unsigned long long>(track.recordCount) << (track.recordCount == 1 ? " record, " : " records, ")
         << walkEndWords(track.end).text;
    sectorSummary(line, track);
    line.end();
    if (everyRecord_) {
        for (const RecordFacts& facts : track.records) {
            const SectorRecord& record = facts.record;
            line << "      ";
            line.hex(record.position, 8) << "  C " << unsigned{record.id.c} << " H " << unsigned{record.id.h} << " R "
                                         << unsigned{record.id.r} << " N " << unsigned{record.id.n} << "  count "
                                         << record.count << "  density ";
            line.hex(static_cast<unsigned>(record.density), 2) << "  deleted ";
            line.hex(static_cast<unsigned>(record.deleted), 2) << "  status ";
            line.hex(static_cast<unsigned>(record.status), 2) << "  length " << record.length << "  in file "
                                                              << facts.present;
            line.end();
        }
        if (track.records.size() < track.recordCount) {
            line << "      ... " << static_cast<unsigned long long>(track.recordCount - track.records.size())
                 << " more records not listed";
            line.end();
        }
    }
    text_.flushIfLarge();
}

void TextReport::endDisk() {}

void TextReport::plannedFiles(const char* program, const std::vector<PlannedFile>& files)
{
    Line line(text_.text());
    line << "  " << program << (files.empty() ? " would write nothing" : " would write:");
    line.end();
    for (const PlannedFile& file : files) {
        line << "    " << file.name << std::string(file.name.size() < 8 ? 8 - file.name.size() : 0, ' ') << " disk "
             << file.disk << (file.disk < 10 ? "  " : " ");
        if (!file.written) {
            line << "not written: its first sector is missing or short";
            line.end();
            continue;
        }
        line << static_cast<unsigned long long>(file.size) << " bytes";
        if (file.firstBlock >= 0) {
            line << " from block " << file.firstBlock;
        }
        if (file.supplied == file.size) {
            line << ", complete";
        } else {
            line << ", zero-padded from byte " << static_cast<unsigned long long>(file.supplied)
                 << " (the sectors supply " << static_cast<unsigned long long>(file.supplied) << " of "
                 << static_cast<unsigned long long>(file.size) << ")";
        }
        if (file.replaced) {
            line << "; replaced by a later disk's file";
        }
        line.end();
    }
}

void TextReport::endImage(const ImageSummary& summary)
{
    if (summary.status == ImageStatus::Unreadable && summary.error.empty()) {
        text_.flushIfLarge();
        return;  // told when the image was not opened
    }
    {
        Line line(text_.text());
        line.end();
        if (summary.trailingBytes > 0) {
            line << "  " << static_cast<unsigned long long>(summary.trailingBytes) << " bytes after the last disk";
            line.end();
        }
        line << (summary.anomalies.empty() ? "  anomalies: none" : "  anomalies:");
        line.end();
        for (const Anomaly& anomaly : summary.anomalies) {
            line << "    " << anomaly.kind << (anomaly.damage ? "" : " (note)");
            if (anomaly.position >= 0) {
                line << " at ";
                line.hex(static_cast<unsigned long long>(anomaly.position));
            }
            line << ": " << anomaly.message;
            line.end();
        }
        if (summary.anomaliesLeftOut > 0) {
            line << "    ... " << static_cast<unsigned long long>(summary.anomaliesLeftOut) << " more not listed";
            line.end();
        }
    }
    plannedFiles("tablecut", summary.tablecut);
    plannedFiles("scancut", summary.scancut);
    Line(text_.text()) << "  status: " << statusName(summary.status) << (summary.error.empty() ? "" : " (")
                       << summary.error << (summary.error.empty() ? "" : ")") << "\n";
    text_.flushIfLarge();
}
