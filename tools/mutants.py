#!/usr/bin/env python3
"""mutants.py: plants single-line faults in the game's screen wiring and in its
input, signal, sound-device and display-change handling, one at a time, and
counts how many of them the test suite catches.

For every entry of MUTANTS the script replaces one exact source line (matched
after its indentation) with a faulty one, builds the test programs in a build
folder of its own, runs them without the slow soak tests (and, for a fault in
the platform layer, its own tests too), and puts the line back. A faulty build that does not compile counts as neither caught nor missed.
The source is restored whatever happens (an error, Ctrl-C, a kill).

    nice -n 15 tools/mutants.py                 # every mutant
    nice -n 15 tools/mutants.py --only 3 7 12   # some of them
    tools/mutants.py --check                    # every line is found exactly once

Results go to the terminal and to build-mutants/mutants.txt.
"""
import argparse
import atexit
import os
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("MUTANTS_BUILD", os.path.join(ROOT, "build-mutants"))
SHARDS = 4  # the game tests mostly wait on their start-up; four processes share the time
# The game-test suites run for a fault in each part of the code: those that drive
# that part. Left out: the slow soak tests, and the suites of other parts (file
# formats, assets, layout figures, the log ...), to keep a run within minutes on a
# shared machine. Leaving suites out can only count fewer catches, alike before and
# after new checks are added.
AREA_SUITES = [
    ("src/app/transitions.cpp", ["Transitions", "MenuScreens", "Settings", "Shell", "MusicRoad"]),
    ("src/app/main_loop.cpp", ["PlayInput", "PlayScreen", "MainLoop", "Keys", "Shell"]),
    ("src/menus/", ["Transitions", "MenuScreens", "Settings", "Shell", "DisplayRebuildTest"]),
    ("src/play/", ["PlayInput", "PlayScreen", "Transitions", "MenuScreens"]),
    ("src/audio/", ["GameAudio", "MusicRoad", "Settings", "Transitions"]),
    ("src/data/", ["LanguagePack", "UserLanguage", "LanguageStartUp", "Settings"]),
    ("src/board/", ["PlayInput"]),
    ("src/app/desktop_session.cpp", ["Shell", "MainLoop", "QuitSignals"]),
    ("src/platform/", ["KeyboardPlay", "KeyboardMenus", "GamepadGame", "Keys", "MainLoop", "QuitSignals", "Shell"]),
]


def game_filter(path):
    for prefix, suites in AREA_SUITES:
        if path.startswith(prefix):
            return ":".join(s + ".*" for s in suites)
    return "-Soak*"
# The generated data files are linked from here (another checkout's build may be named).
DATA_FROM = os.environ.get("MUTANTS_DATA", os.path.join(ROOT, "build", "bin"))
TEST_TIMEOUT = 900

