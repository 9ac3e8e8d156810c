// acceptance_test.cpp: the real game on an X server, driven by real pointer and key events from start to close.
//
// One run as a player makes it: "/LOG", the intro, START, EASY, SMALL, a piece
// dragged onto the board and seen in an F2 screenshot, the in-game menu and its
// quit question, a game played to its end, a NORMAL game on SMALL played to its
// end by keys alone, the settings changing the language and the screen mode, and
// the window closed. Then the files the run left behind.
// The points clicked are worked out from the layout of a 1280x720 window.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (None, Status, ...) would clash with names in the headers above.
#include <X11/Xlib.h>

namespace fs = std::filesystem;

namespace {

// 1280x720 (T = 64): the main menu's buttons, the popups' rows, the tray, the
// board (SMALL: left 384, top 64) and the status bar's menu button.
constexpr int CentreX = 640;
constexpr int MainStartY = 324, MainSettingsY = 427;
constexpr int PopupFirstRowY = 368, PopupSecondRowY = 417;  // EASY, SMALL; NORMAL, MEDIUM
constexpr int InGameQuitY = 412, InGameNoX = 755, InGameNoY = 467;
constexpr int GameOverMenuY = 461;
constexpr int SettingsLanguageY = 352, SettingsScreenModeY = 457, SettingsOkX = 470, SettingsOkY = 569;
constexpr int TrayY = 672, TraySlotX[3] = {544, 640, 736};
constexpr int BoardLeft = 384, BoardTop = 64, Tile = 64;
constexpr int MenuButtonX = 145, MenuButtonY = 673;

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, p)) out += buffer;
        pclose(p);
    }
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A 24-bit bottom-up Windows bitmap as the game writes it: rows of RGB.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return rgb.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
};

Picture ReadBmp(const std::string& path) {
    Picture p;
    const std::string b = ReadFile(path);
    auto le = [&](size_t at) { return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
                                      uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24; };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return p;
    p.width = int(le(18));
    p.height = int(le(22));
    const size_t rowBytes = (size_t(p.width) * 3 + 3) & ~size_t(3);
    const size_t data = le(10);
    if (b.size() < data + rowBytes * size_t(p.height)) return Picture{};
    p.rgb.resize(size_t(p.width) * size_t(p.height) * 3);
    for (int y = 0; y < p.height; ++y) {
        const char* row = b.data() + data + rowBytes * size_t(p.height - 1 - y);
        for (int x = 0; x < p.width; ++x) {
            uint8_t* to = p.rgb.data() + (size_t(y) * size_t(p.width) + size_t(x)) * 3;
            to[0] = uint8_t(row[x * 3 + 2]);
            to[1] = uint8_t(row[x * 3 + 1]);
            to[2] = uint8_t(row[x * 3]);
        }
    }
    return p;
}

// Pixels of a rectangle that differ clearly between two pictures.
int Differing(const Picture& a, const Picture& b, int x1, int y1, int x2, int y2) {
    int count = 0;
    for (int y = y1; y < y2; ++y) {
        for (int x = x1; x < x2; ++x) {
            const uint8_t* p = a.At(x, y);
            const uint8_t* q = b.At(x, y);
            count += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 60;
        }
    }
    return count;
}

double MeanBrightness(const Picture& p) {
    double sum = 0;
    for (uint8_t v : p.rgb) sum += v;
    return p.rgb.empty() ? 0 : sum / double(p.rgb.size());
}

