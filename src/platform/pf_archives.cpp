// pf_archives.cpp: the game's data packs ("2zlp", via the pack reader) and ZIP archives (via libarchive).
#include "pack_format.h"
#include "pf_internal.h"
#include "platform.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Handles handed out for PF_ANY start here, far above any number the game picks.
constexpr int PfArchiveFirstAnyHandle = 0x100000;
constexpr size_t ZipChunk = 64 * 1024;

struct PfPack {
    int kind = 0;
    std::string path;
    PackReader native;                   // PACK_NATIVE: open file and verified index
    std::vector<PackEntryInfo> listing;  // PACK_ZIP: entries read when the pack was opened
};

struct PfArchiveState {
    std::map<int, PfPack> packs;
};
PfArchiveState Archives;

PfPack* FindPack(int pack) {
    auto it = Archives.packs.find(pack);
    return it == Archives.packs.end() ? nullptr : &it->second;
}

// A fresh libarchive reader over the file: ZIP only, any compression filter.
archive* ZipOpen(const std::string& path) {
    archive* a = archive_read_new();
    if (!a) return nullptr;
    archive_read_support_format_zip(a);
    archive_read_support_filter_all(a);
    if (archive_read_open_filename(a, path.c_str(), 64 * 1024) != ARCHIVE_OK) {
        archive_read_free(a);
        return nullptr;
    }
    return a;
}

std::string ZipEntryName(archive_entry* entry) {
    const char* name = archive_entry_pathname_utf8(entry);
    if (!name) name = archive_entry_pathname(entry);
    return name ? name : "";
}

bool ZipEntryIsFolder(archive_entry* entry, const std::string& name) {
    return archive_entry_filetype(entry) == AE_IFDIR || (!name.empty() && name.back() == '/');
}

// Reads every header; false when the archive is damaged anywhere in its directory.
bool ZipList(const std::string& path, std::vector<PackEntryInfo>& listing) {
    archive* a = ZipOpen(path);
    if (!a) return false;
    listing.clear();
    bool ok = true;
    for (;;) {
        archive_entry* entry = nullptr;
        int rc = archive_read_next_header(a, &entry);
        if (rc == ARCHIVE_EOF) break;
        if (rc != ARCHIVE_OK && rc != ARCHIVE_WARN) { ok = false; break; }
        PackEntryInfo info;
        info.name = ZipEntryName(entry);
        info.isFolder = ZipEntryIsFolder(entry, info.name) ? 1 : 0;
        info.size = info.isFolder ? 0 : (archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1);
        listing.push_back(std::move(info));
    }
    archive_read_free(a);
    return ok;
}

// Positions a new reader at the first file entry with exactly this name.
archive* ZipSeekEntry(const std::string& path, const std::string& name) {
    archive* a = ZipOpen(path);
    if (!a) return nullptr;
    for (;;) {
        archive_entry* entry = nullptr;
        int rc = archive_read_next_header(a, &entry);
        if (rc != ARCHIVE_OK && rc != ARCHIVE_WARN) break;
        std::string entryName = ZipEntryName(entry);
        if (entryName == name && !ZipEntryIsFolder(entry, entryName)) return a;
    }
    archive_read_free(a);
    return nullptr;
}

// Reads the entry's data whatever its header claims, never past bufferSize.
int64_t ZipExtract(const std::string& path, const std::string& name, uint8_t* buffer, int64_t bufferSize) {
    archive* a = ZipSeekEntry(path, name);
    if (!a) return -1;
    int64_t total = 0;
    int64_t result = -1;
    for (;;) {
        uint8_t spare;
        int64_t room = bufferSize - total;
        la_ssize_t got = room > 0 ? archive_read_data(a, buffer + total, size_t(room < int64_t(ZipChunk) ? room : int64_t(ZipChunk)))
                                  : archive_read_data(a, &spare, 1);
        if (got < 0) break;
        if (got == 0) { result = total; break; }
        if (room <= 0) break;  // more data than the buffer holds
        total += got;
    }
    archive_read_free(a);
    return result;
}

bool ZipExtractToFile(const std::string& packPath, const std::string& name, const std::string& path) {
    archive* a = ZipSeekEntry(packPath, name);
    if (!a) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr;
    std::vector<uint8_t> chunk(ZipChunk);
    while (ok) {
        la_ssize_t got = archive_read_data(a, chunk.data(), chunk.size());
        if (got == 0) break;
        ok = got > 0 && std::fwrite(chunk.data(), 1, size_t(got), f) == size_t(got);
    }
    archive_read_free(a);
    if (f) ok = (std::fclose(f) == 0) && ok;
    if (!ok && f) std::remove(path.c_str());
    return ok;
}

int FreeAnyHandle() {
    int handle = PfArchiveFirstAnyHandle;
    while (Archives.packs.count(handle)) handle++;
    return handle;
}

}  // namespace

int OpenDataPack(int number, const std::string& path, int kind) {
    if (number != PF_ANY && (number < 0 || number >= PfArchiveFirstAnyHandle)) return 0;
    if (kind != PACK_NATIVE && kind != PACK_ZIP) return 0;
    if (number != PF_ANY) CloseDataPack(number);
    PfPack pack;
    pack.kind = kind;
    pack.path = path;
    bool ok = kind == PACK_NATIVE ? PackOpen(pack.native, path) : ZipList(path, pack.listing);
    if (!ok) return 0;
    int handle = number == PF_ANY ? FreeAnyHandle() : number;
    Archives.packs[handle] = std::move(pack);
    return number == PF_ANY ? handle : 1;
}

int64_t ExtractPackEntry(int pack, void* buffer, int64_t bufferSize, const std::string& name) {
    PfPack* p = FindPack(pack);
    if (!p || bufferSize < 0 || (!buffer && bufferSize > 0)) return -1;
    if (p->kind == PACK_NATIVE) {
        int index = PackFind(p->native, name);
        return index < 0 ? -1 : PackExtract(p->native, index, buffer, bufferSize);
    }
    return ZipExtract(p->path, name, static_cast<uint8_t*>(buffer), bufferSize);
}

std::vector<PackEntryInfo> ListPackEntries(int pack) {
    PfPack* p = FindPack(pack);
    if (!p) return {};
    if (p->kind == PACK_ZIP) return p->listing;
    std::vector<PackEntryInfo> list;
    for (const PackIndexEntry& e : p->native.entries) {
        list.push_back(PackEntryInfo{e.name, 0, int64_t(e.size)});
    }
    return list;
}

int ExtractPackEntryToFile(int pack, const std::string& name, const std::string& path) {
    PfPack* p = FindPack(pack);
    if (!p) return 0;
    if (p->kind == PACK_NATIVE) {
        int index = PackFind(p->native, name);
        return index >= 0 && PackExtractToFile(p->native, index, path) ? 1 : 0;
    }
    return ZipExtractToFile(p->path, name, path) ? 1 : 0;
}

void CloseDataPack(int pack) {
    PfPack* p = FindPack(pack);
    if (!p) return;
    PackClose(p->native);
    Archives.packs.erase(pack);
}

void PfArchivesShutdown() {
    for (auto& [handle, pack] : Archives.packs) PackClose(pack.native);
    Archives.packs.clear();
}
