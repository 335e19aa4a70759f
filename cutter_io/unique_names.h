// Names made unique within one run, as people expect: the stem, then
// stem-2, stem-3, ... (game, game-2). On Windows, whose file names ignore
// case, names are compared in lower case.
#ifndef FRONTEND_UNIQUE_NAMES_H
#define FRONTEND_UNIQUE_NAMES_H

#include <functional>
#include <set>
#include <string>

class UniqueNames {
public:
    // The first of stem, stem-2, ... that is not given yet and that taken,
    // when given, does not refuse; it counts as given from then on. A stem
    // that is empty or would lead to a folder itself or above it ("." or
    // "..") is "image".
    std::string give(std::string stem, const std::function<bool(const std::string&)>& taken = nullptr);

private:
    std::set<std::string> given_;
};

// The file name of path without its folder and its extension:
// "dumps/game.d88" -> "game".
std::string stemOf(const std::string& path);

#endif
