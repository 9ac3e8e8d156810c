// zip_archives.cpp: ZIP archives (the language pack): listing, extraction, damaged archives.
#include <gtest/gtest.h>

#include "pf_internal.h"
#include "platform.h"

#include <archive.h>
#include <archive_entry.h>

#include <random>
#include <string>

namespace {

std::string TestFolder() {
    std::string folder = std::string(PRISMORIA_TEST_TMP) + "/zip/";
    CreateFolderPath(folder);
    return folder;
}

struct ZipItem {
    std::string name;
    std::string bytes;
    bool folder;
};

// Writes a ZIP with libarchive's writer (deflate, or stored when asked).
void MakeZip(const std::string& path, const std::vector<ZipItem>& items, bool stored = false) {
    archive* a = archive_write_new();
    ASSERT_EQ(archive_write_set_format_zip(a), ARCHIVE_OK);
    if (stored) archive_write_set_options(a, "zip:compression=store");
    ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
    for (const ZipItem& item : items) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.name.c_str());
        archive_entry_set_filetype(e, item.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, la_int64_t(item.bytes.size()));
        ASSERT_EQ(archive_write_header(a, e), ARCHIVE_OK);
        if (!item.bytes.empty()) {
            ASSERT_EQ(archive_write_data(a, item.bytes.data(), item.bytes.size()), la_ssize_t(item.bytes.size()));
        }
        archive_entry_free(e);
    }
    ASSERT_EQ(archive_write_close(a), ARCHIVE_OK);
    archive_write_free(a);
}

std::string LanguageText() {
    std::string text = "\xEF\xBB\xBF\r\n[LANGUAGE FILE]\r\ntLangFileNAME = English\r\n[Texts]\r\n";
    for (int i = 0; i < 400; i++) text += "tKey" + std::to_string(i) + " = Some text\r\n";
    return text;
}

std::vector<ZipItem> SampleItems() {
    return {{"en_GB.language", LanguageText(), false},
            {"flags/", "", true},
            {"el_GR.language", "[LANGUAGE FILE]\r\ntLangFileNAME = \xCE\x95\r\n", false},
            {"en_GB.flag", std::string(1000, '\x42'), false},
            {"flags/empty.txt", "", false}};
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

class Zip : public ::testing::Test {
protected:
    void SetUp() override {
        path = TestFolder() + "Prismoria.languages";
        MakeZip(path, SampleItems());
    }
    void TearDown() override { PfArchivesShutdown(); }
    std::string path;
};

TEST_F(Zip, ListsNamesAndTypesInArchiveOrder) {
    int pack = OpenDataPack(PF_ANY, path, PACK_ZIP);
    ASSERT_NE(pack, 0);
    std::vector<PackEntryInfo> list = ListPackEntries(pack);
    std::vector<ZipItem> items = SampleItems();
    ASSERT_EQ(list.size(), items.size());
    for (size_t i = 0; i < list.size(); i++) {
        EXPECT_EQ(list[i].name, items[i].name);
        EXPECT_EQ(list[i].isFolder, items[i].folder ? 1 : 0) << items[i].name;
        if (!items[i].folder) {
            EXPECT_EQ(list[i].size, int64_t(items[i].bytes.size()));
        }
    }
}

TEST_F(Zip, ExtractsToMemoryByName) {
    int pack = OpenDataPack(PF_ANY, path, PACK_ZIP);
    ASSERT_NE(pack, 0);
    std::vector<char> buffer(16000);
    int64_t n = ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "en_GB.flag");
    ASSERT_EQ(n, 1000);
    EXPECT_EQ(std::string(buffer.data(), size_t(n)), std::string(1000, '\x42'));
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "flags/empty.txt"), 0);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "de_DE.flag"), -1);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "flags/"), -1);  // a folder
    // Larger than the buffer: refused, and nothing is written past its end.
    std::string text = LanguageText();
    std::vector<char> small(text.size() + 8, '#');
    EXPECT_EQ(ExtractPackEntry(pack, small.data(), int64_t(text.size() - 1), "en_GB.language"), -1);
    EXPECT_EQ(std::string(small.end() - 9, small.end()), std::string(9, '#'));
    EXPECT_EQ(ExtractPackEntry(pack, small.data(), int64_t(text.size()), "en_GB.language"), int64_t(text.size()));
    EXPECT_EQ(std::string(small.data(), text.size()), text);
}

