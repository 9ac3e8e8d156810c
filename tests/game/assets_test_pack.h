// assets_test_pack.h: a headless display fixture and small data packs built in the test's own folder.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/state.h"
#include "core/log.h"
#include "display/assets.h"
#include "display/display.h"
#include "platform/pack_format.h"
#include "platform/platform.h"

namespace testpack {

inline void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

inline void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

// An RGBA PNG filled with one colour (packed as in platform.h); level 0 stores
// the pixels uncompressed, which makes large files on purpose.
inline std::vector<uint8_t> MakePng(int width, int height, uint32_t rgba, int level = 6) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        for (int x = 0; x < width; x++) {
            raw.push_back(uint8_t(ColourRed(rgba)));
            raw.push_back(uint8_t(ColourGreen(rgba)));
            raw.push_back(uint8_t(ColourBlue(rgba)));
            raw.push_back(uint8_t(ColourAlpha(rgba)));
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), level);
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

inline std::string TwoDigits(int n) { return std::string(1, char('0' + n / 10)) + char('0' + n % 10); }

// Every image entry of the catalogue with its stored size in the test pack.
// Stored sizes differ from the display sizes so scaling can be seen.
struct TestImage {
    std::string name;
    int width;
    int height;
};

inline std::vector<TestImage> CatalogueImages() {
    std::vector<TestImage> images = {
        {"brk_3x2.png", 300, 200},  {"brk_4x3.png", 400, 300},    {"brk_5x4.png", 500, 400},
        {"brk_16x9.png", 320, 180}, {"brk_16x10.png", 320, 200},  {"brk_17x9.png", 340, 180},
        {"shadow.png", 64, 36},     {"pointer.png", 16, 24},      {"logo.png", 200, 100},
        {"credits.png", 127, 160},  {"quit.png", 103, 112},       {"mainmenu.png", 103, 140},
        {"settings.png", 126, 112}, {"menu_template.png", 103, 9}, {"settings_template.png", 126, 7},
        {"credits_template.png", 127, 7}, {"frame_left.png", 10, 30}, {"frame_right.png", 11, 30},
        {"frame_top.png", 30, 10},  {"frame_bottom.png", 30, 11}, {"decor_top_left.png", 20, 20},
        {"decor_top_right.png", 20, 20}, {"decor_bottom_left.png", 20, 20}, {"decor_bottom_right.png", 20, 20},
        {"gui_complex_left.png", 12, 18}, {"gui_complex_right.png", 12, 18}, {"gui_quit.png", 9, 9},
        {"gui_quit_active.png", 9, 9},
    };
    for (int i = 0; i <= 11; i++) images.push_back({"s" + TwoDigits(i) + ".png", 16, 16});
    for (int i = 1; i <= 11; i++) images.push_back({TwoDigits(i) + ".png", 16, 16});
    for (int i = 1; i <= 11; i++) images.push_back({"shape" + TwoDigits(i) + ".png", 24, 24});
    for (int i = 1; i <= 11; i++) images.push_back({"gui_shape " + TwoDigits(i) + ".png", 24, 24});
    return images;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return {};
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A pack with the typeface and every image (no sounds: encoding OGG is not
// available here; the built game pack covers them). `omit` drops entries,
// `replace` swaps an entry's bytes.
inline bool WriteTestPack(const std::string& path, const std::set<std::string>& omit = {},
                          const std::map<std::string, std::vector<uint8_t>>& replace = {}) {
    std::vector<PackFileEntry> entries;
    entries.push_back({"TimeandSpace-Regular.ttf",
                       ReadBytes("/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf")});
    uint32_t colour = RGBA(200, 40, 40, 255);
    for (const TestImage& image : CatalogueImages()) {
        entries.push_back({image.name, MakePng(image.width, image.height, colour)});
        colour += 0x000503;
    }
    std::vector<PackFileEntry> kept;
    for (PackFileEntry& entry : entries) {
        if (omit.count(entry.name)) continue;
        auto swap = replace.find(entry.name);
        if (swap != replace.end()) entry.bytes = swap->second;
        kept.push_back(entry);
    }
    for (const auto& [name, bytes] : replace) {
        bool present = false;
        for (const PackFileEntry& entry : kept) present = present || entry.name == name;
        if (!present) kept.push_back({name, bytes});
    }
    return WritePackFile(path, kept);
}

inline std::string BuiltPackPath() { return std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data"; }
inline bool BuiltPackExists() { return FileSize(BuiltPackPath()) > 0; }

// The log's lines without their CR LF.
inline std::vector<std::string> ReadLogLines(const std::string& path) {
    std::string bytes;
    std::vector<std::string> lines;
    if (!ReadWholeFile(path, bytes)) return lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline std::string LastLine(const std::vector<std::string>& lines) { return lines.empty() ? "" : lines.back(); }

inline int CountLine(const std::vector<std::string>& lines, const std::string& line) {
    int count = 0;
    for (const std::string& l : lines) count += l == line;
    return count;
}

}  // namespace testpack

// Headless layer with a desktop of a chosen size, the game state reset, and a
// folder of the test's own as GameDir and SaveTo.
class HeadlessDisplayTest : public ::testing::Test {
protected:
    std::string Folder;
    std::string LogPath;

    void SetUp() override {
        PfSelectBackend(PF_BACKEND_HEADLESS);
        PfSetHeadlessDesktopSize(1920, 1080);
        ASSERT_EQ(InitSprite(), 1);
        App = AppState();
        Display = DisplayState();
        Assets = AssetImages();
        PlayLayout = PlayLayoutState();
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Folder = std::string(PRISMORIA_TEST_TMP) + "/display/" + info->test_suite_name() + "." + info->name() + "/";
        ASSERT_EQ(CreateFolderPath(Folder), 1);
        App.GameDir = Folder;
        App.UserDir = Folder;
        App.SaveTo = Folder;
        LogPath = Folder + "test.log";
        DeleteFile(LogPath);
    }

    void TearDown() override {
        CloseLog();
        PfShutdown();
        PfSetHeadlessDesktopSize(0, 0);
    }

    void StartLog() {
        ASSERT_TRUE(OpenLog(LogPath, "Prismoria"));
        EnableLog();
    }

    std::vector<std::string> FinishLog() {
        CloseLog();
        return testpack::ReadLogLines(LogPath);
    }

    // Opens a headless surface of the given size in Windowed mode (any size can
    // be had that way) after pointing resolution entry 0 at it.
    bool OpenSurface(int width, int height) {
        BuildResolutionList();
        Display.Resolutions[0] = std::to_string(width) + "x" + std::to_string(height);
        App.Settings.GameScreen = ScreenWindowed;
        App.Settings.Resolution = 0;
        ChooseScreenSize(false);
        if (!OpenGameSurface()) return false;
        ClassifyAspect(Display.ScreenWidth, Display.ScreenHeight);
        ComputeLayout();
        return true;
    }
};
