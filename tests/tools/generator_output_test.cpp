// generator_output_test.cpp: the generator is repeatable, refuses oversize entries, and the built pack matches it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assetgen.h"
#include "pack_format.h"
#include "image_files.h"

namespace {

std::vector<GeneratedFile> CompleteSet() {
    std::vector<GeneratedFile> all;
    for (const std::string& n : CatalogueEntryNames()) all.push_back(GeneratedFile{n, {1, 2, 3}});
    return all;
}

bool Mentions(const std::vector<std::string>& problems, const std::string& name) {
    for (const std::string& p : problems)
        if (p.find("\"" + name + "\"") != std::string::npos) return true;
    return false;
}

TEST(GeneratorChecks, CompleteSetWithinBuffersPasses) {
    EXPECT_TRUE(EntryProblems(CompleteSet()).empty());
    // 9 fixed entries (typeface and sounds) before the artwork.
    EXPECT_EQ(CatalogueEntryNames().size(), 9 + ArtworkEntryNames().size());
}

TEST(GeneratorChecks, OversizeEntriesAreNamedAtTheirKindsLimit) {
    std::vector<GeneratedFile> all = CompleteSet();
    for (GeneratedFile& f : all) {
        if (f.name == "s07.png") f.bytes.assign(204801, 0);           // one byte over 200 KiB
        if (f.name == "gui_quit.png") f.bytes.assign(204800, 0);      // exactly at the limit
        if (f.name == "brk_16x9.png") f.bytes.assign(4194305, 0);     // over 4 MiB
        if (f.name == "brk_4x3.png") f.bytes.assign(1000000, 0);      // a splash may exceed 200 KiB
        if (f.name == "music1.ogg") f.bytes.assign(15728641, 0);      // over 15 MiB
    }
    std::vector<std::string> problems = EntryProblems(all);
    EXPECT_EQ(problems.size(), 3u);
    EXPECT_TRUE(Mentions(problems, "s07.png"));
    EXPECT_TRUE(Mentions(problems, "brk_16x9.png"));
    EXPECT_TRUE(Mentions(problems, "music1.ogg"));
    EXPECT_FALSE(Mentions(problems, "gui_quit.png"));
    EXPECT_FALSE(Mentions(problems, "brk_4x3.png"));
}

TEST(GeneratorChecks, DuplicateNamesAreRefused) {
    std::vector<GeneratedFile> all = CompleteSet();
    all.push_back(GeneratedFile{"logo.png", {9}});
    std::vector<std::string> problems = EntryProblems(all);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(Mentions(problems, "logo.png"));
}

TEST(GeneratorChecks, MissingAndEmptyEntriesAreNamed) {
    std::vector<GeneratedFile> all = CompleteSet();
    std::vector<GeneratedFile> kept;
    for (GeneratedFile& f : all) {
        if (f.name == "shape07.png") continue;
        if (f.name == "settings_template.png") f.bytes.clear();
        kept.push_back(f);
    }
    std::vector<std::string> problems = EntryProblems(kept);
    EXPECT_EQ(problems.size(), 2u);
    EXPECT_TRUE(Mentions(problems, "shape07.png"));
    EXPECT_TRUE(Mentions(problems, "settings_template.png"));
}

class GeneratorOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { first_ = new std::vector<GeneratedFile>(GenerateArtwork()); }
    static void TearDownTestSuite() {
        delete first_;
        first_ = nullptr;
    }
    static std::vector<GeneratedFile>* first_;
};

std::vector<GeneratedFile>* GeneratorOutput::first_ = nullptr;

TEST_F(GeneratorOutput, ArtworkIsTheSameBytesEveryRun) {
    std::vector<GeneratedFile> second = GenerateArtwork();
    ASSERT_EQ(first_->size(), second.size());
    for (size_t i = 0; i < second.size(); ++i) {
        EXPECT_EQ((*first_)[i].name, second[i].name);
        EXPECT_TRUE((*first_)[i].bytes == second[i].bytes) << second[i].name << " differs between runs";
    }
    EXPECT_EQ(GenerateCursor(), GenerateCursor());
}

TEST_F(GeneratorOutput, BuiltPackHoldsExactlyWhatTheGeneratorMakes) {
    const std::string pack = std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data";
    if (!std::filesystem::exists(pack)) GTEST_SKIP() << "no built pack at " << pack;
    std::vector<PackFileEntry> entries;
    ASSERT_TRUE(ReadPackFile(pack, entries));
    std::vector<GeneratedFile> asFiles;
    for (const PackFileEntry& e : entries) asFiles.push_back(GeneratedFile{e.name, e.bytes});
    EXPECT_TRUE(EntryProblems(asFiles).empty());
    for (const GeneratedFile& f : *first_) {
        bool found = false;
        for (const PackFileEntry& e : entries) {
            if (e.name != f.name) continue;
            found = true;
            EXPECT_TRUE(e.bytes == f.bytes) << f.name << " in the pack differs from a fresh generation";
        }
        EXPECT_TRUE(found) << f.name;
    }
    // The cursor file beside the game is the generator's cursor.
    const std::string cursor = std::string(PRISMORIA_BIN_DIR) + "/Prismoria.pointer";
    ASSERT_TRUE(std::filesystem::exists(cursor));
    EXPECT_EQ(std::filesystem::file_size(cursor), GenerateCursor().size());
    EXPECT_TRUE(std::filesystem::exists(std::string(PRISMORIA_BIN_DIR) + "/Time and Space licence.txt"));
}

TEST_F(GeneratorOutput, ReviewWritesContactSheetAndMockUps) {
    const std::string folder = std::string(PRISMORIA_TEST_TMP) + "/art-review";
    std::filesystem::remove_all(folder);
    // Without the splash screens: the review must cope with pictures it does not use.
    std::vector<GeneratedFile> some;
    for (const GeneratedFile& f : *first_)
        if (f.name.rfind("brk_", 0) != 0) some.push_back(f);
    WriteArtReview(some, folder);
    for (const char* n : {"contact_sheet.png", "play_1920x1080.png", "play_1280x720.png", "menu_1920x1080.png"}) {
        const std::string path = folder + "/" + n;
        ASSERT_TRUE(std::filesystem::exists(path)) << n;
        std::vector<uint8_t> bytes(std::filesystem::file_size(path));
        FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
        DecodedPng d;
        ASSERT_TRUE(DecodePng(bytes, d)) << n;
        if (std::string(n) == "play_1920x1080.png") {
            EXPECT_EQ(d.width, 1920);
            EXPECT_EQ(d.height, 1080);
        }
    }
}

}  // namespace
