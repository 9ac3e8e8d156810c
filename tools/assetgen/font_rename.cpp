// font_rename.cpp: gives the TrueType font the game's own family name, "Time and Space".
//
// The font's licence asks that a modified version not carry the original's
// reserved name, and the game looks its typeface up by this family name. Only
// the 'name' table is rewritten; every other table is copied byte for byte and
// the table directory and checksums are rebuilt around them. Nothing in the
// source file is trusted: every offset and length is checked before use.
#include "assetgen.h"
#include "font_rename.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Larger than the game's font buffer is never usable, so it is not read.
constexpr size_t MaxFontBytes = 15u * 1024u * 1024u;
constexpr uint32_t HeadMagic = 0x5F0F3CF5;
constexpr uint32_t ChecksumMagic = 0xB1B0AFBA;

constexpr uint32_t Tag(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

const char* const Family = "Time and Space";
const char* const Style = "Regular";
const char* const FullName = "Time and Space Regular";
const char* const PostScriptName = "TimeandSpace-Regular";

uint16_t Get16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, uint16_t(v >> 16));
    Put16(out, uint16_t(v));
}

void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = uint8_t(v >> 24);
    out[at + 1] = uint8_t(v >> 16);
    out[at + 2] = uint8_t(v >> 8);
    out[at + 3] = uint8_t(v);
}

// Whether [offset, offset + length) lies inside a buffer of `size` bytes.
bool Inside(size_t size, uint64_t offset, uint64_t length) {
    return offset <= size && length <= size - offset;
}

// The sum of the data as big-endian 32-bit words, zero-padded to a whole word.
uint32_t Checksum(const uint8_t* data, size_t length) {
    uint32_t sum = 0;
    size_t whole = length & ~size_t(3);
    for (size_t i = 0; i < whole; i += 4) {
        sum += Get32(data + i);
    }
    if (whole < length) {
        uint8_t last[4] = {0, 0, 0, 0};
        std::copy(data + whole, data + length, last);
        sum += Get32(last);
    }
    return sum;
}

struct TableEntry {
    uint32_t tag;
    std::vector<uint8_t> bytes;
};

struct NameRecord {
    uint16_t platform, encoding, language, nameId;
    std::vector<uint8_t> text;
};

// The new text of a name ID, or nullptr for the IDs that are kept as they are
// (copyright, version, designer, licence, ...).
const char* NewNameFor(uint16_t nameId) {
    switch (nameId) {
        case 1: case 16: case 21: return Family;
        case 2: case 17: case 22: return Style;
        case 3: case 4: case 18: return FullName;
        case 6: return PostScriptName;
        default: return nullptr;
    }
}

// The encodings this writer can spell the new names in: Unicode (UTF-16BE) on
// the Unicode and Windows platforms, Mac Roman (plain ASCII here) on the Mac.
bool IsUtf16(uint16_t platform) {
    return platform == 0 || platform == 3;
}
bool IsMacRoman(uint16_t platform, uint16_t encoding) {
    return platform == 1 && encoding == 0;
}

std::vector<uint8_t> Encode(const char* text, uint16_t platform) {
    std::vector<uint8_t> out;
    for (const char* c = text; *c; ++c) {
        if (IsUtf16(platform)) {
            out.push_back(0);
        }
        out.push_back(uint8_t(*c));
    }
    return out;
}

bool ReadNameRecords(const std::vector<uint8_t>& table, std::vector<NameRecord>& records) {
    size_t size = table.size();
    if (size < 6) {
        return false;
    }
    const uint8_t* t = table.data();
    uint16_t format = Get16(t);
    uint16_t count = Get16(t + 2);
    uint16_t storage = Get16(t + 4);
    if (format > 1 || !Inside(size, 6, uint64_t(count) * 12) || storage > size) {
        return false;
    }
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* r = t + 6 + 12 * size_t(i);
        NameRecord record{Get16(r), Get16(r + 2), Get16(r + 4), Get16(r + 6), {}};
        uint16_t length = Get16(r + 8);
        uint64_t offset = uint64_t(storage) + Get16(r + 10);
        if (!Inside(size, offset, length)) {
            return false;
        }
        // Language IDs from 0x8000 name language tags of format 1, which the
        // rewritten table (format 0) does not carry.
        if (record.language >= 0x8000) {
            continue;
        }
        record.text.assign(t + offset, t + offset + length);
        records.push_back(std::move(record));
    }
    return true;
}

