// pack_format.cpp: writing and reading the game's packed-file format ("2zlp").
//
// Layout of a pack (all integers little-endian):
//
//   Header, 28 bytes
//     0   4  signature "2zlp"
//     4   4  number of entries
//     8   8  offset of the index
//     16  4  size of the index in bytes
//     20  4  CRC-32 of the index bytes
//     24  4  CRC-32 of header bytes 0..23
//   Data: every entry's bytes as one zlib stream, back to back, from offset 28
//         (in stored blocks where deflate would gain under a tenth).
//   Index: one record per entry, in writing order, ending exactly at the end of the file:
//     2  name length n (1..4096)
//     n  name, exact bytes (no NUL), unique within the pack
//     8  offset of the compressed bytes
//     8  compressed size
//     8  size after decompression
//     4  CRC-32 of the decompressed bytes
//
// Packs that begin with "1zlp" (an older layout) are refused, like any other
// signature: the game only ships packs made by this writer.
//
// The reader trusts nothing: both CRCs are checked, the index must parse to exactly
// its stated size, every entry's compressed bytes must lie between the header and
// the index, names must be unique, and decompression stops at the declared size.
#include "pack_format.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_set>

namespace {

constexpr char PackSignature[4] = {'2', 'z', 'l', 'p'};
constexpr uint64_t PackHeaderSize = 28;
constexpr size_t PackMaxName = 4096;
constexpr uint64_t PackRecordFixedSize = 2 + 8 + 8 + 8 + 4;
// deflate never shrinks data by more than about 1032:1; a larger claim is a lie
// and would otherwise make ReadPackFile allocate without limit.
constexpr uint64_t PackMaxRatio = 1040;
constexpr size_t PackChunk = 64 * 1024;

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(v >> (8 * i)));
}
void PutU64(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 8; i++) out.push_back(uint8_t(v >> (8 * i)));
}
uint64_t GetLE(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = (v << 8) | p[i];
    return v;
}

// zlib's crc32 takes a uInt length; feed large buffers in slices.
uint32_t Crc32(uint32_t crc, const uint8_t* data, uint64_t size) {
    while (size > 0) {
        uInt step = size > 0x40000000u ? 0x40000000u : uInt(size);
        crc = uint32_t(crc32(crc, data, step));
        data += step;
        size -= step;
    }
    return crc;
}

