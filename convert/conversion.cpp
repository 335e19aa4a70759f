#include "conversion.h"

#include "disk_shape.h"
#include "raw_writer.h"

#include <d88image/d88image.h>

#include <memory>
#include <vector>

namespace {

ToRawResult failure(std::string error, int diskCount = 0)
{
    ToRawResult result;
    result.error = std::move(error);
    result.diskCount = diskCount;
    return result;
}

}  // namespace

ToRawResult convertToRaw(const ImageInput& image, int disk, ImageFormat format, const BlockGeometry* given,
                         ByteSink& sink)
{
    // The disk's own geometry is the survey's judgement; a given one needs
    // only the disks counted.
    std::vector<DiskShape> shapes;
    std::string why;
    auto reader = std::make_unique<D88Image>();
    if (given == nullptr && !surveyShapes(image, shapes, why)) {
        return failure(why);
    }
    if (!image.openIn(*reader)) {
        return failure(given == nullptr ? "it cannot be read again" : "it cannot be read");
    }
    const int count = given == nullptr ? static_cast<int>(shapes.size()) : reader->diskCount();
    if (count == 0) {
        return failure("it holds no disk");
    }
    if (disk < 0 && count > 1) {
        return failure("it holds " + std::to_string(count) + " disks and a raw image holds one", count);
    }
    if (disk >= count) {
        return failure("it has no disk " + std::to_string(disk) + " (its disks are 0-" + std::to_string(count - 1) +
                           ")",
                       count);
    }
    const int index = disk < 0 ? 0 : disk;
    ToRawResult result;
    result.diskCount = count;
    if (given != nullptr) {
        result.geometry = *given;
    } else if (!rawGeometryOf(shapes[static_cast<std::size_t>(index)], result.geometry, why)) {
        return failure("disk " + std::to_string(index) + " has no geometry a raw image can hold: " + why, count);
    }
    if (format == ImageFormat::Fdi && !(result.geometry.firstTrack == result.geometry.track)) {
        return failure("an FDI image has one layout for every track, and track 0 of disk " + std::to_string(index) +
                           " has its own (" + geometryWords(result.geometry) + ")",
                       count);
    }
    if (!reader->selectDisk(index)) {
        return failure("its disk " + std::to_string(index) + " cannot be read", count);
    }
    if (format == ImageFormat::Fdi) {
        unsigned char header[kFdiHeaderSize];
        fdiHeader(result.geometry, header);
        sink.write(header, sizeof header);
    }
    writeRaw(*reader, result.geometry, sink, result.findings);
    if (reader->readFailed()) {
        return failure("reading it failed part way", count);
    }
    result.converted = true;
    return result;
}

ToD88Result convertToD88(const unsigned char* data, std::size_t size, ImageFormat format, const RawKind* named,
                         const BlockGeometry* given, int firstR, const DiskLabel& label, ByteSink& sink)
{
    RawFile file;
    file.size = size;
    file.head = data;
    file.headSize = std::min<std::size_t>(size, kFdiHeaderSize + 1024);
    file.format = format;
    file.named = named;
    ToD88Result result;
    result.choice = chooseRawGeometry(file, given);
    if (!result.choice.chosen) {
        return result;
    }
    if (firstR >= 0) {
        result.choice.geometry.firstR = firstR;
        if (!result.choice.geometry.valid()) {
            result.choice.chosen = false;
            result.choice.why = "with R from " + std::to_string(firstR) + ", its tracks' sectors would be numbered past 255";
            return result;
        }
    }
    writeD88(data + result.choice.dataOffset, result.choice.geometry, label, sink);
    result.converted = true;
    return result;
}