# (file, the exact line as it stands, the faulty line, what the fault is)
MUTANTS = [
    # -- which sound a click plays
    ("src/app/transitions.cpp", "PlayEffect(SndClick);  // every accepted click sounds before its action",
     "PlayEffect(SndPlaced);",
     "menu clicks play the placement sound"),
    ("src/app/transitions.cpp", "if (screen.count == 0 || *screen.hover == 0) {", "if (screen.count == 0) {",
     "a click on no button still clicks"),
    ("src/play/play_game.cpp", "PlayEffect(SndClick);", "PlayEffect(SndRefused);",
     "the status bar's menu button plays the refusal sound"),
    ("src/audio/audio.cpp", "if (App.Settings.Sounds != 1) {", "if (App.Settings.Music != 1) {",
     "effects follow the music switch"),
    # -- which label sits on which button, where the rows lie
    ("src/menus/menu_builders.cpp", '{"tMenuSETTINGS", 23, 620}, {"tMenuHELP", 25, 780},',
     '{"tMenuHELP", 23, 620}, {"tMenuSETTINGS", 25, 780},', "main menu SETTINGS and HELP labels swapped"),
    ("src/menus/menu_builders.cpp", '{"tMenuCREDITS", 27, 940},  {"tMenuQUIT", 29, 1100}};',
     '{"tMenuCREDITS", 27, 940},  {"tMenuQUIT", 29, 1080}};', "main menu QUIT row too high"),
    ("src/menus/menu_builders.cpp", '{"tGamemodeBACK", 55, 840}};', '{"tGamemodeBACK", 55, 760}};',
     "game mode BACK one gap too high"),
    ("src/menus/menu_builders.cpp", '{"tBoardsizeLARGE", 45, 600},', '{"tBoardsizeMEDIUM", 45, 600},',
     "board size LARGE button labelled MEDIUM"),
    ("src/menus/menu_builders.cpp", '{"tInGameRESUME", 31, 360}, {"tInGameRESTART", 33, 520}, {"tInGameQUIT", 35, 680}};',
     '{"tInGameRESUME", 31, 360}, {"tInGameRESTART", 33, 520}, {"tInGameQUIT", 35, 640}};',
     "in-game QUIT row too high"),
    ("src/menus/menu_builders.cpp", 'constexpr ButtonRow GameOverRows[] = {{"tGameOverRETRY", 37, 680}, {"tGameOverMENU", 39, 840}};',
     'constexpr ButtonRow GameOverRows[] = {{"tGameOverRETRY", 37, 680}, {"tGameOverMENU", 39, 860}};',
     "game-over MENU row too low"),
    ("src/menus/menu_builders.cpp", "const int tNo = TextWidth(no);", "const int tNo = TextWidth(yes);",
     "NO measured with YES's width"),
    ("src/menus/menu_builders.cpp", "panel.y = Display.MenuCenterY - side / 2;",
     "panel.y = Display.ScreenHeight / 2 - side / 2;", "menu popups centred on the screen, not below the logo"),
    ("src/menus/settings_panel.cpp", "constexpr int RowTops[8] = {0, 280, 380, 480, 580, 680, 900, 900};",
     "constexpr int RowTops[8] = {0, 280, 380, 480, 580, 700, 900, 900};", "settings resolution row too low"),
    ("src/menus/settings_panel.cpp",
     'rows[7].hitX1 = panel.x + p * (ValueRight - TextWidth(Text("tSettingsCANCEL"))) / RowRefWidth;',
     'rows[7].hitX1 = panel.x + p * (ValueRight - TextWidth(Text("tSettingsOK"))) / RowRefWidth;',
     "CANCEL measured with OK's width"),
    # -- what is reset on entering a screen
    ("src/app/transitions.cpp", "EnterMenuScreen(StateBoardSize);", "App.ScreenState = StateBoardSize;",
     "board size entered with its old hover"),
    ("src/app/transitions.cpp", "case StateCredits: EnterMenuScreen(StateMainMenu); break;",
     "case StateCredits: App.ScreenState = StateMainMenu; break;", "back from help or credits with the old hover"),
    ("src/menus/menu_buttons.cpp", "void ResetInGameQuitHover(int n) { SetButtonImages(Menus.InGameQuit, 2, QuitImages, n); }",
     "void ResetInGameQuitHover(int n) { SetButtonImages(Menus.Quit, 2, QuitImages, n); }",
     "in-game quit hover setter works on the menu's quit buttons"),
    ("src/menus/menu_buttons.cpp", "constexpr int GameModeImages[5] = {0, 49, 51, 53, 55};",
     "constexpr int GameModeImages[5] = {0, 49, 51, 55, 53};", "game mode images of buttons 3 and 4 swapped"),
    ("src/menus/settings_panel.cpp", "Menus.SettingsHover = 0;\n    EnterMenuScreen(StateMainMenu);",
     None, "settings OK enters the main menu with its old hover"),
    # -- settings rows
    ("src/menus/settings_panel.cpp", "case ScreenFullscreen: return 67;", "case ScreenFullscreen: return 65;",
     "Fullscreen shows the WINDOWED row"),
    ("src/menus/settings_panel.cpp", "rows[3].image = p.Sounds == 1 ? 61 : 63;",
     "rows[3].image = p.Sounds == 1 ? 63 : 61;", "sound row shows the opposite value"),
    ("src/menus/settings_panel.cpp", "case 2: case 3: case 4: case 6: case 7: rows[n].image += 1; break;",
     "case 2: case 3: case 6: case 7: rows[n].image += 1; break;", "screen mode row never hovered"),
    ("src/menus/settings_panel.cpp", "p.Resolution = wrap(p.Resolution, count);",
     "p.Resolution = p.Resolution < count ? p.Resolution + step : 0;", "resolution steps past 8 before wrapping"),
    ("src/menus/settings_panel.cpp", "StopPlayingTracks();", "StopTrack(SndGameTrack);",
     "music OFF stops only the game track"),
    ("src/menus/settings_panel.cpp", "if (p.GameScreen != ScreenWindowed && haveResolution) {",
     "if (p.GameScreen == ScreenFullscreen && haveResolution) {", "resolution not greyed out in Borderless"),
    # -- the carried piece, the frame, the clear effect, full screen, the window
    ("src/play/play_draw.cpp",
     "DrawSprite(Assets.Shape[Play.DragShape], PointerX() - Play.DragHalfWidth, PointerY() - Play.DragHalfHeight);",
     "DrawSprite(Assets.Shape[Play.DragShape], PointerX() - Play.DragHalfHeight, PointerY() - Play.DragHalfWidth);",
     "carried piece centred with its halves swapped"),
    ("src/play/play_game.cpp", "Play.DragHalfWidth = SpriteWidth(Assets.Shape[shape]) / 2;",
     "Play.DragHalfWidth = SpriteHeight(Assets.Shape[shape]) / 2;", "half width taken from the height"),
    ("src/play/play_draw.cpp", "f.TopRight = {left + (columns - 1) * t, top - t};",
     "f.TopRight = {left + columns * t, top - t};", "top-right ornament one tile too far right"),
    ("src/play/play_draw.cpp", "f.BottomLeft = {left - t, top + 7 * t};", "f.BottomLeft = {left - t, top + 8 * t};",
     "bottom-left ornament one tile too low"),
    ("src/play/play_draw.cpp", "f.RightEdge = {left + width, top};", "f.RightEdge = {left + width - t, top};",
     "right edge over the last column"),
    ("src/play/play_draw.cpp", "DrawAt(ImgDecorBottomRight, f.BottomRight);",
     "DrawAt(ImgDecorBottomLeft, f.BottomRight);", "bottom-right corner drawn with the bottom-left ornament"),
    ("src/play/play_game.cpp",
     "if (App.ScreenState != StatePlaying || !GameVars.GameRunning || !Effects.EffectActive) {",
     "if (!GameVars.GameRunning || !Effects.EffectActive) {", "clear effect runs on under the in-game menu"),
    ("src/play/play_game.cpp",
     "if (Play.Dragging || Tray.Slots[k].piece <= 0 || !PointInRect(PlayLayout.TrayRect[k], x, y)) continue;",
     "if (Tray.Slots[k].piece <= 0 || !PointInRect(PlayLayout.TrayRect[k], x, y)) continue;",
     "a held button sweeping over the tray takes a second piece"),
    ("src/app/main_loop.cpp", "if (App.ScreenState >= StateMainMenu && !Pointer.Hidden) {",
     "if (App.ScreenState >= StateMainMenu && App.ScreenState < StatePlaying && !Pointer.Hidden) {",
     "no pointer image over the play screen in full screen"),
    ("src/play/play_game.cpp", "if (!GameOnScreen() || !Play.Dragging) return;",
     "if (!GameOnScreen() || !Play.Dragging || PointerX() < 0) return;",
     "a release outside the window keeps the piece on the pointer"),
    ("src/play/play_game.cpp", "Play.MenuButtonImage = over ? ImgMenuButtonHover : ImgMenuButton;",
     "Play.MenuButtonImage = over ? ImgMenuButton : ImgMenuButtonHover;", "menu button hover images swapped"),
    ("src/audio/audio.cpp", "StartTrack(TrackOfScreen());", "StartTrack(SndMenuTrack);",
     "M always starts the menu track"),
    # -- the snap lookup on a wide board
    ("src/board/board.cpp", "const BoardCell& cell = Board.Cells[8 * i + j];",
     "const BoardCell& cell = Board.Cells[8 * j + i];", "snap lookup with row and column interchanged"),
    # -- the language file, the locale and a failed panel drawing, as they were
    ("src/data/text_table.cpp", "SetText(key, value);", "if (Text(key).empty()) SetText(key, value);",
     "a repeated key keeps its first value"),
    ("src/data/text_table.cpp", 'locale = "en-GB";', 'return "";', "no locale gives empty parts"),
    ("src/menus/menu_builders.cpp", "const int width = drawn ? side : 0;",
     "const int width = drawn || side > 0 ? side : 0;",
     "a popup that could not be drawn keeps full-size buttons"),
    # -- keys, controllers, signals, sound devices and display changes
    ("src/platform/pf_input.cpp", "if (PfInput.keyDown[key] && !down && released < kMostPending) ++released;",
     "if (!down && released < kMostPending) ++released;", "a key let go that was never down is released"),
    ("src/platform/pf_input.cpp", "case SDL_SCANCODE_BACKSPACE: return KEY_BACKSPACE;",
     "case SDL_SCANCODE_BACKSPACE: return KEY_ESCAPE;", "Backspace read as Escape"),
    ("src/platform/pf_input.cpp",
     "if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return KEY_1 + (code - SDL_SCANCODE_1);",
     "if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return KEY_1 + (code - SDL_SCANCODE_1) + 1;",
     "each digit key read as the next one"),
    ("src/platform/pf_input.cpp", "PfInput.keySnapshotPressed[k] = pressed > 0;",
     "PfInput.keySnapshotPressed[k] = PfInput.keyDown[k];", "a held key is pressed anew every frame"),
    ("src/platform/pf_gamepad.cpp", "case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return KEY_GAMEPAD_LEFT_SHOULDER;",
     "case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return KEY_GAMEPAD_RIGHT_SHOULDER;", "left shoulder read as the right"),
    ("src/platform/pf_gamepad.cpp", "bool Holds(int slot) const { return button[slot] || stick[slot]; }",
     "bool Holds(int slot) const { return button[slot]; }", "the left stick holds no direction"),
    ("src/platform/pf_signals.cpp", "for (int signal : QuitSignals) SetAction(signal, NoteQuitSignal, SA_RESETHAND);",
     "for (int signal : QuitSignals) SetAction(signal, NoteQuitSignal, 0);",
     "a second signal before the loop looks is only noted"),
    ("src/platform/pf_devices.cpp", "if (!e.adevice.iscapture) PfAudioDeviceRemoved(e.adevice.which);",
     "PfAudioDeviceRemoved(e.adevice.which);", "a capture device's removal closes the output"),
    ("src/platform/pf_devices.cpp", "if (!e.adevice.iscapture) PfAudioDeviceAdded();",
     "PfAudioDeviceAdded();", "a capture device added opens the output"),
    ("src/app/desktop_session.cpp",
     "if (change == PF_DISPLAY_DESKTOP_CHANGED && width == Display.DesktopWidth && height == Display.DesktopHeight) {",
     "if (width == Display.DesktopWidth && height == Display.DesktopHeight) {",
     "a display gone is not followed when the desktop kept its size"),
]

