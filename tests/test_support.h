// Helpers shared by the tests: temporary folders, running a built program
// and comparing bytes with a hex dump around the first difference.
#ifndef TESTS_TEST_SUPPORT_H
#define TESTS_TEST_SUPPORT_H

#include "image_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

using d88build::Bytes;

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes bytes to the file name in this folder and returns its path.
    std::string write(const std::string& name, const Bytes& bytes) const;

private:
    std::string path_;
};

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
    std::string skipped;  // why the program could not be run as asked; empty when it ran
};

struct RunOptions {
    // A program started by root runs as user and group 65534 instead, for
    // whom file permissions hold. It runs from a copy in a folder of its
    // own that this user can reach, wherever the build lies.
    bool asUnprivileged = false;
    // A file standard output goes to instead of being captured.
    std::string standardOutput;
    // When above 0, no file the program writes may grow past this many
    // bytes: writing further fails as on a full disk (EFBIG).
    long fileSizeLimit = 0;
    // When above 0, the program is ended (SIGALRM) after this many seconds,
    // so that one that hangs fails its test (status -1) instead of holding
    // the suite up.
    unsigned timeLimit = 0;
    // A program of this machine (sha256sum, say) rather than one under test:
    // run without the launcher, its lines as they come.
    bool hostProgram = false;
};

// Runs program with the given argv (argv[0] included; an empty list gives an
// argument count of 0) in the folder cwd, capturing both output streams.
RunResult runProgram(const std::string& program, const std::vector<std::string>& argv, const std::string& cwd,
                     const RunOptions& options = {});

// Whether the programs under test are Windows programs, run through a
// launcher (Wine). Their console output then ends its lines in CR LF, which
// runProgram checks and turns into LF.
bool windowsPrograms();

// What the program under test shows as its argv[0] when started as given:
// given itself, or for a Windows program the full Windows path of the .exe,
// which is what Windows passes.
std::string shownProgramName(const std::string& program, const std::string& given);

// The system's reason for failing to create a file where a directory stands.
std::string directoryInTheWayReason();

// Every regular file in folder, by name, with its contents.
std::map<std::string, Bytes> filesIn(const std::string& folder);

Bytes readFile(const std::string& path);
Bytes toBytes(const std::string& text);

// For EXPECT_PRED_FORMAT2: equal sizes and contents, else a hex dump of both
// sides around the first differing byte.
::testing::AssertionResult sameBytes(const char* expectedText, const char* actualText, const Bytes& expected,
                                     const Bytes& actual);

}  // namespace testsupport

#define EXPECT_SAME_BYTES(expected, actual) EXPECT_PRED_FORMAT2(::testsupport::sameBytes, expected, actual)

#endif
