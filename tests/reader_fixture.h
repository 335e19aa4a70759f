// A reader over an image built in the test, written to a temporary file.
#ifndef TESTS_READER_FIXTURE_H
#define TESTS_READER_FIXTURE_H

#include "test_support.h"

#include <d88image/d88image.h>

class ReaderTest : public ::testing::Test {
protected:
    bool openImage(const d88build::Bytes& bytes)
    {
        path_ = dir_.write("image.d88", bytes);
        return reader_.open(path_.c_str());
    }

    // Reads sector (c, h, r, 3) of track t, up to max bytes.
    d88build::Bytes sector(int t, int c, int h, int r, int max = 1024)
    {
        d88build::Bytes buffer(static_cast<std::size_t>(max));
        const int got = reader_.readSector(t, c, h, r, 3, buffer.data(), max);
        buffer.resize(static_cast<std::size_t>(got));
        return buffer;
    }

    testsupport::TempDir dir_;
    std::string path_;
    D88Image reader_;
};

#endif
