// main.cpp: prismoria-shots runs the game headless and saves a PNG of every screen, reached by real clicks.
//
// For reviewing the screens by eye at any size and in any shipped language, and
// for the screenshots the software centre shows. Nothing is written outside the
// output folder: the game's preferences live in a scratch folder inside it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/state.h"
#include "play/play.h"
#include "app/spine.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    std::string out = ".";
    std::string gameDir;
    std::string language = "en_GB";
    int width = 1920;
    int height = 1080;
    uint64_t seed = 7;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--out") {
            o.out = value;
        } else if (key == "--game") {
            o.gameDir = value;
        } else if (key == "--language") {
            o.language = value;
        } else if (key == "--seed") {
            o.seed = std::strtoull(value.c_str(), nullptr, 10);
        } else if (key == "--size") {
            if (std::sscanf(value.c_str(), "%dx%d", &o.width, &o.height) != 2) return false;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !o.gameDir.empty();
}

std::string OutFolder;
std::string Prefix;

void Save(const std::string& name) {
    const int image = GrabScreenImage(PF_ANY, 0, 0, ScreenWidth(), ScreenHeight());
    const std::string path = OutFolder + Prefix + name + ".png";
    const bool saved = image != 0 && SaveImagePng(image, path) != 0;
    if (image != 0) FreeImage(image);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.c_str());
}

void Frames(int count) {
    for (int i = 0; i < count; ++i) RunOneFrame();
}

bool UntilState(int state) {
    for (int i = 0; i < 3000 && App.ScreenState != state; ++i) RunOneFrame();
    return App.ScreenState == state;
}

void MoveTo(int x, int y) {
    PfInjectMouseMove(x, y);
    RunOneFrame();
}

void Press(bool down) {
    PfInjectMouseButton(MOUSE_LEFT, down ? 1 : 0);
    RunOneFrame();
}

void Click(int x, int y) {
    MoveTo(x, y);
    Press(true);
    Press(false);
}

void TapKey(int key) {
    PfInjectKey(key, 1);
    PfInjectKey(key, 0);
    RunOneFrame();
}

void ClickButton(int state, int n) {
    const MenuScreenRef screen = MenuScreenFor(state);
    if (n < 1 || n > screen.count) return;
    const MenuButton& b = screen.buttons[n];
    Click((b.hitX1 + b.hitX2) / 2, (b.hitY1 + b.hitY2) / 2);
}

void HoverButton(int state, int n) {
    const MenuButton& b = MenuScreenFor(state).buttons[n];
    MoveTo((b.hitX1 + b.hitX2) / 2, (b.hitY1 + b.hitY2) / 2);
    RunOneFrame();  // hover is taken after drawing: the next frame shows it
}

// Carries the piece of a tray slot to the board so that its origin lands on the
// cell, the way a player's drag does. With `release` false the piece stays carried.
void Drag(const BoardMove& move, bool release) {
    const ScreenRect& slot = PlayLayout.TrayRect[move.slot];
    MoveTo((slot.x1 + slot.x2) / 2, (slot.y1 + slot.y2) / 2);
    Press(true);
    const int shape = Play.DragShape;
    const BoardCell& cell = CellAt(move.column, move.row);
    MoveTo(cell.x + SpriteWidth(Assets.Shape[shape]) / 2 + 2, cell.y + SpriteHeight(Assets.Shape[shape]) / 2 + 2);
    if (release) Press(false);
}

// Plays greedy moves until a move clears lines (stopping mid-fade) or `moves` are made.
bool PlayUntilClear(uint64_t* bot, int moves) {
    for (int i = 0; i < moves && App.ScreenState == StatePlaying; ++i) {
        BoardMove move;
        if (!ChooseBotMove(BotGreedy, bot, &move)) return false;
        Drag(move, true);
        if (Effects.EffectActive) return true;
    }
    return false;
}