void RenameRecords(std::vector<NameRecord>& records) {
    std::vector<NameRecord> kept;
    for (NameRecord& record : records) {
        const char* text = NewNameFor(record.nameId);
        if (!text) {
            kept.push_back(std::move(record));
        } else if (IsUtf16(record.platform) || IsMacRoman(record.platform, record.encoding)) {
            record.text = Encode(text, record.platform);
            kept.push_back(std::move(record));
        }
        // An old name in an encoding this writer cannot spell is dropped rather
        // than left showing the original family.
    }
    // Both the Mac and the Windows records must name the family, whatever the
    // source held.
    const uint16_t required[5] = {1, 2, 4, 6, 16};
    const NameRecord places[2] = {{1, 0, 0, 0, {}}, {3, 1, 0x0409, 0, {}}};
    for (const NameRecord& place : places) {
        for (uint16_t nameId : required) {
            bool present = std::any_of(kept.begin(), kept.end(), [&](const NameRecord& r) {
                return r.platform == place.platform && r.encoding == place.encoding &&
                       r.language == place.language && r.nameId == nameId;
            });
            if (!present) {
                kept.push_back({place.platform, place.encoding, place.language, nameId,
                                Encode(NewNameFor(nameId), place.platform)});
            }
        }
    }
    std::sort(kept.begin(), kept.end(), [](const NameRecord& a, const NameRecord& b) {
        if (a.platform != b.platform) return a.platform < b.platform;
        if (a.encoding != b.encoding) return a.encoding < b.encoding;
        if (a.language != b.language) return a.language < b.language;
        return a.nameId < b.nameId;
    });
    records = std::move(kept);
}

bool WriteNameTable(const std::vector<NameRecord>& records, std::vector<uint8_t>& table) {
    size_t storage = 6 + 12 * records.size();
    if (records.size() > 0xFFFF || storage > 0xFFFF) {
        return false;
    }
    table.clear();
    Put16(table, 0);
    Put16(table, uint16_t(records.size()));
    Put16(table, uint16_t(storage));
    std::vector<uint8_t> strings;
    for (const NameRecord& r : records) {
        if (r.text.size() > 0xFFFF || strings.size() > 0xFFFF) {
            return false;
        }
        Put16(table, r.platform);
        Put16(table, r.encoding);
        Put16(table, r.language);
        Put16(table, r.nameId);
        Put16(table, uint16_t(r.text.size()));
        Put16(table, uint16_t(strings.size()));
        strings.insert(strings.end(), r.text.begin(), r.text.end());
    }
    table.insert(table.end(), strings.begin(), strings.end());
    return true;
}

// Reads the table directory; false when anything in it is out of bounds.
bool ReadTables(const std::vector<uint8_t>& source, uint32_t& version, std::vector<TableEntry>& tables) {
    size_t size = source.size();
    if (size < 12) {
        return false;
    }
    const uint8_t* s = source.data();
    version = Get32(s);
    if (version != 0x00010000 && version != Tag("true") && version != Tag("OTTO")) {
        return false;  // collections and anything else are not single fonts
    }
    uint16_t count = Get16(s + 4);
    if (count == 0 || !Inside(size, 12, uint64_t(count) * 16)) {
        return false;
    }
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* r = s + 12 + 16 * size_t(i);
        uint32_t tag = Get32(r);
        uint32_t offset = Get32(r + 8);
        uint32_t length = Get32(r + 12);
        if (!Inside(size, offset, length)) {
            return false;
        }
        for (const TableEntry& other : tables) {
            if (other.tag == tag) {
                return false;
            }
        }
        tables.push_back({tag, std::vector<uint8_t>(s + offset, s + offset + length)});
    }
    return true;
}

