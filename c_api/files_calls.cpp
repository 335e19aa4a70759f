// The files of a disk by its own file system: the library's listing held
// as it is (listFiles), its facts through accessors, and each file's bytes
// read again from the image (readFile), as d88info and d88cut read them.
#include "image_handle.h"

#include "file_systems.h"
#include "shift_jis.h"

#include <cstdlib>
#include <cstring>
#include <new>

struct d88_listed_file {
    const FileEntry* entry;
    std::vector<const FilePiece*> damaged;  // the pieces not whole and sound, in the file's order
};

struct d88_file_listing {
    int disk = -1;
    FileListing listing;
    std::vector<d88_listed_file> files;  // one per listing.files entry, pointing into it
};

namespace {

NameRules hostRules()
{
    NameRules rules;
    rules.decodeShiftJis = decodeShiftJis;
    return rules;
}

const Damage* damageAt(const std::vector<Damage>& damage, std::size_t index)
{
    return index < damage.size() ? &damage[index] : nullptr;
}

// The disk's selection as it was, after a call that selected another.
void restoreSelection(d88_image* image)
{
    image->reader.selectDisk(image->selected);
}

d88_status readFailure(d88_image* image)
{
    return failOfImage(image, D88_ERR_READ,
                       std::string("a read failed: ") + std::strerror(image->reader.readError()),
                       image->reader.readError());
}

// The bytes a read gives: a deleted entry, a missing file and a folder
// give none, as d88cut writes none of them.
std::uint64_t bytesGiven(const FileEntry& entry)
{
    return entry.state == FileState::Complete || entry.state == FileState::Incomplete ? entry.size : 0;
}

// Whether file is one of listing's: the only files a read may be handed.
bool belongs(const d88_file_listing* listing, const d88_listed_file* file)
{
    return listing != nullptr && file != nullptr && !listing->files.empty() && file >= &listing->files.front() &&
           file <= &listing->files.back();
}

d88_status readInto(d88_image* image, const d88_file_listing* listing, const d88_listed_file* file,
                    std::vector<unsigned char>& out, std::size_t& supplied)
{
    if (image == nullptr || !belongs(listing, file)) {
        return image != nullptr ? fail(image, D88_ERR_ARGUMENT, "the file is not one of the listing's")
                                : D88_ERR_ARGUMENT;
    }
    if (listing->disk < 0 || listing->disk >= d88_disk_count(image)) {
        return fail(image, D88_ERR_NO_DISK, "the image has no disk " + std::to_string(listing->disk));
    }
    out.clear();
    supplied = 0;
    if (bytesGiven(*file->entry) == 0) {
        return succeed(image);
    }
    supplied = readFile(image->reader, listing->disk, *file->entry, out);
    const bool failed = image->reader.readFailed();
    restoreSelection(image);
    return failed ? readFailure(image) : succeed(image);
}

}  // namespace

