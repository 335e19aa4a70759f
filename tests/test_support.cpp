#include "test_support.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "d88test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may leave folders without write or search permission behind.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const
{
    const std::string path = file(name);
    EXPECT_TRUE(d88build::writeFile(path, bytes)) << path;
    return path;
}

namespace {
std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

namespace {
// A native Windows console program ends every line in CR LF.
std::string consoleLinesToLf(const std::string& text)
{
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            ADD_FAILURE() << "a console line ends in a bare LF: " << text;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    return lines;
}
}  // namespace

namespace {
// What the child says when the unprivileged user cannot reach the program.
constexpr int kUnreachable = 126;
const char kUnreachableText[] = "the unprivileged user cannot run the program";
}  // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& argv, const std::string& cwd,
                     const RunOptions& options)
{
    TempDir capture;
    // The capture files are opened before any change of user.
    const std::string outPath = options.standardOutput.empty() ? capture.file("stdout") : options.standardOutput;
    const std::string errPath = capture.file("stderr");
    const bool switchUser = options.asUnprivileged && geteuid() == 0;
    // A build inside a private folder (a clone under /root, say) is out of
    // the unprivileged user's reach: that user runs a copy of the program.
    TempDir reachable;
    std::string copied = program;
    if (switchUser) {
        copied = reachable.file(std::filesystem::path(program).filename().string());
        std::error_code error;
        std::filesystem::copy_file(program, copied, error);
        std::filesystem::permissions(reachable.path(), std::filesystem::perms::owner_all |
                                     std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_read | std::filesystem::perms::others_exec, error);
    }
    // A launcher runs the program with its own argv[0]; the rest follow.
    const std::string launcher = options.hostProgram ? "" : D88_TEST_LAUNCHER;
    std::vector<char*> args;
    if (!launcher.empty()) {
        args.push_back(const_cast<char*>(launcher.c_str()));
        args.push_back(const_cast<char*>(copied.c_str()));
    }
    for (std::size_t i = launcher.empty() ? 0 : 1; i < argv.size(); ++i) {
        args.push_back(const_cast<char*>(argv[i].c_str()));
    }
    args.push_back(nullptr);
    const std::string& executable = launcher.empty() ? copied : launcher;

    RunResult result;
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0) {
            _exit(127);
        }
        if (options.fileSizeLimit > 0) {
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
            if (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                _exit(127);
            }
        }
        if (options.timeLimit > 0) {
            alarm(options.timeLimit);  // kept across execv
        }
        if (switchUser) {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0 ||
                access(executable.c_str(), X_OK) != 0) {
                if (write(2, kUnreachableText, sizeof kUnreachableText - 1) < 0) {
                    _exit(127);
                }
                _exit(kUnreachable);
            }
        }
        execv(executable.c_str(), args.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        ADD_FAILURE() << "cannot run " << program;
        return result;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = options.standardOutput.empty() ? slurp(outPath) : "";
    result.err = slurp(errPath);
    if (switchUser && result.status == kUnreachable && result.err == kUnreachableText) {
        result.skipped = std::string(kUnreachableText) + " (" + copied + ") as user 65534";
        return result;
    }
    if (windowsPrograms() && !options.hostProgram) {
        result.out = consoleLinesToLf(result.out);
        result.err = consoleLinesToLf(result.err);
    }
    return result;
}

bool windowsPrograms()
{
    return D88_TEST_WINDOWS != 0;
}

std::string shownProgramName(const std::string& program, const std::string& given)
{
    if (!windowsPrograms()) {
        return given;
    }
    // Wine shows the Unix root as drive Z:.
    std::string path = "Z:" + std::filesystem::absolute(program).lexically_normal().string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string directoryInTheWayReason()
{
    return windowsPrograms() ? "Permission denied" : "Is a directory";
}

std::map<std::string, Bytes> filesIn(const std::string& folder)
{
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().filename().string()] = readFile(entry.path().string());
        }
    }
    return files;
}

Bytes readFile(const std::string& path)
{
    return toBytes(slurp(path));
}

Bytes toBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

namespace {
std::string hexAround(const Bytes& bytes, std::size_t at)
{
    std::ostringstream text;
    const std::size_t from = at < 16 ? 0 : (at - 16) / 16 * 16;
    for (std::size_t row = from; row < bytes.size() && row < from + 48; row += 16) {
        char line[32];
        std::snprintf(line, sizeof line, "  %08zx:", row);
        text << line;
        for (std::size_t i = row; i < row + 16 && i < bytes.size(); ++i) {
            char cell[8];
            std::snprintf(cell, sizeof cell, i == at ? " [%02x]" : " %02x", bytes[i]);
            text << cell;
        }
        text << '\n';
    }
    return text.str();
}
}  // namespace

::testing::AssertionResult sameBytes(const char* expectedText, const char* actualText, const Bytes& expected,
                                     const Bytes& actual)
{
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    return ::testing::AssertionFailure()
           << actualText << " (" << actual.size() << " bytes) differs from " << expectedText << " ("
           << expected.size() << " bytes) first at byte " << at << "\nexpected:\n"
           << hexAround(expected, at) << "actual:\n"
           << hexAround(actual, at);
}

}  // namespace testsupport
