// The numbers of d88.h that the Python package and the page hold copies of
// (each in one block, under the header's names) against the header itself:
// the enumerators, the limits and the one layout they read, d88_sector_id's.
#include <d88image/d88.h>

#include <gtest/gtest.h>

#include "test_support.h"

#include <cstddef>
#include <map>
#include <regex>
#include <string>

namespace {

#define NUMBER(x) {#x, static_cast<long long>(x)}

const std::map<std::string, long long> kHeader = {
    NUMBER(D88_API_VERSION),
    NUMBER(D88_OK),
    NUMBER(D88_ERR_ARGUMENT),
    NUMBER(D88_ERR_MEMORY),
    NUMBER(D88_ERR_OPEN),
    NUMBER(D88_ERR_READ),
    NUMBER(D88_ERR_NO_DISK),
    NUMBER(D88_ERR_NOT_AN_IMAGE),
    NUMBER(D88_ERR_CONVERT),
    NUMBER(D88_MAX_SECTOR_DATA),
    NUMBER(D88_MAX_RECORDS_PER_WALK),
    NUMBER(D88_WALK_UNUSABLE),
    NUMBER(D88_WALK_COUNT),
    NUMBER(D88_WALK_ZERO_COUNT),
    NUMBER(D88_WALK_END_OF_FILE),
    NUMBER(D88_WALK_LIMIT),
    NUMBER(D88_WALK_STOPPED),
    NUMBER(D88_CONDITION_OK),
    NUMBER(D88_CONDITION_DAMAGED),
    NUMBER(D88_CONDITION_UNREADABLE),
    NUMBER(D88_CONDITION_NOT_AN_IMAGE),
    NUMBER(D88_SEVERITY_NOTE),
    NUMBER(D88_SEVERITY_DAMAGE),
    NUMBER(D88_TRACKS_LISTED),
    NUMBER(D88_TRACKS_COUNTED),
    NUMBER(sizeof(d88_sector_id)),
    NUMBER(offsetof(d88_sector_id, c)),
    NUMBER(offsetof(d88_sector_id, h)),
    NUMBER(offsetof(d88_sector_id, r)),
    NUMBER(offsetof(d88_sector_id, n)),
};

#undef NUMBER

// The "NAME": number pairs between the block's two marker lines.
std::map<std::string, long long> numbersIn(const std::string& path, std::string& error)
{
    const testsupport::Bytes bytes = testsupport::readFile(path);
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t begin = text.find("d88.h numbers: begin");
    const std::size_t end = text.find("d88.h numbers: end");
    std::map<std::string, long long> numbers;
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        error = "no block of d88.h numbers";
        return numbers;
    }
    const std::string block = text.substr(begin, end - begin);
    static const std::regex pair(R"(["']([^"']+)["']\s*:\s*(-?[0-9]+))");
    for (std::sregex_iterator it(block.begin(), block.end(), pair), last; it != last; ++it) {
        if (!numbers.emplace((*it)[1].str(), std::stoll((*it)[2].str())).second) {
            error += "twice: " + (*it)[1].str() + "; ";
        }
    }
    return numbers;
}

TEST(CApiBindings, HoldTheHeadersNumbers)
{
    const struct {
        const char* binding;
        const char* path;
        bool all;  // holds every number above (it names every enumerator)
    } bindings[] = {
        {"the Python package", D88_TEST_SOURCE_DIR "/python/d88image/_native.py", true},
        {"the page", D88_TEST_SOURCE_DIR "/web/src/library.js", false},
    };
    for (const auto& b : bindings) {
        SCOPED_TRACE(b.binding);
        std::string error;
        const std::map<std::string, long long> held = numbersIn(b.path, error);
        EXPECT_EQ(error, "");
        EXPECT_FALSE(held.empty());
        for (const auto& [name, value] : held) {
            const auto found = kHeader.find(name);
            if (found == kHeader.end()) {
                ADD_FAILURE() << name << " is no number of d88.h this test knows";
            } else {
                EXPECT_EQ(value, found->second) << name;
            }
        }
        if (b.all) {
            for (const auto& [name, value] : kHeader) {
                EXPECT_EQ(held.count(name), 1u) << name << " is missing";
            }
        }
    }
}

}  // namespace