class Acceptance : public testing::Test {
protected:
    std::string work;
    pid_t game = 0;
    std::string window;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        const fs::path bin = PRISMORIA_BIN_DIR;
        if (!fs::exists(bin / "Prismoria.data")) GTEST_SKIP() << "the game has not been built";
        work = std::string(PRISMORIA_TEST_TMP) + "/acceptance/";
        fs::remove_all(work);
        fs::create_directories(work + "home");
        // A copy of the program with its data linked beside it and preferences
        // beside it too: the run keeps everything it writes in this folder.
        fs::copy_file(bin / "prismoria", work + "prismoria");
        for (const char* name : {"Prismoria.data", "Prismoria.languages", "Prismoria.pointer"}) {
            fs::create_symlink(bin / name, work + name);
        }
        std::ofstream(work + "Prismoria.prefs", std::ios::binary)
            << "\xEF\xBB\xBF\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\nGameScreen = 1\r\nResolution = 1\r\n"
               "Sounds = 1\r\nMusicVolume = 100\r\n";
    }

    void TearDown() override {
        if (game > 0) {
            kill(game, SIGKILL);
            waitpid(game, nullptr, 0);
        }
    }

    void Launch() {
        game = fork();
        if (game == 0) {
            if (chdir(work.c_str()) != 0) _exit(127);
            setenv("HOME", (work + "home").c_str(), 1);
            setenv("XDG_DATA_HOME", (work + "home/data").c_str(), 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            // The software renderer loads no OpenGL driver, whose allocations no
            // leak checker could name: the sanitizer build checks the whole run.
            setenv("SDL_RENDER_DRIVER", "software", 1);
            execl("./prismoria", "prismoria", "/LOG", static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    bool Running() { return game > 0 && waitpid(game, nullptr, WNOHANG) == 0; }

    std::string LogPath() {
        for (const auto& e : fs::directory_iterator(work)) {
            if (e.path().filename().string().rfind("Log ", 0) == 0) return e.path().string();
        }
        return "";
    }

    // Waits up to `seconds` for the condition, checking ten times a second.
    template <typename F>
    bool WaitFor(F condition, int seconds) {
        for (int i = 0; i < seconds * 10; ++i) {
            if (condition()) return true;
            Pause(100);
        }
        return condition();
    }

    std::string Geometry() {
        const std::string out = Output("xdotool getwindowgeometry " + window + " 2>/dev/null");
        const size_t at = out.find("Geometry: ");
        return at == std::string::npos ? "" : out.substr(at + 10, out.find('\n', at) - at - 10);
    }

    void FindWindow() {
        window.clear();
        WaitFor([&] {
            std::string ids = Output("xdotool search --pid " + std::to_string(game) + " 2>/dev/null");
            if (!ids.empty()) window = ids.substr(0, ids.find('\n'));
            return !window.empty();
        }, 20);
    }

    void Xdotool(const std::string& args) {
        const std::string command = "xdotool " + args + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }

    void Click(int x, int y) {
        Xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                " sleep 0.15 click 1 sleep 0.35");
    }

    void Drag(int fromX, int fromY, int toX, int toY) {
        Xdotool("mousemove --window " + window + " " + std::to_string(fromX) + " " + std::to_string(fromY) +
                " sleep 0.04 mousedown 1 sleep 0.04 mousemove --window " + window + " " + std::to_string(toX) +
                " " + std::to_string(toY) + " sleep 0.04 mouseup 1 sleep 0.04");
    }

    void Key(const std::string& key) { Xdotool("windowfocus --sync " + window + " key " + key + " sleep 0.2"); }

    // F2, then the screenshot it wrote; shots are named to the second, so the
    // next one waits for a new second.
    Picture Screenshot() {
        std::vector<std::string> before;
        for (const auto& e : fs::directory_iterator(work)) before.push_back(e.path().string());
        Key("F2");
        std::string shot;
        WaitFor([&] {
            for (const auto& e : fs::directory_iterator(work)) {
                const std::string name = e.path().string();
                if (e.path().extension() == ".bmp" &&
                    std::find(before.begin(), before.end(), name) == before.end()) {
                    shot = name;
                }
            }
            return !shot.empty();
        }, 10);
        Pause(1100);
        EXPECT_FALSE(shot.empty()) << "F2 wrote no screenshot";
        return shot.empty() ? Picture{} : ReadBmp(shot);
    }

    // Asks the window to close, as a window manager's close button does.
    void CloseWindow() {
        Display* display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        const Window target = Window(std::strtoul(window.c_str(), nullptr, 10));
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, target, False, NoEventMask, &event);
        XFlush(display);
        XCloseDisplay(display);
    }
};

TEST_F(Acceptance, APlayerStartsPlaysChangesSettingsAndClosesTheWindow) {
    Launch();
    ASSERT_TRUE(WaitFor([&] { return !LogPath().empty() && ReadFile(LogPath()).find("TileSize: ") != std::string::npos; },
                        60))
        << "start-up did not finish";
    FindWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(Geometry(), "1280x720");
    Pause(9000);  // the studio logo, the title and the logo's slide, with room for a loaded machine

    Click(CentreX, MainStartY);        // START
    Click(CentreX, PopupFirstRowY);    // EASY
    Click(CentreX, PopupFirstRowY);    // SMALL
    const Picture empty = Screenshot();
    ASSERT_EQ(empty.width, 1280);
    // Any piece's top-left corner lands in a cell's zone from here (see the layout).
    Drag(TraySlotX[1], TrayY, BoardLeft + 4 * Tile + 56, BoardTop + 4 * Tile + 56);
    const Picture placed = Screenshot();
    ASSERT_EQ(placed.width, 1280);
    // A quarter of one cell: the tray is random, and a one-cell piece of some gem
    // colours differs from the empty cell in fewer than half of its pixels.
    EXPECT_GT(Differing(empty, placed, BoardLeft, BoardTop, BoardLeft + 8 * Tile, BoardTop + 8 * Tile), Tile * Tile / 4)
        << "no piece appeared on the board";

    Click(MenuButtonX, MenuButtonY);   // the in-game menu over the darkened game
    const Picture paused = Screenshot();
    EXPECT_LT(MeanBrightness(paused), 0.8 * MeanBrightness(placed));
    Click(CentreX, InGameQuitY);       // QUIT asks first
    const Picture question = Screenshot();
    EXPECT_GT(Differing(paused, question, 469, 189, 812, 532), 500) << "no quit question";
    Click(InGameNoX, InGameNoY);       // NO
    Key("Escape");                     // back to the game

    // Every slot at every point of the board, until no piece fits: the first
    // finished game is a new best, whose scores file appears at once.
    const std::string scores = work + "Prismoria.scores";
    for (int sweep = 0; sweep < 12 && !fs::exists(scores); ++sweep) {
        for (int slot = 0; slot < 3 && !fs::exists(scores); ++slot) {
            for (int cell = 0; cell < 64 && !fs::exists(scores); ++cell) {
                Drag(TraySlotX[slot], TrayY, BoardLeft + (cell % 8) * Tile + 56, BoardTop + (cell / 8) * Tile + 56);
            }
        }
    }
    ASSERT_TRUE(fs::exists(scores)) << "the game did not end";
    Pause(500);
    const Picture over = Screenshot();
    EXPECT_LT(MeanBrightness(over), 0.8 * MeanBrightness(placed)) << "no game-over panel";
    Click(CentreX, GameOverMenuY);     // MENU

    // A game by keys alone. Each try takes a slot's piece (it starts at the board's
    // centre), steps it by an offset and presses Return; a refused piece stays
    // carried until the next try's number, always another slot's, swaps it. The
    // offsets cover every origin, the even ones first: pieces spread out and the
    // game ends sooner. The pointer rests where the last click left it. A game
    // can end when a clearing's fade does, after the next try has begun: Return
    // waits for a look at the scores file, so that it never clicks a game-over
    // button the arrows may have highlighted.
    Click(CentreX, MainStartY);        // START
    Click(CentreX, PopupSecondRowY);   // NORMAL
    Click(CentreX, PopupFirstRowY);    // SMALL
    const Picture fresh = Screenshot();
    ASSERT_EQ(fresh.width, 1280);
    ASSERT_LT(Differing(empty, fresh, BoardLeft, BoardTop, BoardLeft + 8 * Tile, BoardTop + 8 * Tile), Tile * Tile / 4)
        << "the clicks from the game-over panel did not start a game on an empty board";
    const std::string pointer = Output("xdotool getmouselocation");
    const std::string scoresBefore = ReadFile(scores);
    std::vector<std::pair<int, int>> offsets;
    for (int dy = -3; dy <= 4; ++dy) {
        for (int dx = -3; dx <= 4; ++dx) offsets.push_back({dx, dy});
    }
    auto cost = [](const std::pair<int, int>& o) {
        return std::abs(o.first) + std::abs(o.second) + 100 * ((o.first & 1) | (o.second & 1));
    };
    std::stable_sort(offsets.begin(), offsets.end(), [&](auto& a, auto& b) { return cost(a) < cost(b); });
    Xdotool("windowfocus --sync " + window);
    int tries = 0;
    for (int sweep = 0; sweep < 8 && ReadFile(scores) == scoresBefore; ++sweep) {
        for (size_t o = 0; o < offsets.size() && ReadFile(scores) == scoresBefore; ++o) {
            for (int slot = 0; slot < 3 && ReadFile(scores) == scoresBefore; ++slot) {
                std::string keys = std::to_string(slot + 1);
                for (int i = 0; i < std::abs(offsets[o].first); ++i) keys += offsets[o].first < 0 ? " Left" : " Right";
                for (int i = 0; i < std::abs(offsets[o].second); ++i) keys += offsets[o].second < 0 ? " Up" : " Down";
                Xdotool("key --delay 25 " + keys);
                Pause(50);
                if (ReadFile(scores) != scoresBefore) break;
                Xdotool("key Return");
                ++tries;
            }
        }
    }
    ASSERT_NE(ReadFile(scores), scoresBefore) << "the game by keys did not end after " << tries << " tries";
    EXPECT_EQ(Output("xdotool getmouselocation"), pointer) << "the pointer moved";
    Pause(500);
    Key("Escape");                     // from the game-over panel to the main menu

    Click(CentreX, MainSettingsY);     // SETTINGS
    Click(CentreX, SettingsLanguageY); // the next language: English (US)
    Click(CentreX, SettingsScreenModeY);  // Windowed -> Borderless
    Click(SettingsOkX, SettingsOkY);   // OK reopens the screen
    ASSERT_TRUE(WaitFor([&] {
        FindWindow();
        return Geometry() == "1920x1080";
    }, 30)) << "no borderless window of the desktop's size";
    Pause(1000);
    CloseWindow();
    int status = 0;
    ASSERT_TRUE(WaitFor([&] { return waitpid(game, &status, WNOHANG) == game; }, 30)) << "closing did not end the game";
    game = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // The log: its report in order and the run's later events.
    const std::string log = ReadFile(LogPath());
    size_t at = 0;
    for (const char* part : {"Prismoria\r\n", "[SYSTEM DETAILS]\r\n", "[GAME DETAILS]\r\n", "[CODE SUBSYSTEMS]\r\n",
                             "[PATHS]\r\n", "[INITIAL SETTINGS]\r\n", "GameScreen:\t\tWindowed\r\n",
                             "[AVAILABLE LANGUAGES]\r\n", "[STARTING GAME]\r\n", "Opening screen (Windowed):\t\tOK\r\n",
                             "TileSize: \t\t64\r\n", "Saving screenshot:\t\tOK\r\n", "Sounds:\t\tON\r\n",
                             "Load language (en_US):\t\tOK\r\n", "Opening screen (Borderless):\t\tOK\r\n",
                             "Screenwidth:\t\t1920\r\n", "TileSize: \t\t96\r\n"}) {
        const size_t found = log.find(part, at);
        EXPECT_NE(found, std::string::npos) << "missing or out of order: " << part;
        if (found != std::string::npos) at = found + 1;
    }
    EXPECT_EQ(log.find("FAILED"), std::string::npos);
    // The preferences, exactly as written at the end.
    EXPECT_EQ(ReadFile(work + "Prismoria.prefs"),
              "\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_US\r\nMusic = 1\r\n"
              "GameScreen = 2\r\nResolution = 1\r\nSounds = 1\r\nMusicVolume = 100\r\n");
    // The scores: the finished EASY game on SMALL at offset 0, the NORMAL game on
    // SMALL played by keys at offset 12, nothing else.
    const std::string bytes = ReadFile(scores);
    ASSERT_EQ(bytes.size(), 36u);
    for (size_t offset : {0u, 12u}) {
        int32_t best = 0;
        std::memcpy(&best, bytes.data() + offset, 4);
        EXPECT_GE(best, 10) << "offset " << offset;
        EXPECT_EQ(best % 10, 0) << "offset " << offset;
    }
    EXPECT_EQ(bytes.substr(4, 8), std::string(8, '\0'));
    EXPECT_EQ(bytes.substr(16), std::string(20, '\0'));
    EXPECT_FALSE(fs::exists(work + "home/data")) << "portable use wrote into the user's folder";
}

}  // namespace
