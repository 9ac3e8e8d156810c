// font_prepare_test.cpp: the game's typeface is renamed, stays intact, and bad input is refused.
#include "assetgen.h"
#include "font_rename.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

const char* const SourcePath = "/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf";

uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
    return uint16_t(d.at(at) << 8 | d.at(at + 1));
}

uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
    return uint32_t(U16(d, at)) << 16 | U16(d, at + 2);
}

void Poke16(std::vector<uint8_t>& d, size_t at, uint16_t v) {
    d.at(at) = uint8_t(v >> 8);
    d.at(at + 1) = uint8_t(v);
}

void Poke32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
    Poke16(d, at, uint16_t(v >> 16));
    Poke16(d, at + 2, uint16_t(v));
}

uint32_t SumWords(const std::vector<uint8_t>& d, size_t offset, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) {
            word = word << 8 | (i + k < length ? d.at(offset + i + k) : 0);
        }
        sum += word;
    }
    return sum;
}

struct TableInfo {
    uint32_t checksum, offset, length;
};

// The table directory, read independently of the code under test.
std::map<std::string, TableInfo> Directory(const std::vector<uint8_t>& font) {
    std::map<std::string, TableInfo> tables;
    uint16_t count = U16(font, 4);
    for (uint16_t i = 0; i < count; ++i) {
        size_t r = 12 + 16 * size_t(i);
        std::string tag(font.begin() + std::ptrdiff_t(r), font.begin() + std::ptrdiff_t(r + 4));
        tables[tag] = {U32(font, r + 4), U32(font, r + 8), U32(font, r + 12)};
    }
    return tables;
}

std::vector<uint8_t> TableBytes(const std::vector<uint8_t>& font, const TableInfo& t) {
    return std::vector<uint8_t>(font.begin() + t.offset, font.begin() + t.offset + t.length);
}

// The ASCII text of every name record as (platform, name ID) -> text.
std::multimap<std::pair<int, int>, std::string> Names(const std::vector<uint8_t>& font) {
    std::multimap<std::pair<int, int>, std::string> names;
    TableInfo name = Directory(font).at("name");
    std::vector<uint8_t> t = TableBytes(font, name);
    uint16_t count = U16(t, 2);
    uint16_t storage = U16(t, 4);
    for (uint16_t i = 0; i < count; ++i) {
        size_t r = 6 + 12 * size_t(i);
        int platform = U16(t, r);
        int nameId = U16(t, r + 6);
        size_t length = U16(t, r + 8);
        size_t offset = storage + size_t(U16(t, r + 10));
        std::string text;
        bool wide = platform == 0 || platform == 3;
        for (size_t k = wide ? 1 : 0; k < length; k += wide ? 2 : 1) {
            text.push_back(char(t.at(offset + k)));
        }
        names.emplace(std::make_pair(platform, nameId), text);
    }
    return names;
}

