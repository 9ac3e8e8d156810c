// pack_format.cpp: the "2zlp" pack: round trips, lookups, buffer limits and refusal of damaged files.
#include <gtest/gtest.h>

#include "pack_format.h"
#include "pf_internal.h"
#include "platform.h"

#include <cstdlib>
#include <random>
#include <string>

namespace {

std::string TestFolder() {
    std::string folder = std::string(PRISMORIA_TEST_TMP) + "/pack/";
    CreateFolderPath(folder);
    return folder;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// A mix of entries: text, incompressible noise, an empty one, a large repetitive one.
std::vector<PackFileEntry> SampleEntries() {
    std::vector<PackFileEntry> entries;
    entries.push_back({"settings_template.png", Bytes("\x89PNG fake image bytes")});
    std::vector<uint8_t> noise(70000);
    std::mt19937 rng(7);
    for (uint8_t& b : noise) b = uint8_t(rng());
    entries.push_back({"music1.ogg", noise});
    entries.push_back({"empty.bin", {}});
    entries.push_back({"gui_shape 03.png", std::vector<uint8_t>(300000, 'x')});
    return entries;
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(WriteWholeFile(path, bytes.data(), bytes.size()), 1);
}

class Pack : public ::testing::Test {
protected:
    void SetUp() override {
        path = TestFolder() + "sample.data";
        ASSERT_TRUE(WritePackFile(path, SampleEntries()));
    }
    void TearDown() override { PfArchivesShutdown(); }
    std::string path;
};

TEST_F(Pack, WriteThenReadGivesIdenticalEntries) {
    std::vector<PackFileEntry> read;
    ASSERT_TRUE(ReadPackFile(path, read));
    std::vector<PackFileEntry> expected = SampleEntries();
    ASSERT_EQ(read.size(), expected.size());
    for (size_t i = 0; i < read.size(); i++) {
        EXPECT_EQ(read[i].name, expected[i].name);
        EXPECT_EQ(read[i].bytes, expected[i].bytes);
    }
    EXPECT_EQ(ReadAll(path).substr(0, 4), "2zlp");
    // Repetitive data is really compressed.
    EXPECT_LT(FileSize(path), 100000 + 70000);
}

// Entries deflate would shrink by under a tenth (PNG and OGG files) are kept in
// stored blocks, so reading them is a copy; the others are compressed.
TEST_F(Pack, OnlyEntriesWorthCompressingAreCompressed) {
    std::mt19937 rng(11);
    std::vector<uint8_t> fewValues(60000);  // 200 byte values: deflate gains about 4 %
    for (uint8_t& b : fewValues) b = uint8_t(rng() % 200);
    std::vector<uint8_t> halfRepeated(60000);  // every other byte fixed: deflate gains well over a tenth
    for (size_t i = 0; i < halfRepeated.size(); i++) halfRepeated[i] = i % 2 ? uint8_t(rng()) : 'x';
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool stored;
    };
    const std::vector<Case> cases = {
        {"music1.ogg", fewValues, true},
        {"half.png", halfRepeated, false},
        {"gui_shape 03.png", std::vector<uint8_t>(300000, 'x'), false},
    };
    std::vector<PackFileEntry> entries;
    for (const Case& c : cases) entries.push_back({c.name, c.bytes});
    const std::string file = TestFolder() + "stored.data";
    ASSERT_TRUE(WritePackFile(file, entries));
    PackReader reader;
    ASSERT_TRUE(PackOpen(reader, file));
    for (size_t i = 0; i < cases.size(); i++) {
        const PackIndexEntry& e = reader.entries[i];
        if (cases[i].stored) {
            EXPECT_GE(e.storedSize, e.size) << cases[i].name;
        } else {
            EXPECT_LT(e.storedSize * 10, e.size * 9) << cases[i].name;
        }
        std::vector<uint8_t> back(cases[i].bytes.size());
        EXPECT_EQ(PackExtract(reader, int(i), back.data(), int64_t(back.size())), int64_t(back.size()));
        EXPECT_EQ(back, cases[i].bytes) << cases[i].name;
    }
    PackClose(reader);
}

TEST_F(Pack, ExtractByExactName) {
    int pack = OpenDataPack(PF_ANY, path, PACK_NATIVE);
    ASSERT_NE(pack, 0);
    std::vector<uint8_t> buffer(204800);
    int64_t n = ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "settings_template.png");
    ASSERT_EQ(n, 21);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + n), "\x89PNG fake image bytes");
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "empty.bin"), 0);
    // Missing, wrong case, folder part: all missing.
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "shape07.png"), -1);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "Settings_Template.png"), -1);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "x/settings_template.png"), -1);
    EXPECT_EQ(ExtractPackEntry(pack + 1, buffer.data(), int64_t(buffer.size()), "empty.bin"), -1);

    std::vector<PackEntryInfo> list = ListPackEntries(pack);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].name, "music1.ogg");
    EXPECT_EQ(list[1].size, 70000);
    EXPECT_EQ(list[3].isFolder, 0);
    CloseDataPack(pack);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "empty.bin"), -1);
}