void PlayToTheEnd(uint64_t* bot) {
    for (int i = 0; i < 2000 && App.ScreenState == StatePlaying; ++i) {
        Frames(20);  // let any clear effect fade
        if (App.ScreenState != StatePlaying) break;
        BoardMove move;
        if (!ChooseBotMove(BotRandom, bot, &move)) break;
        Drag(move, true);
    }
    UntilState(StateGameOver);
}

void WritePreferences(const std::string& folder, const std::string& language) {
    fs::create_directories(folder);
    const std::string text = "\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = " + language +
                             "\r\nMusic = 0\r\nGameScreen = 2\r\nResolution = 1\r\nSounds = 0\r\n"
                             "MusicVolume = 100\r\n";
    WriteWholeFile(folder + "Prismoria.prefs", text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: prismoria-shots --game <folder with Prismoria.data> [--out <folder>] "
                     "[--size WxH] [--language code] [--seed n]\n");
        return 2;
    }
    OutFolder = fs::absolute(o.out).string() + "/";
    Prefix = o.language + "_" + std::to_string(o.width) + "x" + std::to_string(o.height) + "_";
    fs::create_directories(OutFolder);
    const std::string scratch = OutFolder + ".shots-home/";
    setenv("XDG_DATA_HOME", scratch.c_str(), 1);
    WritePreferences(scratch + "dawnwhistle game studio/Prismoria/", o.language);

    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(o.width, o.height);
    PfSeedRandomForTests(o.seed);
    Start.GameDir = fs::absolute(o.gameDir).string() + "/";
    StartUp();

    Frames(50);
    Save("00_studio_logo");
    UntilState(StateTitle);
    Frames(60);
    Save("01_title");
    UntilState(StateMainMenu);
    HoverButton(StateMainMenu, 1);
    Save("02_main_menu");
    ClickButton(StateMainMenu, 1);
    HoverButton(StateGameMode, 2);
    Save("03_game_mode");
    ClickButton(StateGameMode, 2);
    HoverButton(StateBoardSize, 2);
    Save("04_board_size");
    TapKey(KEY_ESCAPE);
    TapKey(KEY_ESCAPE);
    ClickButton(StateMainMenu, 3);
    HoverButton(StateSettings, 4);
    Save("05_settings");
    TapKey(KEY_ESCAPE);
    ClickButton(StateMainMenu, 4);
    Save("06_help");
    TapKey(KEY_ESCAPE);
    ClickButton(StateMainMenu, 5);
    Save("07_credits");
    TapKey(KEY_ESCAPE);
    ClickButton(StateMainMenu, 6);
    HoverButton(StateQuitConfirm, 2);
    Save("08_quit");
    ClickButton(StateQuitConfirm, 2);

    // A game in progress: a few moves, a clear effect mid-fade, then a carried piece.
    ClickButton(StateMainMenu, 1);
    ClickButton(StateGameMode, 2);
    ClickButton(StateBoardSize, 2);
    uint64_t bot = o.seed;
    if (PlayUntilClear(&bot, 60)) {
        Frames(6);
        Save("09_play_clearing");
        Frames(20);
    }
    BoardMove move;
    if (ChooseBotMove(BotGreedy, &bot, &move)) {
        Drag(move, false);
        MoveTo(PlayLayout.CentreX + 3 * Display.TileSize, Display.BoardTop + 2 * Display.TileSize);
        Save("10_play_carrying");
        Press(false);
    }
    TapKey(KEY_ESCAPE);
    HoverButton(StateInGameMenu, 1);
    Save("11_ingame_menu");
    ClickButton(StateInGameMenu, 3);
    Save("12_ingame_quit");
    ClickButton(StateInGameQuit, 2);
    ClickButton(StateInGameMenu, 1);
    PlayToTheEnd(&bot);
    Save(GameVars.Score > 0 ? "13_game_over_new_best" : "13_game_over");
    ClickButton(StateGameOver, 1);
    PlayToTheEnd(&bot);
    Save("14_game_over_second");
    PfShutdown();
    return 0;
}