TEST_F(Zip, ExtractsToFileAndReadsAsKeyFile) {
    int pack = OpenDataPack(3, path, PACK_ZIP);
    ASSERT_NE(pack, 0);
    std::string out = TestFolder() + "en_GB.language";
    ASSERT_EQ(ExtractPackEntryToFile(3, "en_GB.language", out), 1);
    EXPECT_EQ(ReadAll(out), LanguageText());
    ASSERT_NE(OpenKeyFile(0, out), 0);
    SelectGroup(0, "LANGUAGE FILE");
    EXPECT_EQ(ReadKeyText(0, "tLangFileNAME", ""), "English");
    PfKeyFilesShutdown();
    EXPECT_EQ(DeleteFile(out), 1);
    EXPECT_EQ(ExtractPackEntryToFile(3, "missing.language", out), 0);
    EXPECT_EQ(FileSize(out), -1);
    EXPECT_EQ(ExtractPackEntryToFile(3, "en_GB.language", "/nonexistent/dir/x"), 0);
}

TEST_F(Zip, StoredEntriesAndEmptyArchives) {
    std::string stored = TestFolder() + "stored.zip";
    MakeZip(stored, SampleItems(), true);
    int pack = OpenDataPack(PF_ANY, stored, PACK_ZIP);
    ASSERT_NE(pack, 0);
    std::vector<char> buffer(20000);
    EXPECT_EQ(ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "en_GB.language"),
              int64_t(LanguageText().size()));
    std::string empty = TestFolder() + "empty.zip";
    MakeZip(empty, {});
    pack = OpenDataPack(PF_ANY, empty, PACK_ZIP);
    ASSERT_NE(pack, 0);
    EXPECT_TRUE(ListPackEntries(pack).empty());
}

TEST_F(Zip, DamagedArchivesFailWithoutCrashing) {
    std::string good = ReadAll(path);
    std::string bad = TestFolder() + "bad.zip";
    std::vector<char> buffer(20000);
    auto write = [&](const std::string& bytes) { ASSERT_EQ(WriteWholeFile(bad, bytes.data(), bytes.size()), 1); };

    write("");
    EXPECT_EQ(OpenDataPack(PF_ANY, bad, PACK_ZIP), 0);
    write("not a zip archive at all");
    EXPECT_EQ(OpenDataPack(PF_ANY, bad, PACK_ZIP), 0);
    EXPECT_EQ(OpenDataPack(PF_ANY, TestFolder() + "missing.zip", PACK_ZIP), 0);
    EXPECT_EQ(OpenDataPack(PF_ANY, path, 7), 0);  // unknown reader kind

    // A flipped byte inside the first entry's compressed data: its CRC fails.
    std::string flipped = good;
    size_t dataStart = 30 + std::string("en_GB.language").size();
    flipped[dataStart + 20] = char(flipped[dataStart + 20] ^ 0x55);
    write(flipped);
    // Refused when opened, or when that entry is read.
    int pack = OpenDataPack(PF_ANY, bad, PACK_ZIP);
    EXPECT_EQ(pack ? ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "en_GB.language") : -1, -1);
    EXPECT_EQ(pack ? ExtractPackEntryToFile(pack, "en_GB.language", TestFolder() + "bad.out") : 0, 0);
    EXPECT_EQ(FileSize(TestFolder() + "bad.out"), -1);
    if (pack) CloseDataPack(pack);

    // Cut short in the middle of the first entry.
    write(good.substr(0, dataStart + 30));
    pack = OpenDataPack(PF_ANY, bad, PACK_ZIP);
    EXPECT_EQ(pack ? ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), "en_GB.language") : -1, -1);
    if (pack) CloseDataPack(pack);
}

// Random damage and truncation of a good archive, and plain noise, never crash.
TEST_F(Zip, RandomDamageNeverCrashes) {
    std::string good = ReadAll(path);
    std::string bad = TestFolder() + "fuzz.zip";
    std::mt19937 rng(2024);
    std::vector<char> buffer(20000);
    for (int round = 0; round < 300; round++) {
        std::string bytes = good;
        if (round % 3 == 0) {
            bytes.resize(rng() % bytes.size());
        } else if (round % 3 == 1) {
            for (int flips = 1 + int(rng() % 6); flips > 0; flips--) bytes[rng() % bytes.size()] = char(rng());
        } else {
            bytes = "PK\x03\x04";
            for (int i = 0; i < 300; i++) bytes += char(rng());
        }
        ASSERT_EQ(WriteWholeFile(bad, bytes.data(), bytes.size()), 1);
        int pack = OpenDataPack(PF_ANY, bad, PACK_ZIP);
        if (!pack) continue;
        for (const PackEntryInfo& e : ListPackEntries(pack)) {
            int64_t n = ExtractPackEntry(pack, buffer.data(), int64_t(buffer.size()), e.name);
            EXPECT_LE(n, int64_t(buffer.size()));
        }
        CloseDataPack(pack);
    }
}

}  // namespace
