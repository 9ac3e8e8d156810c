// harness.cpp: the headless game harness shared by the game tests.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/log.h"
#include "play/play.h"
#include "app/spine.h"
#include "board.h"
#include "display/display.h"
#include "platform.h"

namespace fs = std::filesystem;

HarnessFolders Folders;

namespace {

std::vector<std::string> ArgumentStore;
std::vector<char*> ArgumentPointers;
bool SoundHeard = false;

// One frame of the game and the sound of its 1/60 second: the headless mixer
// has no device and moves on only when asked, so the harness keeps it in time.
void Frame() {
    RunOneFrame();
    int16_t sound[2 * 44100 / 60];
    PfMixSound(sound, 44100 / 60);
    for (int16_t sample : sound) SoundHeard |= sample != 0;
}

void LinkIfPresent(const std::string& name) {
    fs::path source = fs::path(PRISMORIA_BIN_DIR) / name;
    if (fs::exists(source)) {
        fs::create_symlink(source, fs::path(Folders.gameDir) / name);
    }
}

}  // namespace

bool GameDataAvailable() {
    return fs::exists(fs::path(PRISMORIA_BIN_DIR) / "Prismoria.data");
}

void PrepareFolders() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "harness";
    Folders.root = std::string(PRISMORIA_TEST_TMP) + "/game/" + name + "/";
    fs::remove_all(Folders.root);
    Folders.gameDir = Folders.root + "game/";
    Folders.dataHome = Folders.root + "data/";
    Folders.userDir = Folders.dataHome + "dawnwhistle game studio/Prismoria/";
    fs::create_directories(Folders.gameDir);
    fs::create_directories(Folders.dataHome);
    fs::create_directories(Folders.root + "home");
    fs::create_directories(Folders.root + "tmp");
    LinkIfPresent("Prismoria.data");
    LinkIfPresent("Prismoria.languages");
    LinkIfPresent("Prismoria.pointer");
    setenv("XDG_DATA_HOME", Folders.dataHome.c_str(), 1);
    setenv("HOME", (Folders.root + "home").c_str(), 1);
    setenv("TMPDIR", (Folders.root + "tmp").c_str(), 1);
}

void WritePrefsFile(const std::string& folder, const HarnessOptions& o) {
    fs::create_directories(folder);
    std::ofstream out(folder + "Prismoria.prefs", std::ios::binary);
    out << "\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\n"
        << "Music = " << o.music << "\r\nGameScreen = " << o.gameScreen << "\r\nResolution = 1\r\n"
        << "Sounds = " << o.sounds << "\r\nMusicVolume = " << o.musicVolume << "\r\n";
}

void StartHarness(const HarnessOptions& options) {
    PfShutdown();
    CloseLog();
    PrepareFolders();
    if (options.noLanguages || !options.languages.empty()) {
        const std::string pack = Folders.gameDir + "Prismoria.languages";
        fs::remove(pack);
        for (const auto& [code, bytes] : options.languages) {
            fs::create_directories(pack);
            std::ofstream(pack + "/" + code + ".language", std::ios::binary) << bytes;
        }
    }
    WritePrefsFile(options.portable ? Folders.gameDir : Folders.userDir, options);
    LaunchGame(options);
}

void LaunchGame(const HarnessOptions& options) {
    PfShutdown();
    CloseLog();
    SoundHeard = false;
    ArgumentStore = {"prismoria"};
    ArgumentStore.insert(ArgumentStore.end(), options.arguments.begin(), options.arguments.end());
    ArgumentPointers.clear();
    for (std::string& a : ArgumentStore) ArgumentPointers.push_back(a.data());
    SetCommandLine(int(ArgumentPointers.size()), ArgumentPointers.data());
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(options.desktopWidth, options.desktopHeight);
    PfSeedRandomForTests(1234);
    Start.GameDir = Folders.gameDir;
    StartUp();
}

void StopHarness() {
    PfShutdown();
    CloseLog();
    Start = StartOptions{};
}

bool SoundHeardSinceLastAsked() {
    const bool heard = SoundHeard;
    SoundHeard = false;
    return heard;
}

void RunFrames(int count) {
    for (int i = 0; i < count; ++i) Frame();
}

bool RunUntilState(int state, int limit) {
    for (int i = 0; i < limit && App.ScreenState != state; ++i) Frame();
    return App.ScreenState == state;
}

void TapKey(int key) {
    PfInjectKey(key, 1);
    PfInjectKey(key, 0);
    Frame();
}

void ClickAt(int x, int y) {
    PfInjectMouseMove(x, y);
    Frame();  // hover follows the pointer
    PfInjectMouseButton(MOUSE_LEFT, 1);
    Frame();  // full screen: the latched press clicks here
    PfInjectMouseButton(MOUSE_LEFT, 0);
    Frame();  // windowed: button up and the click event are handled here
}

void ClickButton(int state, int n) {
    MenuScreenRef screen = MenuScreenFor(state);
    ASSERT_GE(n, 1);
    ASSERT_LE(n, screen.count);
    const MenuButton& b = screen.buttons[n];
    ClickAt((b.hitX1 + b.hitX2) / 2, (b.hitY1 + b.hitY2) / 2);
}

void StartAtMainMenu(const HarnessOptions& options) {
    StartHarness(options);
    ASSERT_TRUE(RunUntilState(StateMainMenu));
}

void StartGameThroughMenus(int mode, int size) {
    ClickButton(StateMainMenu, 1);
    ASSERT_EQ(App.ScreenState, StateGameMode);
    ClickButton(StateGameMode, mode);
    ASSERT_EQ(App.ScreenState, StateBoardSize);
    ClickButton(StateBoardSize, size);
    ASSERT_EQ(App.ScreenState, StatePlaying);
}

void DragPiece(int slot, int column, int row) {
    const ScreenRect& from = PlayLayout.TrayRect[slot];
    PfInjectMouseMove((from.x1 + from.x2) / 2, (from.y1 + from.y2) / 2);
    Frame();
    PfInjectMouseButton(MOUSE_LEFT, 1);
    Frame();
    ASSERT_EQ(Play.Dragging, 1) << "slot " << slot;
    // The carried image is centred on the pointer and its top-left corner picks the cell.
    const BoardCell& cell = CellAt(column, row);
    PfInjectMouseMove((cell.snapLeft + cell.snapRight) / 2 + Play.DragHalfWidth,
                      (cell.snapTop + cell.snapBottom) / 2 + Play.DragHalfHeight);
    Frame();
    PfInjectMouseButton(MOUSE_LEFT, 0);
    Frame();
    for (int i = 0; i < 100 && Effects.EffectActive && App.ScreenState == StatePlaying; ++i) Frame();
}

bool PlayGameToTheEnd(uint64_t botSeed, int moveLimit) {
    for (int moves = 0; moves < moveLimit && App.ScreenState == StatePlaying; ++moves) {
        BoardMove move;
        if (!ChooseBotMove(BotRandom, &botSeed, &move)) break;
        DragPiece(move.slot, move.column, move.row);
        if (testing::Test::HasFatalFailure()) return false;
    }
    return App.ScreenState == StateGameOver;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path) {
    return fs::exists(path);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
}