TEST_F(Pack, EntryLargerThanTheBufferCountsAsMissing) {
    ASSERT_NE(OpenDataPack(5, path, PACK_NATIVE), 0);
    std::vector<uint8_t> buffer(300000);
    EXPECT_EQ(ExtractPackEntry(5, buffer.data(), 299999, "gui_shape 03.png"), -1);
    EXPECT_EQ(ExtractPackEntry(5, buffer.data(), 300000, "gui_shape 03.png"), 300000);
    EXPECT_EQ(ExtractPackEntry(5, buffer.data(), 20, "settings_template.png"), -1);
    EXPECT_EQ(ExtractPackEntry(5, nullptr, 0, "empty.bin"), 0);
    EXPECT_EQ(ExtractPackEntry(5, buffer.data(), -1, "empty.bin"), -1);
}

TEST_F(Pack, ExtractToFile) {
    ASSERT_NE(OpenDataPack(0, path, PACK_NATIVE), 0);
    std::string out = TestFolder() + "music1.out";
    ASSERT_EQ(ExtractPackEntryToFile(0, "music1.ogg", out), 1);
    std::vector<uint8_t> expected = SampleEntries()[1].bytes;
    EXPECT_EQ(ReadAll(out), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(ExtractPackEntryToFile(0, "nothing", out), 0);
    EXPECT_EQ(ExtractPackEntryToFile(0, "music1.ogg", "/nonexistent/dir/out"), 0);
}

TEST_F(Pack, WriterRefusesWhatCannotBeLookedUp) {
    std::string out = TestFolder() + "refused.data";
    DeleteFile(out);  // left over from an earlier run
    EXPECT_FALSE(WritePackFile(out, {{"a", {}}, {"a", {}}}));
    EXPECT_FALSE(WritePackFile(out, {{"", {}}}));
    EXPECT_FALSE(WritePackFile(out, {{std::string("a\0b", 3), {}}}));
    EXPECT_EQ(FileSize(out), -1);
    EXPECT_FALSE(WritePackFile("/nonexistent/dir/x.data", {{"a", {}}}));
    // An empty pack is fine.
    ASSERT_TRUE(WritePackFile(out, {}));
    std::vector<PackFileEntry> read{{"stale", {}}};
    EXPECT_TRUE(ReadPackFile(out, read));
    EXPECT_TRUE(read.empty());
}

TEST_F(Pack, DamagedPacksAreRefused) {
    const std::string good = ReadAll(path);
    std::string bad = TestFolder() + "bad.data";
    std::vector<uint8_t> buffer(400000);
    auto opens = [&](const std::string& bytes) {
        WriteAll(bad, bytes);
        int pack = OpenDataPack(PF_ANY, bad, PACK_NATIVE);
        if (pack) CloseDataPack(pack);
        return pack != 0;
    };
    auto damaged = [&](size_t offset) {
        std::string bytes = good;
        bytes[offset] = char(bytes[offset] ^ 0x10);
        return bytes;
    };
    EXPECT_TRUE(opens(good));
    EXPECT_FALSE(opens(""));
    EXPECT_FALSE(opens("2zlp"));
    EXPECT_FALSE(opens("1zlp" + good.substr(4)));  // the older layout is not read
    for (size_t offset : {0u, 4u, 8u, 16u, 20u, 24u}) EXPECT_FALSE(opens(damaged(offset))) << offset;
    // Any flipped byte in the index (at the end of the file).
    for (size_t back = 1; back <= 40; back++) EXPECT_FALSE(opens(damaged(good.size() - back))) << back;
    // Cut short anywhere, or with bytes added.
    for (size_t cut : {size_t(27), size_t(28), good.size() / 2, good.size() - 1}) {
        EXPECT_FALSE(opens(good.substr(0, cut))) << cut;
    }
    EXPECT_FALSE(opens(good + "x"));

    // A flipped data byte leaves the pack readable but that entry damaged.
    std::vector<PackFileEntry> read;
    std::string bytes = damaged(28 + 5);  // inside the first entry's stream
    WriteAll(bad, bytes);
    EXPECT_FALSE(ReadPackFile(bad, read));
    int pack = OpenDataPack(PF_ANY, bad, PACK_NATIVE);
    ASSERT_NE(pack, 0);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "settings_template.png"), -1);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "music1.ogg"), 70000);
    EXPECT_EQ(ExtractPackEntryToFile(pack, "settings_template.png", TestFolder() + "bad.out"), 0);
    EXPECT_EQ(FileSize(TestFolder() + "bad.out"), -1);  // no half file left behind
}

