#include "file_lines.h"


#include <cstdio>

namespace {

std::string address(const char* what, long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s 0x%04lX", what, value);
    return text;
}

// The sectors that lack bytes, grouped by fault: "sectors C 1 H 0 R 3, C 1
// H 0 R 4 missing; sector C 2 H 0 R 1 short".
std::string lacking(const FileEntry& file)
{
    std::string text;
    for (const SectorFault fault :
         {SectorFault::Missing, SectorFault::Short, SectorFault::BadStatus, SectorFault::Deleted}) {
        std::string places;
        std::size_t count = 0;
        for (const FilePiece& piece : file.pieces) {
            if (piece.fault != fault) {
                continue;
            }
            const SectorPlace& p = piece.place;
            places += (count++ == 0 ? "" : ", ") +
                      (piece.placed ? "C " + std::to_string(p.c) + " H " + std::to_string(p.h) + " R " + std::to_string(p.r)
                                    : std::string("one its chain does not reach"));
        }
        if (count > 0) {
            text += (text.empty() ? "" : "; ") + std::string(count == 1 ? "sector " : "sectors ") + places + " " +
                    faultName(fault);
        }
    }
    return text;
}

}  // namespace

std::string fileLine(const FileEntry& file)
{
    std::string line = file.path + "  " + file.type;
    if (file.state != FileState::Folder) {
        line += "  " + std::to_string(file.size) + (file.size == 1 ? " byte" : " bytes");
    }
    if (file.loadAddress >= 0) {
        line += "  " + address("load", file.loadAddress);
    }
    if (file.execAddress >= 0) {
        line += "  " + address("exec", file.execAddress);
    }
    if (file.endAddress >= 0) {
        line += "  " + address("end", file.endAddress);
    }
    if (!file.date.empty()) {
        line += "  " + file.date;
    }
    for (const std::string& attribute : file.attributes) {
        line += "  " + attribute;
    }
    if (file.state != FileState::Complete && file.state != FileState::Folder) {
        const std::string lack = lacking(file);
        line += std::string("  ") + stateName(file.state) + (lack.empty() ? "" : ": " + lack);
    }
    for (const Damage& damage : file.damage) {
        line += "; " + damage.what + " (" + damage.where + ")";
    }
    return line;
}