# The two-line mutant above: settings OK leaves SettingsHover and skips the main menu's hover reset.
MULTI = {
    "Menus.SettingsHover = 0;\n    EnterMenuScreen(StateMainMenu);":
        "Menus.SettingsHover = 0;\n    App.ScreenState = StateMainMenu;",
}

saved = {}  # path -> original text, while a mutant is planted


def restore():
    for path, text in list(saved.items()):
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        del saved[path]


def on_signal(signum, frame):
    restore()
    sys.exit(128 + signum)


def find_line(text, original):
    """Index of the one line whose text after indentation is `original`, or an error."""
    lines = text.split("\n")
    hits = [i for i, line in enumerate(lines) if line.strip() == original]
    if len(hits) != 1:
        return None, "found %d times" % len(hits)
    return hits[0], None


def mutate(text, original, faulty):
    if faulty is None:  # a fault spread over two lines of one statement pair
        if text.count(original) != 1:
            return None, "found %d times" % text.count(original)
        return text.replace(original, MULTI[original]), None
    index, error = find_line(text, original)
    if error:
        return None, error
    lines = text.split("\n")
    indent = lines[index][: len(lines[index]) - len(lines[index].lstrip())]
    lines[index] = indent + faulty
    return "\n".join(lines), None


def run(cmd, timeout=None, log=None):
    # As the test runner sets the audio; the compiler cache is bypassed, as it has
    # been seen to hand back the unchanged object for a planted fault.
    env = dict(os.environ, SDL_AUDIODRIVER="dummy", CCACHE_DISABLE="1")
    try:
        done = subprocess.run(cmd, cwd=ROOT, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout)
    except subprocess.TimeoutExpired:
        return None, "timeout"
    if log:
        with open(log, "wb") as f:
            f.write(done.stdout)
    return done.returncode, done.stdout.decode("utf-8", "replace")