extern "C" {

d88_status d88_list_files(d88_image* image, int disk, d88_file_listing** listing)
{
    if (listing != nullptr) {
        *listing = nullptr;
    }
    if (image == nullptr || listing == nullptr) {
        return image != nullptr ? fail(image, D88_ERR_ARGUMENT, "no place for the listing") : D88_ERR_ARGUMENT;
    }
    if (disk < 0 || disk >= d88_disk_count(image)) {
        return fail(image, D88_ERR_NO_DISK, "the image has no disk " + std::to_string(disk));
    }
    d88_file_listing* made = new (std::nothrow) d88_file_listing();
    if (made == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the listing");
    }
    made->disk = disk;
    made->listing = listFiles(image->reader, disk, hostRules());
    const bool failed = image->reader.readFailed();
    restoreSelection(image);
    if (failed) {
        delete made;
        return readFailure(image);
    }
    made->files.reserve(made->listing.files.size());
    for (const FileEntry& entry : made->listing.files) {
        d88_listed_file file{&entry, {}};
        for (const FilePiece& piece : entry.pieces) {
            if (piece.fault != SectorFault::None) {
                file.damaged.push_back(&piece);
            }
        }
        made->files.push_back(std::move(file));
    }
    *listing = made;
    return succeed(image);
}

void d88_file_listing_free(d88_file_listing* listing)
{
    delete listing;
}

int d88_file_listing_found(const d88_file_listing* listing)
{
    return listing != nullptr && listing->listing.found ? 1 : 0;
}

int d88_file_listing_disk(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->disk : -1;
}

const char* d88_file_listing_type(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->listing.kind.c_str() : "";
}

const char* d88_file_listing_name(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->listing.name.c_str() : "";
}

const char* d88_file_listing_reason(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->listing.reason.c_str() : "";
}

uint64_t d88_file_listing_free_bytes(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->listing.freeBytes : 0;
}

size_t d88_file_listing_damage_count(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->listing.damage.size() : 0;
}

const char* d88_file_listing_damage_what(const d88_file_listing* listing, size_t index)
{
    const Damage* damage = listing != nullptr ? damageAt(listing->listing.damage, index) : nullptr;
    return damage != nullptr ? damage->what.c_str() : "";
}

const char* d88_file_listing_damage_where(const d88_file_listing* listing, size_t index)
{
    const Damage* damage = listing != nullptr ? damageAt(listing->listing.damage, index) : nullptr;
    return damage != nullptr ? damage->where.c_str() : "";
}

size_t d88_file_listing_file_count(const d88_file_listing* listing)
{
    return listing != nullptr ? listing->files.size() : 0;
}

const d88_listed_file* d88_file_listing_file(const d88_file_listing* listing, size_t index)
{
    return index < d88_file_listing_file_count(listing) ? &listing->files[index] : nullptr;
}

const char* d88_listed_file_path(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->path.c_str() : "";
}

const char* d88_listed_file_stored_name_hex(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->storedNameHex.c_str() : "";
}

const char* d88_listed_file_type(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->type.c_str() : "";
}

size_t d88_listed_file_attribute_count(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->attributes.size() : 0;
}

const char* d88_listed_file_attribute(const d88_listed_file* file, size_t index)
{
    return index < d88_listed_file_attribute_count(file) ? file->entry->attributes[index].c_str() : nullptr;
}

uint64_t d88_listed_file_size(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->size : 0;
}

long long d88_listed_file_load_address(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->loadAddress : -1;
}

long long d88_listed_file_exec_address(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->execAddress : -1;
}

long long d88_listed_file_end_address(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->endAddress : -1;
}

const char* d88_listed_file_date(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->date.c_str() : "";
}

const char* d88_listed_file_state(const d88_listed_file* file)
{
    return file != nullptr ? stateName(file->entry->state) : "";
}

int d88_listed_file_complete(const d88_listed_file* file)
{
    return file != nullptr && file->entry->state == FileState::Complete ? 1 : 0;
}

int d88_listed_file_deleted(const d88_listed_file* file)
{
    return file != nullptr && file->entry->state == FileState::Deleted ? 1 : 0;
}

size_t d88_listed_file_damaged_sector_count(const d88_listed_file* file)
{
    return file != nullptr ? file->damaged.size() : 0;
}

const char* d88_listed_file_damaged_sector(const d88_listed_file* file, size_t index, int* track, d88_sector_id* id)
{
    if (index >= d88_listed_file_damaged_sector_count(file)) {
        return nullptr;
    }
    const FilePiece& piece = *file->damaged[index];
    const auto byte = [](int value) { return static_cast<unsigned char>(value); };
    if (track != nullptr) {
        *track = piece.placed ? piece.place.track : -1;
    }
    if (id != nullptr) {
        *id = piece.placed ? d88_sector_id{byte(piece.place.c), byte(piece.place.h), byte(piece.place.r),
                                           byte(piece.place.n)}
                           : d88_sector_id{0, 0, 0, 0};
    }
    return faultName(piece.fault);
}

size_t d88_listed_file_damage_count(const d88_listed_file* file)
{
    return file != nullptr ? file->entry->damage.size() : 0;
}

const char* d88_listed_file_damage_what(const d88_listed_file* file, size_t index)
{
    const Damage* damage = file != nullptr ? damageAt(file->entry->damage, index) : nullptr;
    return damage != nullptr ? damage->what.c_str() : "";
}

const char* d88_listed_file_damage_where(const d88_listed_file* file, size_t index)
{
    const Damage* damage = file != nullptr ? damageAt(file->entry->damage, index) : nullptr;
    return damage != nullptr ? damage->where.c_str() : "";
}

d88_status d88_listed_file_read(d88_image* image, const d88_file_listing* listing, const d88_listed_file* file,
                                void* dest, size_t capacity, size_t* supplied)
{
    const std::uint64_t given = file != nullptr ? bytesGiven(*file->entry) : 0;
    if (image != nullptr && capacity < given) {
        return fail(image, D88_ERR_ARGUMENT,
                    "the file holds " + std::to_string(given) + " bytes, more than the buffer's " +
                        std::to_string(capacity));
    }
    if (dest == nullptr && given != 0) {
        return image != nullptr ? fail(image, D88_ERR_ARGUMENT, "no buffer for the file") : D88_ERR_ARGUMENT;
    }
    std::vector<unsigned char> bytes;
    std::size_t held = 0;
    const d88_status status = readInto(image, listing, file, bytes, held);
    if (status == D88_OK && !bytes.empty()) {
        std::memcpy(dest, bytes.data(), bytes.size());
    }
    if (supplied != nullptr) {
        *supplied = status == D88_OK ? held : 0;
    }
    return status;
}

d88_status d88_listed_file_bytes(d88_image* image, const d88_file_listing* listing, const d88_listed_file* file,
                                 unsigned char** data, size_t* size, size_t* supplied)
{
    if (data != nullptr) {
        *data = nullptr;
    }
    if (size != nullptr) {
        *size = 0;
    }
    if (data == nullptr || size == nullptr) {
        return image != nullptr ? fail(image, D88_ERR_ARGUMENT, "no place for the bytes") : D88_ERR_ARGUMENT;
    }
    std::vector<unsigned char> bytes;
    std::size_t held = 0;
    const d88_status status = readInto(image, listing, file, bytes, held);
    if (supplied != nullptr) {
        *supplied = status == D88_OK ? held : 0;
    }
    if (status != D88_OK || bytes.empty()) {
        return status;
    }
    *data = static_cast<unsigned char*>(std::malloc(bytes.size()));
    if (*data == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the file's bytes");
    }
    std::memcpy(*data, bytes.data(), bytes.size());
    *size = bytes.size();
    return D88_OK;
}

void d88_bytes_free(unsigned char* data)
{
    std::free(data);
}

}  // extern "C"