bool DeflateEntry(const std::vector<uint8_t>& in, int level, std::vector<uint8_t>& out) {
    z_stream z{};
    if (deflateInit(&z, level) != Z_OK) return false;
    out.resize(size_t(deflateBound(&z, uLong(in.size()))));
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = uInt(in.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int rc = deflate(&z, Z_FINISH);
    out.resize(size_t(z.total_out));
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

// An entry that deflate shrinks by less than a tenth (a PNG or an OGG file,
// compressed already) is written in stored blocks instead: still one zlib
// stream, but reading it back is a copy rather than a second decompression
// (inflating the two music tracks took about 24 ms of every start-up).
bool CompressEntry(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
    if (!DeflateEntry(in, Z_BEST_COMPRESSION, out)) return false;
    if (out.size() * 10 < in.size() * 9) return true;
    return DeflateEntry(in, Z_NO_COMPRESSION, out);
}

bool WriteAll(std::FILE* f, const std::vector<uint8_t>& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

bool ReadAt(std::FILE* f, uint64_t offset, void* out, size_t size) {
    if (fseeko(f, off_t(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, size, f) == size;
}

// Where decompressed bytes go: a caller's buffer or a file.
struct PackSink {
    uint8_t* buffer = nullptr;
    std::FILE* file = nullptr;
};

// Streams entry `e` through inflate into the sink, never producing more than the
// declared size, and checks the size and CRC at the end.
bool InflateEntry(PackReader& reader, const PackIndexEntry& e, PackSink& sink) {
    auto* f = static_cast<std::FILE*>(reader.file);
    if (!f || fseeko(f, off_t(e.offset), SEEK_SET) != 0) return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    std::unique_ptr<uint8_t[]> in(new uint8_t[PackChunk]);
    std::unique_ptr<uint8_t[]> scratch(sink.file ? new uint8_t[PackChunk] : nullptr);
    uint64_t inLeft = e.storedSize;
    uint64_t produced = 0;
    uint32_t crc = uint32_t(crc32(0, Z_NULL, 0));
    bool ended = false;
    bool ok = true;
    while (ok && !ended) {
        if (z.avail_in == 0) {
            if (inLeft == 0) { ok = false; break; }  // stream truncated
            size_t step = inLeft < PackChunk ? size_t(inLeft) : PackChunk;
            if (std::fread(in.get(), 1, step, f) != step) { ok = false; break; }
            inLeft -= step;
            z.next_in = in.get();
            z.avail_in = uInt(step);
        }
        uint64_t room = e.size - produced;
        // One spare byte of room lets a stream that runs past its declared size show itself.
        uint8_t spare = 0;
        uint8_t* out;
        uInt outSize;
        if (room == 0) {
            out = &spare;
            outSize = 1;
        } else if (sink.file) {
            out = scratch.get();
            outSize = uInt(room < PackChunk ? room : PackChunk);
        } else {
            out = sink.buffer + produced;
            outSize = uInt(room < 0x40000000u ? room : 0x40000000u);
        }
        z.next_out = out;
        z.avail_out = outSize;
        int rc = inflate(&z, Z_NO_FLUSH);
        size_t got = outSize - z.avail_out;
        if (room == 0 && got > 0) { ok = false; break; }
        if (rc == Z_STREAM_END) ended = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR) { ok = false; break; }
        else if (rc == Z_BUF_ERROR && z.avail_in != 0) { ok = false; break; }
        crc = Crc32(crc, out, got);
        if (sink.file && got > 0 && std::fwrite(out, 1, got, sink.file) != got) ok = false;
        produced += got;
    }
    inflateEnd(&z);
    // The stream must use exactly its stored bytes and give exactly the declared size.
    return ok && ended && z.avail_in == 0 && inLeft == 0 && produced == e.size && crc == e.crc;
}

bool ParseIndex(const uint8_t* p, uint64_t size, uint32_t count, uint64_t dataEnd,
                std::vector<PackIndexEntry>& entries) {
    uint64_t pos = 0;
    std::unordered_set<std::string> seen;
    entries.clear();
    entries.reserve(count);
    for (uint32_t i = 0; i < count; i++) {
        if (size - pos < 2) return false;
        uint64_t nameLength = GetLE(p + pos, 2);
        if (nameLength == 0 || nameLength > PackMaxName) return false;
        if (size - pos < PackRecordFixedSize + nameLength) return false;
        PackIndexEntry e;
        e.name.assign(reinterpret_cast<const char*>(p + pos + 2), size_t(nameLength));
        if (e.name.find('\0') != std::string::npos) return false;
        pos += 2 + nameLength;
        e.offset = GetLE(p + pos, 8);
        e.storedSize = GetLE(p + pos + 8, 8);
        e.size = GetLE(p + pos + 16, 8);
        e.crc = uint32_t(GetLE(p + pos + 24, 4));
        pos += 28;
        if (e.offset < PackHeaderSize || e.offset > dataEnd) return false;
        if (e.storedSize == 0 || e.storedSize > dataEnd - e.offset) return false;
        if (e.size / PackMaxRatio > e.storedSize) return false;
        if (!seen.insert(e.name).second) return false;
        entries.push_back(std::move(e));
    }
    return pos == size;
}

}  // namespace

bool WritePackFile(const std::string& path, const std::vector<PackFileEntry>& entries) {
    if (entries.size() > 0xFFFFFFFFu) return false;
    std::unordered_set<std::string> seen;
    std::vector<std::vector<uint8_t>> blobs(entries.size());
    std::vector<uint8_t> index;
    uint64_t offset = PackHeaderSize;
    for (size_t i = 0; i < entries.size(); i++) {
        const PackFileEntry& e = entries[i];
        if (e.name.empty() || e.name.size() > PackMaxName) return false;
        if (e.name.find('\0') != std::string::npos) return false;
        if (!seen.insert(e.name).second) return false;
        if (e.bytes.size() > 0xFFFFFFFFu) return false;  // one deflate call per entry
        if (!CompressEntry(e.bytes, blobs[i])) return false;
        PutU16(index, uint32_t(e.name.size()));
        index.insert(index.end(), e.name.begin(), e.name.end());
        PutU64(index, offset);
        PutU64(index, blobs[i].size());
        PutU64(index, e.bytes.size());
        PutU32(index, Crc32(uint32_t(crc32(0, Z_NULL, 0)), e.bytes.data(), e.bytes.size()));
        offset += blobs[i].size();
    }
    if (index.size() > 0xFFFFFFFFu) return false;
    std::vector<uint8_t> header(PackSignature, PackSignature + 4);
    PutU32(header, uint32_t(entries.size()));
    PutU64(header, offset);
    PutU32(header, uint32_t(index.size()));
    PutU32(header, Crc32(uint32_t(crc32(0, Z_NULL, 0)), index.data(), index.size()));
    PutU32(header, Crc32(uint32_t(crc32(0, Z_NULL, 0)), header.data(), header.size()));

    // Written beside the target and renamed, so a failed write never leaves a
    // half pack under the real name.
    std::string partial = path + ".part";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return false;
    bool ok = WriteAll(f, header);
    for (size_t i = 0; ok && i < blobs.size(); i++) ok = WriteAll(f, blobs[i]);
    ok = ok && WriteAll(f, index);
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = std::rename(partial.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(partial.c_str());
    return ok;
}

bool PackOpen(PackReader& reader, const std::string& path) {
    PackClose(reader);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    reader.file = f;
    uint8_t header[PackHeaderSize];
    bool ok = fseeko(f, 0, SEEK_END) == 0;
    off_t end = ok ? ftello(f) : -1;
    ok = end >= off_t(PackHeaderSize) && ReadAt(f, 0, header, sizeof header);
    if (ok) {
        reader.fileSize = uint64_t(end);
        uint32_t headerCrc = Crc32(uint32_t(crc32(0, Z_NULL, 0)), header, 24);
        ok = std::memcmp(header, PackSignature, 4) == 0 && GetLE(header + 24, 4) == headerCrc;
    }
    uint32_t count = ok ? uint32_t(GetLE(header + 4, 4)) : 0;
    uint64_t indexOffset = ok ? GetLE(header + 8, 8) : 0;
    uint64_t indexSize = ok ? GetLE(header + 16, 4) : 0;
    if (ok) {
        ok = indexOffset >= PackHeaderSize && indexOffset <= reader.fileSize &&
             indexSize == reader.fileSize - indexOffset &&
             uint64_t(count) * (PackRecordFixedSize + 1) <= indexSize;
    }
    if (ok) {
        std::vector<uint8_t> index(static_cast<size_t>(indexSize));
        ok = indexSize == 0 || ReadAt(f, indexOffset, index.data(), index.size());
        ok = ok && Crc32(uint32_t(crc32(0, Z_NULL, 0)), index.data(), index.size()) ==
                       uint32_t(GetLE(header + 20, 4));
        ok = ok && ParseIndex(index.data(), indexSize, count, indexOffset, reader.entries);
    }
    if (!ok) PackClose(reader);
    return ok;
}

void PackClose(PackReader& reader) {
    if (reader.file) std::fclose(static_cast<std::FILE*>(reader.file));
    reader.file = nullptr;
    reader.fileSize = 0;
    reader.entries.clear();
}

int PackFind(const PackReader& reader, const std::string& name) {
    for (size_t i = 0; i < reader.entries.size(); i++) {
        if (reader.entries[i].name == name) return int(i);
    }
    return -1;
}

int64_t PackExtract(PackReader& reader, int index, void* buffer, int64_t bufferSize) {
    if (index < 0 || size_t(index) >= reader.entries.size() || bufferSize < 0) return -1;
    const PackIndexEntry& e = reader.entries[size_t(index)];
    if (e.size > uint64_t(bufferSize) || e.size > uint64_t(INT64_MAX)) return -1;
    if (!buffer && e.size > 0) return -1;
    PackSink sink;
    sink.buffer = static_cast<uint8_t*>(buffer);
    return InflateEntry(reader, e, sink) ? int64_t(e.size) : -1;
}

bool PackExtractToFile(PackReader& reader, int index, const std::string& path) {
    if (index < 0 || size_t(index) >= reader.entries.size()) return false;
    PackSink sink;
    sink.file = std::fopen(path.c_str(), "wb");
    if (!sink.file) return false;
    bool ok = InflateEntry(reader, reader.entries[size_t(index)], sink);
    ok = (std::fclose(sink.file) == 0) && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}

bool ReadPackFile(const std::string& path, std::vector<PackFileEntry>& entries) {
    entries.clear();
    PackReader reader;
    if (!PackOpen(reader, path)) return false;
    std::vector<PackFileEntry> result(reader.entries.size());
    bool ok = true;
    for (size_t i = 0; ok && i < reader.entries.size(); i++) {
        result[i].name = reader.entries[i].name;
        result[i].bytes.resize(size_t(reader.entries[i].size));
        int64_t got = PackExtract(reader, int(i), result[i].bytes.data(),
                                  int64_t(result[i].bytes.size()));
        ok = got == int64_t(reader.entries[i].size);
    }
    PackClose(reader);
    if (ok) entries = std::move(result);
    return ok;
}
