#include "file_system_json.h"

namespace {

void writeDamage(JsonWriter& json, const std::vector<Damage>& damage)
{
    json.key("damage");
    json.beginArray();
    for (const Damage& d : damage) {
        json.beginObject();
        json.member("what", d.what);
        json.member("where", d.where);
        json.endObject();
    }
    json.endArray();
}

void writeFile(JsonWriter& json, const FileEntry& file)
{
    json.beginObject();
    json.member("path", file.path);
    json.member("stored_name_hex", file.storedNameHex);
    json.member("size", static_cast<unsigned long long>(file.size));
    json.member("type", file.type);
    json.key("attributes");
    json.beginArray();
    for (const std::string& attribute : file.attributes) {
        json.value(attribute);
    }
    json.endArray();
    const std::pair<const char*, long> addresses[] = {
        {"load_address", file.loadAddress}, {"exec_address", file.execAddress}, {"end_address", file.endAddress}};
    for (const auto& [name, address] : addresses) {
        if (address >= 0) {
            json.member(name, address);
        }
    }
    if (!file.date.empty()) {
        json.member("date", file.date);
    }
    json.member("state", stateName(file.state));
    json.member("deleted", file.state == FileState::Deleted);
    json.member("complete", file.state == FileState::Complete || file.state == FileState::Folder);
    json.key("damaged_sectors");
    json.beginArray();
    for (const FilePiece& piece : file.pieces) {
        if (piece.fault == SectorFault::None) {
            continue;
        }
        json.beginObject();
        if (piece.placed) {
            json.member("track", piece.place.track);
            json.member("c", piece.place.c);
            json.member("h", piece.place.h);
            json.member("r", piece.place.r);
            json.member("n", piece.place.n);
        }
        json.member("fault", faultName(piece.fault));
        json.member("bytes", piece.bytes);
        json.member("supplied", piece.supplied);
        json.endObject();
    }
    json.endArray();
    writeDamage(json, file.damage);
    json.endObject();
}

}  // namespace

void writeFileSystem(JsonWriter& json, const FileListing* listing)
{
    if (listing == nullptr || !listing->found) {
        return;
    }
    json.key("file_system");
    json.beginObject();
    json.member("type", listing->kind);
    json.member("name", listing->name);
    json.member("reason", listing->reason);
    json.member("score", listing->score);
    json.member("free_bytes", static_cast<unsigned long long>(listing->freeBytes));
    writeDamage(json, listing->damage);
    json.key("files");
    json.beginArray();
    for (const FileEntry& file : listing->files) {
        writeFile(json, file);
    }
    json.endArray();
    json.endObject();
}
