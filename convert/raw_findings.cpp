#include "raw_findings.h"

#include "report_words.h"

namespace {

const FindingWords kWords[kFindingKinds] = {
    {"missing", "missing, filled with zeros"},
    {"cut-short", "cut short by the end of the file, zeros after their bytes"},
    {"odd-length", "of another data length than their size, zeros after their bytes or bytes left out"},
    {"other-size", "of another size, left out and zeros in their place"},
    {"bad-status", "read badly when the disk was dumped, copied as they are"},
    {"deleted", "marked deleted, copied"},
    {"extra", "not in the geometry, left out"},
    {"duplicate", "duplicates of a sector's number, left out"},
};

std::string runText(const SectorRun& run)
{
    std::string text = run.lastTrack == run.track ? "track " + std::to_string(run.track)
                                                  : "tracks " + std::to_string(run.track) + "-" +
                                                        std::to_string(run.lastTrack);
    text += " R " + std::to_string(run.first);
    return run.last == run.first ? text : text + "-" + std::to_string(run.last);
}

}  // namespace

FindingWords findingWords(Finding kind)
{
    return kWords[static_cast<std::size_t>(kind)];
}

void RawFindings::add(Finding kind, int track, int r)
{
    Kind& found = kinds_[static_cast<std::size_t>(kind)];
    ++found.count;
    if (!found.runs.empty()) {
        SectorRun& last = found.runs.back();
        if (last.track == track && last.lastTrack == track && last.last + 1 == r) {
            last.last = r;
            return;
        }
    }
    joinLastTwo(found);
    if (found.runs.size() < kRunsKept) {
        found.runs.push_back({track, track, r, r});
    } else {
        ++found.runsLeftOut;
    }
}

void RawFindings::joinLastTwo(Kind& kind)
{
    const std::size_t n = kind.runs.size();
    if (n < 2) {
        return;
    }
    SectorRun& before = kind.runs[n - 2];
    const SectorRun& last = kind.runs[n - 1];
    if (before.first == last.first && before.last == last.last && before.lastTrack + 1 == last.track) {
        before.lastTrack = last.lastTrack;
        kind.runs.pop_back();
    }
}

void RawFindings::finish()
{
    for (Kind& kind : kinds_) {
        joinLastTwo(kind);
    }
}

bool RawFindings::exact() const
{
    for (const Kind& kind : kinds_) {
        if (kind.count != 0) {
            return false;
        }
    }
    return true;
}

std::string RawFindings::lines(const char* program, std::size_t runsShown) const
{
    std::string text;
    for (std::size_t k = 0; k < kFindingKinds; ++k) {
        const Kind& kind = kinds_[k];
        if (kind.count == 0) {
            continue;
        }
        text += std::string(program) + ": " + counted(kind.count, "sector", "sectors") + " " + kWords[k].text + ":";
        for (std::size_t i = 0; i < kind.runs.size() && i < runsShown; ++i) {
            text += (i == 0 ? " " : ", ") + runText(kind.runs[i]);
        }
        const std::size_t more = kind.runs.size() + kind.runsLeftOut - std::min(kind.runs.size(), runsShown);
        text += more == 0 ? "\n" : " and " + std::to_string(more) + " more\n";
    }
    return text;
}
