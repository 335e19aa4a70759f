// What the programs can say is explained where users look it up: every
// anomaly kind in each document named by D88_ANOMALY_DOCUMENTS (paths from
// the top of the tree, separated by '|'), every way of taking files in the
// man pages of the programs that offer or report it.
#include "anomaly_kinds.h"
#include "cutter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> documents()
{
    std::vector<std::string> paths;
    std::stringstream list(D88_ANOMALY_DOCUMENTS);
    for (std::string path; std::getline(list, path, '|');) {
        paths.push_back(path);
    }
    return paths;
}

// The text with roff's escaped hyphens ("no\-disks") read as hyphens.
std::string plainText(const std::string& path)
{
    std::ifstream file(path.front() == '/' ? path : std::string(D88_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string text = bytes.str();
    for (std::size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
        text.erase(at, 1);
    }
    return text;
}

// The key as a word of its own: not part of a longer key or option.
bool names(const std::string& text, const std::string& key)
{
    const auto partOfKey = [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; };
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        const std::size_t end = at + key.size();
        if ((at == 0 || !partOfKey(text[at - 1])) && (end == text.size() || !partOfKey(text[end]))) {
            return true;
        }
    }
    return false;
}

TEST(AnomalyKinds, EveryKeyIsInEveryDocument)
{
    ASSERT_FALSE(documents().empty());
    for (const std::string& path : documents()) {
        const std::string text = plainText(path);
        ASSERT_FALSE(text.empty()) << path << " cannot be read";
        for (std::size_t i = 0; i < anomalyKindCount(); ++i) {
            EXPECT_TRUE(names(text, anomalyKindAt(i).key)) << path << " does not list " << anomalyKindAt(i).key;
        }
    }
}

// d88cut offers each way as --KEY; d88info's JSON has a member for it.
TEST(CutterTable, EveryWayIsInTheProgramsManPages)
{
    const std::string d88cut = plainText("man/d88cut.1");
    const std::string d88info = plainText("man/d88info.1");
    ASSERT_FALSE(d88cut.empty() || d88info.empty());
    for (std::size_t way = 0; way < cutterCount(); ++way) {
        const Cutter& cutter = cutterAt(way);
        EXPECT_TRUE(names(d88cut, std::string("--") + cutter.key)) << "d88cut(1) lacks --" << cutter.key;
        EXPECT_TRUE(names(d88info, cutter.jsonMember)) << "d88info(1) lacks " << cutter.jsonMember;
        EXPECT_EQ(findCutter(cutter.key), &cutter);
        EXPECT_STREQ(cutterKeyAt(way), cutter.key);
    }
    EXPECT_EQ(cutterKeyAt(cutterCount()), nullptr);
}

}  // namespace
