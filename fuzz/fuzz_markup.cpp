// fuzz_markup.cpp: fuzzes the help-text markup renderer, drawing onto a panel-sized sprite with the game's typeface.
//
// The typeface is read once from a built data pack: $PRISMORIA_FUZZ_DATA_PACK
// when set, else the pack of the build this target was configured for.
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

// The help panel's artwork size and the help font's points; the text frame is the game's own.
constexpr int PanelWidth = 1272;
constexpr int PanelHeight = 1601;
constexpr int HelpPoints = 32;
const char* const TypefaceEntry = "TimeandSpace-Regular.ttf";

int Canvas = 0;

[[noreturn]] void SetUpFailed(const std::string& what) {
    std::fprintf(stderr, "fuzz_markup: %s\n", what.c_str());
    std::exit(1);
}

void InstallGameTypeface() {
    const char* fromEnvironment = std::getenv("PRISMORIA_FUZZ_DATA_PACK");
    const std::string path = fromEnvironment && *fromEnvironment ? fromEnvironment : PRISMORIA_FUZZ_DATA_PACK;
    const int pack = OpenDataPack(PF_ANY, path, PACK_NATIVE);
    if (pack == 0) SetUpFailed("cannot open the data pack " + path + " (build the game first)");
    int64_t size = -1;
    for (const PackEntryInfo& entry : ListPackEntries(pack)) {
        if (entry.name == TypefaceEntry) size = entry.size;
    }
    if (size <= 0) SetUpFailed(std::string("no ") + TypefaceEntry + " in " + path);
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size_t(size)]);
    if (ExtractPackEntry(pack, bytes.get(), size, TypefaceEntry) != size) SetUpFailed("damaged typeface");
    CloseDataPack(pack);
    if (!InstallFontBytes(bytes.get(), size_t(size))) SetUpFailed("typeface not installed");
    if (!LoadFontFace(HelpTextFont, "Time and Space", HelpPoints, FONT_HIGHQUALITY)) SetUpFailed("no font face");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Whatever the layer holds is freed at the end, so a leak check sees only real leaks.
    std::atexit(PfShutdown);
    PfSelectBackend(PF_BACKEND_HEADLESS);
    if (!InitSprite()) SetUpFailed("no headless video");
    InstallGameTypeface();
    Canvas = CreateSprite(PF_ANY, PanelWidth, PanelHeight, SPRITE_ALPHA);
    if (!Canvas) SetUpFailed("no canvas");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(StartDrawing(SpriteOutput(Canvas)) == 1);
    DrawingMode(DRAW_DEFAULT);
    UseFont(HelpTextFont);
    const int lastY = DrawMarkupText(HelpTextLeft, HelpTextTop, HelpTextRight, HelpLineHeight, text, TextColour, HoverTextColour);
    StopDrawing();
    // Lines only ever go down.
    FUZZ_CHECK(lastY >= HelpTextTop);
    return 0;
}
