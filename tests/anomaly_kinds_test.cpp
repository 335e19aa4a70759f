// Every anomaly kind a survey can report is explained where users look it
// up: the documents named by D88_ANOMALY_DOCUMENTS (paths from the top of
// the tree, separated by '|'), each of which must name every key.
#include "anomaly_kinds.h"

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
        paths.push_back(std::string(D88_SOURCE_DIR) + "/" + path);
    }
    return paths;
}

// The text with roff's escaped hyphens ("no\-disks") read as hyphens.
std::string plainText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string text = bytes.str();
    for (std::size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
        text.erase(at, 1);
    }
    return text;
}

// The key as a word of its own: not part of a longer key.
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

}  // namespace