TableEntry* FindTable(std::vector<TableEntry>& tables, uint32_t tag) {
    for (TableEntry& table : tables) {
        if (table.tag == tag) {
            return &table;
        }
    }
    return nullptr;
}

std::vector<uint8_t> WriteFont(uint32_t version, std::vector<TableEntry>& tables) {
    std::sort(tables.begin(), tables.end(),
              [](const TableEntry& a, const TableEntry& b) { return a.tag < b.tag; });
    uint16_t count = uint16_t(tables.size());
    uint16_t selector = 0;
    while ((2u << selector) <= count) {
        ++selector;
    }
    uint16_t searchRange = uint16_t(16u << selector);
    std::vector<uint8_t> out;
    Put32(out, version);
    Put16(out, count);
    Put16(out, searchRange);
    Put16(out, selector);
    Put16(out, uint16_t(count * 16 - searchRange));
    size_t offset = 12 + 16 * size_t(count);
    size_t headOffset = 0;
    for (const TableEntry& table : tables) {
        Put32(out, table.tag);
        Put32(out, Checksum(table.bytes.data(), table.bytes.size()));
        Put32(out, uint32_t(offset));
        Put32(out, uint32_t(table.bytes.size()));
        if (table.tag == Tag("head")) {
            headOffset = offset;
        }
        offset += (table.bytes.size() + 3) & ~size_t(3);
    }
    for (const TableEntry& table : tables) {
        out.insert(out.end(), table.bytes.begin(), table.bytes.end());
        out.resize((out.size() + 3) & ~size_t(3), 0);  // every table starts on a word
    }
    // The head table's adjustment makes the whole file sum to the magic number;
    // it was zeroed before the sums above, as the format requires.
    Set32(out, headOffset + 8, ChecksumMagic - Checksum(out.data(), out.size()));
    return out;
}

}  // namespace

std::vector<uint8_t> RenameFontFamily(const std::vector<uint8_t>& source) {
    if (source.size() > MaxFontBytes) {
        return {};
    }
    uint32_t version = 0;
    std::vector<TableEntry> tables;
    if (!ReadTables(source, version, tables)) {
        return {};
    }
    TableEntry* head = FindTable(tables, Tag("head"));
    TableEntry* name = FindTable(tables, Tag("name"));
    if (!head || !name || head->bytes.size() < 54 || Get32(head->bytes.data() + 12) != HeadMagic) {
        return {};
    }
    std::vector<NameRecord> records;
    if (!ReadNameRecords(name->bytes, records)) {
        return {};
    }
    RenameRecords(records);
    if (!WriteNameTable(records, name->bytes)) {
        return {};
    }
    Set32(head->bytes, 8, 0);
    // A digital signature covering the old bytes would now be false; an empty
    // one (no signatures, kept by some tools for old software) stays valid.
    TableEntry* signature = FindTable(tables, Tag("DSIG"));
    if (signature && (signature->bytes.size() < 8 || Get16(signature->bytes.data() + 4) != 0)) {
        tables.erase(tables.begin() + (signature - tables.data()));
    }
    std::vector<uint8_t> out = WriteFont(version, tables);
    if (out.size() > MaxFontBytes) {
        return {};
    }
    return out;
}

std::vector<uint8_t> PrepareFont(const std::string& sourcePath) {
    std::FILE* file = std::fopen(sourcePath.c_str(), "rb");
    if (!file) {
        return {};
    }
    std::vector<uint8_t> source;
    uint8_t chunk[65536];
    bool good = true;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        source.insert(source.end(), chunk, chunk + got);
        if (source.size() > MaxFontBytes) {
            good = false;
            break;
        }
        if (got < sizeof chunk) {
            good = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (!good) {
        return {};
    }
    return RenameFontFamily(source);
}
