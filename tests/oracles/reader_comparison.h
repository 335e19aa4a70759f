// Runs every operation of the product reader and of the reference reader
// over the same image, side by side, and notes the first result in which
// they differ: return values, every byte of the destination buffers (those
// a call should not touch included), names, IDs and walks.
#ifndef ORACLES_READER_COMPARISON_H
#define ORACLES_READER_COMPARISON_H

#include "reference_reader.h"

#include <d88image/d88image.h>

#include <set>
#include <string>

namespace d88ref {

// How the product reader opens the image: by the name of a file holding it,
// or over its bytes in memory.
enum class ImageForm { File, Memory };

const char* formName(ImageForm form);

class ReaderComparison {
public:
    // Opens the image with the product reader in the given form: from path,
    // or from data itself (path unused). data holds the image's size bytes,
    // the same as the file's, and must outlive the comparison.
    ReaderComparison(ImageForm form, const std::string& path, const unsigned char* data, std::size_t size);

    // Disk count and offsets; then, for compareDisk, selection, the header's
    // facts and every track from fromTrack to 164.
    void compareIndex();
    void compareDisk(int index, int fromTrack = -1);
    // The track's list (at two capacities), its walk, and each listed
    // sector read whole, by one byte, cut at max, and as runs.
    void compareTrack(int track);
    // One read of each kind with the given parameters.
    void compareRead(int track, int c, int h, int r, int n, int max);
    void setSectorRange(int first, int last);

    // Every disk from -1 to the count, which is every operation there is.
    void compareEverything();

    // The closing form of open leaves no disks and no disk to select.
    void compareClosingForm();

    // Stops comparing sector reads after this many, for hostile inputs whose
    // tracks are long chains of records; unlimited unless set.
    void limitReads(long reads) { readsLeft_ = reads; }

    int diskCount() const { return reference_.diskCount(); }
    bool agree() const { return difference_.empty(); }
    const std::string& difference() const { return difference_; }
    long operations() const { return operations_; }

private:
    static constexpr int kNowhere = -1000;
    // The disk, track and read being compared, for the text of a difference.
    struct Place {
        int disk, track, c, h, r, n, max;
    };

    template <typename T>
    void expectSame(const T& product, const T& reference, const char* what);
    void expectSameBytes(const Bytes& product, const Bytes& reference, const char* what);
    std::string placeText() const;
    // What fills a destination before a call: two values by turns, so that
    // a stray write of either one shows.
    unsigned char nextFill() { return fill_ = fill_ == 0xE7 ? 0x18 : 0xE7; }

    // What the reader tells its observer: the steps of the last read and the
    // bytes they copied, which must add up to what the read gave.
    struct StepTally final : ReadObserver {
        void sectorRead(int, SectorId, const SectorRecord* found, int copied) override
        {
            ++steps;
            bytes += copied;
            copiedWithoutRecord = copiedWithoutRecord || (found == nullptr && copied != 0);
        }
        int steps = 0;
        long long bytes = 0;
        bool copiedWithoutRecord = false;
    };

    D88Image reader_;
    StepTally steps_;
    ReferenceReader reference_;
    bool opened_ = false;
    long readsLeft_ = -1;
    Place place_{kNowhere, kNowhere, 0, 0, 0, 0, kNowhere};
    Bytes product_, referenceBytes_;  // destination buffers, reused
    unsigned char fill_ = 0x18;
    std::set<std::uint64_t> tracksCompared_;  // start positions: a chain read once is not read again
    std::string difference_;
    long operations_ = 0;
};

// Compares everything over the image of size bytes at data, opened in the
// given form (from path for a file); returns the first difference, or an
// empty text when the readers agree throughout.
std::string compareReaders(ImageForm form, const std::string& path, const unsigned char* data, std::size_t size);

}  // namespace d88ref

#endif
