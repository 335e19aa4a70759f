// Every reader operation over an arbitrary image, each compared with the
// plain reference reader over the same bytes: each disk selected (and the
// indexes just outside the range), every track index from -1 to 164 listed
// and walked, its sectors read whole, cut short and as runs, and one more
// read per disk with IDs, limits and a sector range taken from the input's
// last bytes. A result that differs in any byte stops the fuzzer, as a
// crash does; destination buffers are checked beyond what a call returns.
// The reader opens the input in memory: it goes through the same window
// and refills as a file does, and no file is written per input.
#include "reader_comparison.h"

#include <cstdio>

namespace {

// Parameters read from the end of the input, zero where it is too short.
class Parameters {
public:
    Parameters(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    int byte(std::size_t k) const { return k < size_ ? data_[size_ - 1 - k] : 0; }
    int signedByte(std::size_t k) const { return static_cast<signed char>(byte(k)); }
    int word(std::size_t k) const { return static_cast<std::int16_t>(byte(k) | byte(k + 1) << 8); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Enough to read every sector of a few standard disks; a hostile chain of
// thousands of records per track would otherwise take minutes per input.
constexpr long kReadBudget = 20000;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Parameters p(data, size);
    d88ref::ReaderComparison comparison(d88ref::ImageForm::Memory, "", data, size);
    comparison.limitReads(kReadBudget);
    comparison.compareIndex();
    for (int d = -1; d <= comparison.diskCount() && comparison.agree(); ++d) {
        comparison.compareDisk(d);
        comparison.setSectorRange(p.signedByte(0), p.signedByte(1));
        comparison.compareRead(p.word(2), p.byte(6), p.byte(7), p.byte(8), p.signedByte(9), p.word(4) & 0x7FFF);
    }
    comparison.compareClosingForm();
    if (!comparison.agree()) {
        std::fprintf(stderr, "the reader differs from the reference: %s\n", comparison.difference().c_str());
        __builtin_trap();
    }
    return 0;
}