std::vector<uint8_t> ReadWhole(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class PreparedFont : public ::testing::Test {
protected:
    void SetUp() override {
        source = ReadWhole(SourcePath);
        ASSERT_GT(source.size(), 1000u) << "the source font is missing: " << SourcePath;
        renamed = PrepareFont(SourcePath);
        ASSERT_FALSE(renamed.empty());
    }
    std::vector<uint8_t> source;
    std::vector<uint8_t> renamed;
};

TEST_F(PreparedFont, NamesTheFamilyTimeAndSpaceOnMacAndWindows) {
    auto names = Names(renamed);
    for (int platform : {1, 3}) {
        SCOPED_TRACE(platform);
        auto expect = [&](int nameId, const std::string& text) {
            auto range = names.equal_range({platform, nameId});
            ASSERT_NE(range.first, range.second) << "no name ID " << nameId;
            for (auto it = range.first; it != range.second; ++it) {
                EXPECT_EQ(it->second, text) << "name ID " << nameId;
            }
        };
        expect(1, "Time and Space");
        expect(16, "Time and Space");
        expect(2, "Regular");
        expect(4, "Time and Space Regular");
        expect(6, "TimeandSpace-Regular");
    }
    // The old family survives only in the copyright notice, which must stay.
    for (const auto& [key, text] : names) {
        if (key.second != 0) {
            EXPECT_EQ(text.find("Comfortaa"), std::string::npos) << "name ID " << key.second << ": " << text;
        }
    }
    auto copyright = names.equal_range({3, 0});
    ASSERT_NE(copyright.first, copyright.second);
    EXPECT_NE(copyright.first->second.find("Copyright"), std::string::npos);
}

TEST_F(PreparedFont, ChecksumsAndDirectoryAreValid) {
    auto tables = Directory(renamed);
    uint16_t count = U16(renamed, 4);
    uint16_t searchRange = U16(renamed, 6);
    EXPECT_EQ(tables.size(), count);
    EXPECT_LE(searchRange / 16, count);
    EXPECT_GT(searchRange / 16 * 2, count);
    EXPECT_EQ(1u << U16(renamed, 8), searchRange / 16u);
    EXPECT_EQ(U16(renamed, 10), count * 16 - searchRange);
    size_t end = 12 + 16 * size_t(count);
    std::string previous;
    for (const auto& [tag, t] : tables) {
        SCOPED_TRACE(tag);
        EXPECT_LT(previous, tag);  // sorted by tag
        previous = tag;
        EXPECT_EQ(t.offset % 4, 0u);
        ASSERT_LE(uint64_t(t.offset) + t.length, renamed.size());
        EXPECT_GE(t.offset, end) << "tables overlap";
        end = t.offset + t.length;
        uint32_t sum = SumWords(renamed, t.offset, t.length);
        if (tag == "head") {
            sum -= U32(renamed, t.offset + 8);  // the adjustment is left out of its own table's sum
        }
        EXPECT_EQ(sum, t.checksum);
    }
    EXPECT_EQ(renamed.size() % 4, 0u);
    EXPECT_EQ(SumWords(renamed, 0, renamed.size()), 0xB1B0AFBAu);
}

TEST_F(PreparedFont, EveryOtherTableIsCopiedUnchanged) {
    auto before = Directory(source);
    auto after = Directory(renamed);
    for (const auto& [tag, t] : before) {
        if (tag == "name") {
            continue;
        }
        SCOPED_TRACE(tag);
        ASSERT_EQ(after.count(tag), 1u);
        std::vector<uint8_t> old = TableBytes(source, t);
        std::vector<uint8_t> now = TableBytes(renamed, after.at(tag));
        if (tag == "head") {
            ASSERT_EQ(old.size(), now.size());
            for (size_t k = 8; k < 12; ++k) {
                old[k] = now[k] = 0;  // only the checksum adjustment may change
            }
        }
        EXPECT_TRUE(old == now);
    }
    EXPECT_EQ(after.size(), before.size());
}

TEST_F(PreparedFont, OpensWithSdlTtfUnderItsNewFamily) {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    SDL_RWops* memory = SDL_RWFromConstMem(renamed.data(), int(renamed.size()));
    TTF_Font* font = TTF_OpenFontRW(memory, 1, 24);
    ASSERT_NE(font, nullptr) << TTF_GetError();
    EXPECT_STREQ(TTF_FontFaceFamilyName(font), "Time and Space");
    EXPECT_STREQ(TTF_FontFaceStyleName(font), "Regular");
    int width = 0, height = 0;
    EXPECT_EQ(TTF_SizeUTF8(font, "Prismoria \xce\xa9 \xd0\x96", &width, &height), 0);  // Latin, Greek, Cyrillic
    EXPECT_GT(width, 50);
    TTF_CloseFont(font);
    TTF_Quit();
}

TEST(PrepareFontInput, MissingOrEmptyFilesGiveNothing) {
    EXPECT_TRUE(PrepareFont("/nonexistent/folder/font.ttf").empty());
    EXPECT_TRUE(PrepareFont("/").empty());
    EXPECT_TRUE(RenameFontFamily({}).empty());
}

TEST(PrepareFontInput, TruncatedFontsGiveNothing) {
    std::vector<uint8_t> source = ReadWhole(SourcePath);
    ASSERT_GT(source.size(), 1000u);
    size_t directoryEnd = 12 + 16 * size_t(U16(source, 4));
    for (size_t cut : {size_t(4), size_t(11), size_t(12), size_t(100), directoryEnd - 1, directoryEnd,
                       source.size() / 2, source.size() - 1}) {
        std::vector<uint8_t> part(source.begin(), source.begin() + std::ptrdiff_t(cut));
        EXPECT_TRUE(RenameFontFamily(part).empty()) << "cut at " << cut;
    }
}

TEST(PrepareFontInput, DamagedStructuresGiveNothing) {
    const std::vector<uint8_t> source = ReadWhole(SourcePath);
    ASSERT_GT(source.size(), 1000u);
    auto tables = Directory(source);
    auto recordOf = [&](const std::string& tag) {
        for (size_t r = 12; r < 12 + 16 * size_t(U16(source, 4)); r += 16) {
            if (std::string(source.begin() + std::ptrdiff_t(r), source.begin() + std::ptrdiff_t(r + 4)) == tag) {
                return r;
            }
        }
        return size_t(0);
    };
    size_t nameRecord = recordOf("name");
    size_t headRecord = recordOf("head");
    size_t nameOffset = tables.at("name").offset;
    ASSERT_NE(nameRecord, 0u);

    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    auto damaged = [&](const std::string& what) -> std::vector<uint8_t>& {
        cases.push_back({what, source});
        return cases.back().second;
    };
    Poke32(damaged("collection header"), 0, 0x74746366);  // 'ttcf'
    Poke16(damaged("no tables"), 4, 0);
    Poke16(damaged("more tables than the file holds"), 4, 0xFFFF);
    Poke32(damaged("table past the end"), nameRecord + 8, uint32_t(source.size() - 10));
    Poke32(damaged("table length wraps"), nameRecord + 12, 0xFFFFFFF0u);
    Poke32(damaged("head magic"), tables.at("head").offset + 12, 0);
    Poke32(damaged("head too short"), headRecord + 12, 20);
    Poke32(damaged("no name table"), nameRecord, 0x6E616D66);  // 'namf'
    Poke32(damaged("duplicate table"), nameRecord, 0x68656164);  // a second 'head'
    Poke16(damaged("name record count"), nameOffset + 2, 0xFFFF);
    Poke16(damaged("name string storage"), nameOffset + 4, 0xFFFF);
    Poke16(damaged("name string offset"), nameOffset + 6 + 10, 0xFFF0);
    Poke16(damaged("name format"), nameOffset, 7);
    for (const auto& [what, bytes] : cases) {
        EXPECT_TRUE(RenameFontFamily(bytes).empty()) << what;
    }
}

TEST(PrepareFontInput, RandomDamageNeverCrashesAndAnyResultIsWellFormed) {
    const std::vector<uint8_t> source = ReadWhole(SourcePath);
    ASSERT_GT(source.size(), 1000u);
    TableInfo name = Directory(source).at("name");
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int produced = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = source;
        for (int k = 0; k < 4; ++k) {
            // Damage lands in the directory or the name table, where the parser looks.
            size_t at = (next() % 2 == 0) ? 4 + next() % (16 * 18 + 8) : name.offset + next() % name.length;
            bytes[at] = uint8_t(next());
        }
        std::vector<uint8_t> out = RenameFontFamily(bytes);
        if (!out.empty()) {
            ++produced;
            ASSERT_EQ(out.size() % 4, 0u);
            ASSERT_EQ(SumWords(out, 0, out.size()), 0xB1B0AFBAu) << "round " << round;
        }
    }
    RecordProperty("WellFormedResults", produced);
}

}  // namespace