def prepare_build():
    if not os.path.exists(os.path.join(BUILD, "CMakeCache.txt")):
        code, out = run(["cmake", "-S", ".", "-B", BUILD, "-DPRISMORIA_WERROR=ON",
                         "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"])
        if code != 0:
            sys.exit("configure failed:\n" + out)
    os.makedirs(os.path.join(BUILD, "bin"), exist_ok=True)
    # The tests read the generated data beside the programs; link it rather than generate it again.
    for name in ("Prismoria.data", "Prismoria.languages", "Prismoria.pointer"):
        target = os.path.join(BUILD, "bin", name)
        if not os.path.lexists(target) and os.path.exists(os.path.join(DATA_FROM, name)):
            os.symlink(os.path.join(DATA_FROM, name), target)


def build(log=None):
    return run(["cmake", "--build", BUILD, "-j2", "--target", "game_tests", "board_tests", "platform_tests"], log=log)


def run_tests(log, path):
    """0 passed, 1 failed (or timed out). The game tests run in shards side by side;
    the first shard that fails ends the others."""
    code, _ = run(["timeout", str(TEST_TIMEOUT), os.path.join(BUILD, "bin", "board_tests"), "--gtest_fail_fast",
                   "--gtest_brief=1"], timeout=TEST_TIMEOUT + 30, log=log + ".board_tests")
    if code != 0:
        return 1
    if path.startswith("src/platform/") or not path:
        code, _ = run(["timeout", str(TEST_TIMEOUT), os.path.join(BUILD, "bin", "platform_tests"), "--gtest_fail_fast",
                       "--gtest_brief=1"], timeout=TEST_TIMEOUT + 30, log=log + ".platform_tests")
        if code != 0:
            return 1
    env = dict(os.environ, SDL_AUDIODRIVER="dummy", GTEST_TOTAL_SHARDS=str(SHARDS))
    shards = []
    for i in range(SHARDS):
        out = open("%s.game_tests.%d" % (log, i), "wb")
        shards.append((subprocess.Popen([os.path.join(BUILD, "bin", "game_tests"), "--gtest_filter=" + game_filter(path),
                                          "--gtest_fail_fast", "--gtest_brief=1"], cwd=ROOT,
                                         env=dict(env, GTEST_SHARD_INDEX=str(i)), stdout=out,
                                         stderr=subprocess.STDOUT), out))
    started = time.time()
    failed = 0
    while any(p.poll() is None for p, _ in shards):
        if any(p.poll() not in (None, 0) for p, _ in shards) or time.time() - started > TEST_TIMEOUT:
            failed = 1
            break
        time.sleep(0.5)
    for p, out in shards:
        if p.poll() is None:
            p.kill()
            p.wait()
        out.close()
    return 1 if failed or any(p.returncode != 0 for p, _ in shards) else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only", type=int, nargs="*", help="numbers of the mutants to run (from 1)")
    parser.add_argument("--check", action="store_true", help="only check that every line is found once")
    parser.add_argument("--no-baseline", action="store_true", help="skip the run of the unchanged source")
    args = parser.parse_args()

    atexit.register(restore)
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, on_signal)

    chosen = args.only or list(range(1, len(MUTANTS) + 1))
    bad = 0
    for n in chosen:
        path, original, faulty, _ = MUTANTS[n - 1]
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            _, error = mutate(f.read(), original, faulty)
        if error:
            print("mutant %d: %s: %s" % (n, path, error))
            bad += 1
    if args.check or bad:
        print("%d mutants, %d not found exactly once" % (len(MUTANTS), bad))
        return 1 if bad else 0

    prepare_build()
    logs = os.path.join(BUILD, "mutant-logs")
    os.makedirs(logs, exist_ok=True)
    if not args.no_baseline:
        code, out = build()
        if code != 0:
            sys.exit("the unchanged source does not build:\n" + out[-3000:])
        if run_tests(os.path.join(logs, "baseline"), "") != 0:
            sys.exit("the unchanged source fails its tests: see " + logs)

    results = []
    for n in chosen:
        path, original, faulty, what = MUTANTS[n - 1]
        full = os.path.join(ROOT, path)
        with open(full, encoding="utf-8") as f:
            text = f.read()
        mutated, _ = mutate(text, original, faulty)
        started = time.time()
        saved[full] = text
        with open(full, "w", encoding="utf-8") as f:
            f.write(mutated)
        try:
            code, out = build(os.path.join(logs, "m%02d.build" % n))
            if code != 0:
                verdict = "no-build"
            else:
                verdict = "caught" if run_tests(os.path.join(logs, "m%02d" % n), path) else "MISSED"
        finally:
            restore()
        line = "%2d %-8s %-28s %s (%ds)" % (n, verdict, path.replace("src/", ""), what, time.time() - started)
        print(line, flush=True)
        results.append((n, verdict, line))
    build()  # leave the folder built from the restored source

    caught = sum(1 for r in results if r[1] == "caught")
    missed = sum(1 for r in results if r[1] == "MISSED")
    summary = "caught %d of %d (%d did not build)" % (caught, caught + missed, len(results) - caught - missed)
    print(summary)
    with open(os.path.join(BUILD, "mutants.txt"), "a") as f:
        f.write("\n".join(r[2] for r in results) + "\n" + summary + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