// Random bytes, and a good pack damaged at random, never crash the reader.
TEST_F(Pack, RandomDamageNeverCrashes) {
    const std::string good = ReadAll(path);
    std::string bad = TestFolder() + "fuzz.data";
    std::mt19937 rng(99);
    std::vector<uint8_t> buffer(400000);
    int opened = 0;
    for (int round = 0; round < 400; round++) {
        std::string bytes = good;
        if (round % 4 == 0) {
            bytes = "2zlp";
            for (int i = 0; i < 200; i++) bytes += char(rng());
        } else if (round % 4 == 1) {
            bytes.resize(rng() % bytes.size());
        } else {
            for (int flips = 1 + int(rng() % 4); flips > 0; flips--) bytes[rng() % bytes.size()] = char(rng());
        }
        WriteAll(bad, bytes);
        int pack = OpenDataPack(PF_ANY, bad, PACK_NATIVE);
        if (!pack) continue;
        opened++;
        for (const PackEntryInfo& e : ListPackEntries(pack)) {
            int64_t n = ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), e.name);
            EXPECT_LE(n, int64_t(buffer.size()));
        }
        CloseDataPack(pack);
    }
    EXPECT_GT(opened, 0);  // data-byte damage leaves the index readable
}

TEST_F(Pack, PacktoolWritesListsAndExtracts) {
    std::string tool = std::string(PRISMORIA_BIN_DIR) + "/packtool";
    if (FileSize(tool) < 0) GTEST_SKIP() << "packtool not built";
    std::string folder = TestFolder();
    WriteAll(folder + "a.png", "first file");
    WriteAll(folder + "b.bin", std::string(5000, 'b'));
    std::string out = folder + "tool.data";
    std::string cmd = "'" + tool + "' '" + out + "' '" + folder + "a.png' 'renamed.bin=" + folder + "b.bin'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::vector<PackFileEntry> read;
    ASSERT_TRUE(ReadPackFile(out, read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].name, "a.png");
    EXPECT_EQ(read[1].name, "renamed.bin");
    EXPECT_EQ(std::string(read[1].bytes.begin(), read[1].bytes.end()), std::string(5000, 'b'));

    cmd = "'" + tool + "' --list '" + out + "' > '" + folder + "list.txt'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadAll(folder + "list.txt"), "10\ta.png\n5000\trenamed.bin\n");
    cmd = "'" + tool + "' --extract '" + out + "' renamed.bin '" + folder + "x.bin'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadAll(folder + "x.bin"), std::string(5000, 'b'));
    cmd = "'" + tool + "' --extract '" + out + "' missing '" + folder + "y.bin' 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
    cmd = "'" + tool + "' '" + out + "' '" + folder + "does-not-exist' 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
}

}  // namespace
