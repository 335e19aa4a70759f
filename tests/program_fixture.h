// Runs a built program on an image in a fresh working folder, with the image
// kept in a folder of its own so that the working folder shows only what the
// program wrote.
#ifndef TESTS_PROGRAM_FIXTURE_H
#define TESTS_PROGRAM_FIXTURE_H

#include "test_support.h"

#include <utility>

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest(std::string program, std::string name) : program_(std::move(program)), name_(std::move(name)) {}

    testsupport::RunResult run(const d88build::Bytes& image) { return runOn(images_.write("image.d88", image)); }
    testsupport::RunResult runOn(const std::string& imagePath) { return runWith({name_, imagePath}); }
    testsupport::RunResult runWith(const std::vector<std::string>& argv)
    {
        return testsupport::runProgram(program_, argv, work_.path());
    }
    std::map<std::string, d88build::Bytes> outputs() const { return testsupport::filesIn(work_.path()); }

    testsupport::TempDir images_;
    testsupport::TempDir work_;

private:
    std::string program_;
    std::string name_;
};

#endif
