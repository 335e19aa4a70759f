#include "reader_comparison.h"

#include <algorithm>
#include <sstream>

namespace d88ref {

bool operator==(const Record& a, const Record& b)
{
    return a.position == b.position && a.c == b.c && a.h == b.h && a.r == b.r && a.n == b.n && a.count == b.count &&
           a.density == b.density && a.deleted == b.deleted && a.status == b.status && a.length == b.length;
}

namespace {

constexpr int kIdCapacity = 64;

std::string recordText(const std::vector<Record>& records, std::size_t i)
{
    if (i >= records.size()) {
        return "none";
    }
    const Record& record = records[i];
    std::ostringstream text;
    text << "@" << record.position << " ID " << int{record.c} << "," << int{record.h} << "," << int{record.r} << ","
         << int{record.n} << " count " << record.count << " length " << record.length << " density " << record.density
         << " deleted " << record.deleted << " status " << record.status;
    return text.str();
}

// Collects the product walk in the reference's terms.
class Collector : public RecordVisitor {
public:
    bool visit(const SectorRecord& record) override
    {
        records.push_back({record.position, record.id.c, record.id.h, record.id.r, record.id.n, record.count,
                           record.density, record.deleted, record.status, record.length});
        return true;
    }
    std::vector<Record> records;
};

}  // namespace

const char* formName(ImageForm form)
{
    return form == ImageForm::File ? "from a file" : "from memory";
}

ReaderComparison::ReaderComparison(ImageForm form, const std::string& path, const unsigned char* data,
                                   std::size_t size)
    : reference_(data, size)
{
    opened_ = form == ImageForm::File ? reader_.open(path.c_str()) : reader_.openMemory(data, size);
    reader_.setReadObserver(&steps_);
    if (!opened_) {
        difference_ = "the product reader cannot open " + (form == ImageForm::File ? path : "the image from memory");
    }
}

// Where the comparison stands, for a difference: put into words only then,
// as most comparisons agree.
std::string ReaderComparison::placeText() const
{
    std::ostringstream text;
    text << "disk " << place_.disk;
    if (place_.track != kNowhere) {
        text << " track " << place_.track;
    }
    if (place_.max != kNowhere) {
        text << " ID (" << place_.c << ", " << place_.h << ", " << place_.r << ", " << place_.n << ") max "
             << place_.max;
    }
    return text.str();
}

template <typename T>
void ReaderComparison::expectSame(const T& product, const T& reference, const char* what)
{
    ++operations_;
    if (difference_.empty() && !(product == reference)) {
        std::ostringstream text;
        text << what << " (" << placeText() << "): product " << product << ", reference " << reference;
        difference_ = text.str();
    }
}

void ReaderComparison::expectSameBytes(const Bytes& product, const Bytes& reference, const char* what)
{
    if (!difference_.empty() || product == reference) {
        return;
    }
    std::size_t at = 0;
    while (at < product.size() && at < reference.size() && product[at] == reference[at]) {
        ++at;
    }
    std::ostringstream text;
    text << what << " (" << placeText() << "): bytes differ first at " << at << " of " << product.size();
    if (at < product.size() && at < reference.size()) {
        text << " (product " << int{product[at]} << ", reference " << int{reference[at]} << ")";
    }
    difference_ = text.str();
}

void ReaderComparison::compareIndex()
{
    if (!opened_) {
        return;
    }
    expectSame(reader_.diskCount(), reference_.diskCount(), "disk count");
    for (int d = -1; d <= reference_.diskCount(); ++d) {
        place_ = {d, kNowhere, 0, 0, 0, 0, kNowhere};
        expectSame(reader_.diskOffset(d), reference_.diskOffset(d), "disk offset");
    }
}

void ReaderComparison::setSectorRange(int first, int last)
{
    reader_.setSectorRange(first, last);
    reference_.setSectorRange(first, last);
}

void ReaderComparison::compareDisk(int index, int fromTrack)
{
    if (!opened_) {
        return;
    }
    place_ = {index, kNowhere, 0, 0, 0, 0, kNowhere};
    expectSame(reader_.selectDisk(index), reference_.selectDisk(index), "selecting the disk");
    expectSame(std::string(reader_.diskName()), reference_.diskName(), "disk name");
    expectSame(reader_.mediaType(), reference_.mediaType(), "media type");
    expectSame(reader_.writeProtect(), reference_.writeProtect(), "write protect");
    expectSame(reader_.diskSize(), reference_.diskSize(), "disk size");
    for (int t = fromTrack; t <= 164 && agree(); ++t) {
        place_.track = t;
        expectSame(reader_.trackOffset(t), reference_.trackOffset(t), "track offset");
        compareTrack(t);
    }
}

void ReaderComparison::compareTrack(int track)
{
    place_.track = track;
    place_.max = kNowhere;
    Collector collector;
    std::vector<Record> expected;
    expectSame(static_cast<int>(reader_.walkTrack(track, collector)), static_cast<int>(reference_.walkTrack(track, expected)),
               "the end of the walk");
    if (collector.records != expected) {
        std::size_t i = 0;
        while (i < expected.size() && i < collector.records.size() && collector.records[i] == expected[i]) {
            ++i;
        }
        expectSame(recordText(collector.records, i), recordText(expected, i), "a record of the walk");
    }

    // Lists to capacities that are not whole IDs or none at all, and, where
    // the walk met its limit, past it: a list has no record limit.
    std::vector<int> capacities = {kIdCapacity, 6, 3, 0, -1};
    if (expected.size() >= static_cast<std::size_t>(D88Image::kMaxRecordsPerWalk)) {
        capacities.push_back(4 * (D88Image::kMaxRecordsPerWalk + 100));
    }
    Bytes ids;
    int listed = 0;
    for (int capacity : capacities) {
        const std::size_t room = static_cast<std::size_t>(std::max(capacity, kIdCapacity));
        product_.assign(room, nextFill());
        referenceBytes_.assign(room, product_[0]);
        const int written = reader_.listSectorIds(track, product_.data(), capacity);
        expectSame(written, reference_.listSectorIds(track, referenceBytes_.data(), capacity), "listing the IDs");
        expectSameBytes(product_, referenceBytes_, "the IDs listed");
        if (capacity == kIdCapacity) {
            ids = product_;
            listed = written;
        }
    }
    if (expected.empty() || !tracksCompared_.insert(expected.front().position).second) {
        return;
    }

    // Runs wrap between the smallest and largest sector number listed.
    int first = 256, last = -1;
    for (int i = 0; i + 3 < listed; i += 4) {
        first = std::min<int>(first, ids[i + 2]);
        last = std::max<int>(last, ids[i + 2]);
    }
    if (last >= 0) {
        setSectorRange(first, last);
    }
    for (const Record& record : expected) {
        if (!agree()) {
            break;
        }
        compareRead(track, record.c, record.h, record.r, record.n, record.length + 7);  // past its end
        compareRead(track, record.c, record.h, record.r, record.n, 1);
        compareRead(track, record.c, record.h, record.r, record.n, record.length > 2 ? record.length / 2 + 1 : 3);
        if (&record == expected.data()) {
            compareRead(track, record.c, record.h, record.r, record.n, 0);
            compareRead(track, record.c, record.h, record.r, record.n, -5);
        }
        if (expected.size() > 16 && &record - expected.data() >= 16) {
            break;  // the first 16 are plenty on long chains
        }
    }
}

void ReaderComparison::compareRead(int track, int c, int h, int r, int n, int max)
{
    if (readsLeft_ == 0) {
        return;
    }
    if (readsLeft_ > 0) {
        --readsLeft_;
    }
    place_.track = track;
    place_.c = c;
    place_.h = h;
    place_.r = r;
    place_.n = n;
    place_.max = max;
    const std::size_t room = static_cast<std::size_t>(std::max(max, 0)) + 64;
    product_.assign(room, nextFill());
    referenceBytes_.assign(room, product_[0]);
    steps_ = {};
    const int got = reader_.readSector(track, c, h, r, n, product_.data(), max);
    expectSame(got, reference_.readSector(track, c, h, r, n, referenceBytes_.data(), max), "reading the sector");
    expectSameBytes(product_, referenceBytes_, "the sector's bytes");
    expectSame(steps_.steps, 1, "the observer's calls for one read");
    expectSame(steps_.bytes, static_cast<long long>(got), "the bytes the observer was told the read copied");

    // Runs of a few sectors, ending inside one.
    const int total = std::min(max, 3000);
    std::fill(product_.begin(), product_.end(), nextFill());
    std::fill(referenceBytes_.begin(), referenceBytes_.end(), product_[0]);
    int productCopied = 0, referenceCopied = 0;
    steps_ = {};
    expectSame(reader_.readRun(track, c, h, r, n, product_.data(), total, productCopied),
               reference_.readRun(track, c, h, r, n, referenceBytes_.data(), total, referenceCopied), "the run");
    expectSame(productCopied, referenceCopied, "the bytes the run copied");
    expectSame(steps_.bytes, static_cast<long long>(productCopied), "the bytes the observer was told the run copied");
    expectSame(steps_.copiedWithoutRecord, false, "bytes the observer was told of without a record");
    expectSameBytes(product_, referenceBytes_, "the run's bytes");
}

void ReaderComparison::compareEverything()
{
    compareIndex();
    for (int d = -1; d <= reference_.diskCount() && agree(); ++d) {
        compareDisk(d);
    }
}

void ReaderComparison::compareClosingForm()
{
    if (!opened_) {
        return;
    }
    const std::string name = reader_.diskName();
    place_ = {kNowhere, kNowhere, 0, 0, 0, 0, kNowhere};
    expectSame(reader_.open(), true, "the closing form of open");
    expectSame(reader_.diskCount(), 0, "disk count after closing");
    expectSame(reader_.selectDisk(0), false, "selecting after closing");
    expectSame(std::string(reader_.diskName()), name, "the name kept after closing");
}

std::string compareReaders(ImageForm form, const std::string& path, const unsigned char* data, std::size_t size)
{
    ReaderComparison comparison(form, path, data, size);
    comparison.compareEverything();
    return comparison.difference();
}

}  // namespace d88ref
