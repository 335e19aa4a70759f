// Conversion, as d88convert makes it: a disk of an open image to a raw
// image (convertToRaw, into memory) and a raw image's bytes to a D88 image
// (convertToD88), each result held with what the conversion said.
#include "image_handle.h"

#include "conversion.h"

#include <new>

struct d88_raw_image {
    MemorySink bytes;
    std::string geometry;
    RawFindings findings;
};

struct d88_made_image {
    MemorySink bytes;
    std::string geometry;
    std::string from;
    std::string error;
};

namespace {

// The raw format a word names (null: plain raw), and the kind it names;
// false for a word of no format, or of D88.
bool rawFormatOf(const char* word, ImageFormat& format, const RawKind*& named)
{
    format = ImageFormat::Raw;
    named = nullptr;
    return word == nullptr || (formatNamed(word, format, named) && format != ImageFormat::D88);
}

// The geometry text (null: none given); false when it does not read.
bool geometryOf(const char* text, BlockGeometry& geometry, const BlockGeometry*& given)
{
    given = nullptr;
    if (text == nullptr) {
        return true;
    }
    given = &geometry;
    return parseGeometry(text, geometry);
}

bool knownKind(int kind)
{
    return kind >= 0 && kind < static_cast<int>(kFindingKinds);
}

Finding findingOf(int kind)
{
    return static_cast<Finding>(kind);
}

}  // namespace

extern "C" {

d88_status d88_disk_to_raw(d88_image* image, int disk, const char* format, const char* geometry, d88_raw_image** raw)
{
    if (raw != nullptr) {
        *raw = nullptr;
    }
    if (image == nullptr || raw == nullptr) {
        return image != nullptr ? fail(image, D88_ERR_ARGUMENT, "no place for the raw image") : D88_ERR_ARGUMENT;
    }
    ImageFormat to = ImageFormat::Raw;
    const RawKind* named = nullptr;
    BlockGeometry shape;
    const BlockGeometry* given = nullptr;
    if (!rawFormatOf(format, to, named)) {
        return fail(image, D88_ERR_ARGUMENT, std::string("no raw format is called ") + format);
    }
    if (!geometryOf(geometry, shape, given)) {
        return fail(image, D88_ERR_ARGUMENT, std::string("not a geometry CxHxSxBYTES: ") + geometry);
    }
    if (disk < 0 || disk >= d88_disk_count(image)) {
        return fail(image, D88_ERR_NO_DISK, "the image has no disk " + std::to_string(disk));
    }
    d88_raw_image* made = new (std::nothrow) d88_raw_image();
    if (made == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the raw image");
    }
    const ToRawResult result = convertToRaw(image->input, disk, to, given, made->bytes);
    if (!result.converted) {
        delete made;
        return failOfImage(image, D88_ERR_CONVERT, result.error);
    }
    made->geometry = geometryWords(result.geometry);
    made->findings = result.findings;
    *raw = made;
    return succeed(image);
}

void d88_raw_image_free(d88_raw_image* raw)
{
    delete raw;
}

const unsigned char* d88_raw_image_data(const d88_raw_image* raw)
{
    return raw != nullptr && !raw->bytes.bytes.empty() ? raw->bytes.bytes.data() : nullptr;
}

size_t d88_raw_image_size(const d88_raw_image* raw)
{
    return raw != nullptr ? raw->bytes.bytes.size() : 0;
}

const char* d88_raw_image_geometry(const d88_raw_image* raw)
{
    return raw != nullptr ? raw->geometry.c_str() : "";
}

int d88_raw_image_exact(const d88_raw_image* raw)
{
    return raw != nullptr && raw->findings.exact() ? 1 : 0;
}

int d88_raw_finding_kind_count(void)
{
    return static_cast<int>(kFindingKinds);
}

const char* d88_raw_finding_key(int kind)
{
    return knownKind(kind) ? findingWords(findingOf(kind)).key : nullptr;
}

const char* d88_raw_finding_text(int kind)
{
    return knownKind(kind) ? findingWords(findingOf(kind)).text : nullptr;
}

size_t d88_raw_image_finding_sectors(const d88_raw_image* raw, int kind)
{
    return raw != nullptr && knownKind(kind) ? raw->findings.count(findingOf(kind)) : 0;
}

size_t d88_raw_image_finding_run_count(const d88_raw_image* raw, int kind)
{
    return raw != nullptr && knownKind(kind) ? raw->findings.runs(findingOf(kind)).size() : 0;
}

size_t d88_raw_image_finding_runs_left_out(const d88_raw_image* raw, int kind)
{
    return raw != nullptr && knownKind(kind) ? raw->findings.runsLeftOut(findingOf(kind)) : 0;
}

d88_status d88_raw_image_finding_run(const d88_raw_image* raw, int kind, size_t index, int* track, int* last_track,
                                     int* first_r, int* last_r)
{
    if (index >= d88_raw_image_finding_run_count(raw, kind)) {
        return D88_ERR_ARGUMENT;
    }
    const SectorRun& run = raw->findings.runs(findingOf(kind))[index];
    const std::pair<int*, int> values[] = {{track, run.track}, {last_track, run.lastTrack}, {first_r, run.first},
                                           {last_r, run.last}};
    for (const auto& value : values) {
        if (value.first != nullptr) {
            *value.first = value.second;
        }
    }
    return D88_OK;
}

d88_status d88_raw_to_d88(const void* data, size_t size, const char* format, const char* geometry,
                          d88_made_image** made)
{
    if (made != nullptr) {
        *made = nullptr;
    }
    ImageFormat from = ImageFormat::Raw;
    const RawKind* named = nullptr;
    BlockGeometry shape;
    const BlockGeometry* given = nullptr;
    if (made == nullptr || (data == nullptr && size != 0) || !rawFormatOf(format, from, named) ||
        !geometryOf(geometry, shape, given)) {
        return D88_ERR_ARGUMENT;
    }
    d88_made_image* image = new (std::nothrow) d88_made_image();
    if (image == nullptr) {
        return D88_ERR_MEMORY;
    }
    static const unsigned char kNothing = 0;
    const unsigned char* bytes = data != nullptr ? static_cast<const unsigned char*>(data) : &kNothing;
    const ToD88Result result = convertToD88(bytes, size, from, named, given, -1, DiskLabel(), image->bytes);
    *made = image;
    if (!result.converted) {
        image->error = "not converted: " + result.choice.why;
        return D88_ERR_CONVERT;
    }
    image->geometry = geometryWords(result.choice.geometry);
    image->from = result.choice.from;
    return D88_OK;
}

void d88_made_image_free(d88_made_image* made)
{
    delete made;
}

const unsigned char* d88_made_image_data(const d88_made_image* made)
{
    return made != nullptr && !made->bytes.bytes.empty() ? made->bytes.bytes.data() : nullptr;
}

size_t d88_made_image_size(const d88_made_image* made)
{
    return made != nullptr ? made->bytes.bytes.size() : 0;
}

const char* d88_made_image_geometry(const d88_made_image* made)
{
    return made != nullptr ? made->geometry.c_str() : "";
}

const char* d88_made_image_geometry_from(const d88_made_image* made)
{
    return made != nullptr ? made->from.c_str() : "";
}

const char* d88_made_image_error(const d88_made_image* made)
{
    return made != nullptr ? made->error.c_str() : "";
}

}  // extern "C"
