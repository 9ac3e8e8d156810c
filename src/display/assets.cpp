// assets.cpp: the four loading phases that read the typeface, the sounds and the images from the data pack.
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "core/state.h"
#include "core/log.h"
#include "display/assets.h"
#include "display/display.h"
#include "platform/platform.h"

AssetImages Assets;

namespace {

// Working buffer sizes: one buffer per asset, freed as soon as it is decoded.
constexpr int64_t LargeAssetBuffer = 15728640;  // typeface, music, sound effects
constexpr int64_t LogoAssetBuffer = 4194304;    // studio logo variant
constexpr int64_t ImageAssetBuffer = 204800;    // every other image

const char* const TypefaceEntry = "TimeandSpace-Regular.ttf";

struct SoundEntry {
    int number;
    const char* entry;
};
const SoundEntry SoundCatalogue[] = {
    {0, "music1.ogg"},
    {1, "music2.ogg"},
    {4, "chime_bell_positive_ring_01.ogg"},
    {2, "collect_item_hurry_out_of_time_01.ogg"},
    {5, "game_over_dark_bell_chime_01.ogg"},
    {7, "points_ticker_bonus_score_reward_single_05.ogg"},
    {3, "coin_ring_gemstone_item_02.ogg"},
    {6, "ui_menu_popup_01.ogg"},
};

// A single image and the independent copies made of it before it is ever scaled.
struct CatalogueImage {
    int number;
    const char* entry;
    int copies[5];
};
const CatalogueImage ImagesBeforeSeries[] = {
    {ImgShadow, "shadow.png", {}},
    {ImgPointer, "pointer.png", {}},
    {ImgGameLogo, "logo.png", {}},
    {ImgCreditsTemplate, "credits.png", {ImgCreditsPanel, ImgHelpPanel}},
    {ImgQuitTemplate,
     "quit.png",
     {ImgQuitPanel, ImgGameOverPanel, ImgInGameMenuPanel, ImgBoardSizePanel, ImgGameModePanel}},
    {ImgMainMenuTemplate, "mainmenu.png", {ImgMainMenuPanel}},
    {ImgSettingsTemplate, "settings.png", {ImgSettingsPanel}},
};
const CatalogueImage ImagesAfterSeries[] = {
    {ImgMenuButtonTemplate, "menu_template.png", {}},
    {ImgSettingsButtonTemplate, "settings_template.png", {}},
    {ImgCreditsButtonTemplate, "credits_template.png", {}},
    {ImgFrameLeft, "frame_left.png", {ImgTrayRight}},
    {ImgFrameRight, "frame_right.png", {ImgTrayLeft}},
    {ImgFrameTop, "frame_top.png", {ImgTrayTop, ImgMenuButtonTop, ImgScoreBoxTop, ImgModeBoxTop}},
    {ImgFrameBottom, "frame_bottom.png", {ImgMenuButtonBottom, ImgScoreBoxBottom, ImgModeBoxBottom}},
    {ImgDecorTopLeft, "decor_top_left.png", {}},
    {ImgDecorTopRight, "decor_top_right.png", {}},
    {ImgDecorBottomLeft, "decor_bottom_left.png", {}},
    {ImgDecorBottomRight, "decor_bottom_right.png", {}},
    {ImgStatusLeftCap, "gui_complex_left.png", {}},
    {ImgStatusRightCap, "gui_complex_right.png", {}},
    {ImgMenuButton, "gui_quit.png", {}},
    {ImgMenuButtonHover, "gui_quit_active.png", {}},
};

// Piece image sizes in tiles, by shape number 1..11.
const int ShapeTilesWide[12] = {0, 1, 2, 3, 3, 1, 3, 2, 1, 2, 3, 3};
const int ShapeTilesHigh[12] = {0, 1, 1, 2, 3, 4, 2, 2, 3, 2, 2, 3};

// Fonts 0..20: point size and weight; all of the family "Time and Space".
struct FontEntry {
    int points;
    bool bold;
};
const FontEntry PanelFonts[21] = {
    {60, false}, {60, true},  {35, false}, {60, true},  {46, false}, {46, false}, {60, true},
    {46, false}, {60, true},  {60, false}, {32, false}, {60, true},  {46, false}, {60, false},
    {60, true},  {60, false}, {60, true},  {60, false}, {60, true},  {60, false}, {60, true},
};

std::unique_ptr<uint8_t[]> AllocateBuffer(int64_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size_t(size)]);
}

int OpenGamePack() { return OpenDataPack(PF_ANY, App.GameDir + "Prismoria.data", PACK_NATIVE); }

void LogLoaded(const std::string& label) { LogValue("Load asset (" + label + "):", "OK"); }

// Gives up the load: the pack is closed first so nothing of it stays open.
[[noreturn]] void FailLoad(int pack, const std::string& label) {
    if (pack != 0) CloseDataPack(pack);
    AssetFailed(label);
}

// Extracts one entry into a fresh buffer and returns it with its length; an
// entry that is missing, damaged or larger than the buffer gives length 0.
struct Extracted {
    std::unique_ptr<uint8_t[]> bytes;
    int64_t length = 0;
    bool allocated = false;
};
Extracted ExtractEntry(int pack, const std::string& entry, int64_t bufferSize) {
    Extracted result;
    result.bytes = AllocateBuffer(bufferSize);
    if (!result.bytes) return result;
    result.allocated = true;
    int64_t written = ExtractPackEntry(pack, result.bytes.get(), bufferSize, entry);
    result.length = written > 0 ? written : 0;
    return result;
}

// Loads one PNG entry as a sprite under `number` (PF_ANY for a series image) and
// returns what LoadSpriteBytes answered; any failure ends the start-up with `label`.
int LoadSpriteEntry(int pack, int number, const std::string& entry, const std::string& label) {
    Extracted data = ExtractEntry(pack, entry, ImageAssetBuffer);
    if (data.length == 0) {
        data.bytes.reset();
        FailLoad(pack, label);
    }
    int result = LoadSpriteBytes(number, data.bytes.get(), size_t(data.length), SPRITE_ALPHA);
    data.bytes.reset();
    // An image that does not decode is a broken pack, not a success.
    if (result == 0) FailLoad(pack, label);
    LogLoaded(label);
    return result;
}

void LoadCatalogueImage(int pack, const CatalogueImage& image) {
    LoadSpriteEntry(pack, image.number, image.entry, image.entry);
    for (int copy : image.copies) {
        if (copy != 0) CopySprite(image.number, copy, SPRITE_ALPHA);
    }
}

// One series: entries prefix + two digits + ".png"; old handles are freed first
// so a display rebuild leaves no orphaned sprites behind.
void LoadSeries(int pack, const char* prefix, int first, int last, const char* label, int* handles) {
    for (int i = first; i <= last; i++) {
        if (handles[i] != 0 && IsSprite(handles[i])) FreeSprite(handles[i]);
        handles[i] = 0;
        char digits[3] = {char('0' + i / 10), char('0' + i % 10), 0};
        std::string entry = std::string(prefix) + digits + ".png";
        handles[i] = LoadSpriteEntry(pack, PF_ANY, entry, label);
    }
}

// The studio logo of the aspect class as image 2, shown at the screen width with
// its height in proportion. It keeps only its file: the picture is resized band
// by band on its way to the screen, never held whole at a 4K screen's size.
void LoadStudioLogo(int pack) {
    std::unique_ptr<uint8_t[]> buffer = AllocateBuffer(LogoAssetBuffer);
    if (!buffer) FailLoad(pack, "memory - brk");
    WriteLogLine("AspectRatio:  " + AspectClassName(Display.AspectClass));
    const std::string entry = AspectLogoEntry(Display.AspectClass);
    int64_t length = ExtractPackEntry(pack, buffer.get(), LogoAssetBuffer, entry);
    if (length <= 0) {
        buffer.reset();
        FailLoad(pack, entry);
    }
    const bool loaded = LoadSpriteBytes(ImgStudioLogo, buffer.get(), size_t(length), 0) != 0;
    buffer.reset();
    if (!loaded) FailLoad(pack, "image - brk");

    const int width = Display.ScreenWidth;
    const int storedWidth = SpriteStoredWidth(ImgStudioLogo);
    int height = SpriteStoredHeight(ImgStudioLogo);
    if (storedWidth != width && storedWidth > 0) {
        height = int(std::lround(double(height) / double(storedWidth) * double(width)));
    }
    ScaleSprite(ImgStudioLogo, width, height);
    LogLoaded("brk");
}

// Display sizes of the catalogue images that are not drawn at their stored size.
void ScaleCatalogueImages() {
    const int w = Display.ScreenWidth;
    const int h = Display.ScreenHeight;
    const int t = Display.TileSize;
    const int half = t / 2;
    const int cell = Display.TrayCell;     // 1.5 T
    const int wide = 2 * t + half;         // 2.5 T

    ScaleSprite(ImgShadow, w, h);
    const int logoW = SpriteStoredWidth(ImgGameLogo);
    const int logoH = SpriteStoredHeight(ImgGameLogo);
    if (logoW > 0) {
        ScaleSprite(ImgGameLogo, (w / 100) * 50,
                    int(std::lround(double(logoH) / double(logoW) * double(w) / 100.0 * 50.0)));
    }
    ScaleSprite(ImgTrayRight, t, cell);
    ScaleSprite(ImgTrayLeft, t, cell);
    ScaleSprite(ImgTrayTop, 3 * cell, t);
    ScaleSprite(ImgMenuButtonTop, half, half);
    ScaleSprite(ImgMenuButtonBottom, half, half);
    ScaleSprite(ImgScoreBoxTop, cell, half);
    ScaleSprite(ImgScoreBoxBottom, cell, half);
    ScaleSprite(ImgModeBoxTop, wide, half);
    ScaleSprite(ImgModeBoxBottom, wide, half);
    for (int n = ImgDecorTopLeft; n <= ImgDecorBottomRight; n++) ScaleSprite(n, 2 * t, 2 * t);
    ScaleSprite(ImgStatusLeftCap, t, cell);
    ScaleSprite(ImgStatusRightCap, t, cell);
    ScaleSprite(ImgMenuButton, half - 2, half - 2);
    ScaleSprite(ImgMenuButtonHover, half - 2, half - 2);

    for (int i = 0; i <= 11; i++) ScaleSprite(Assets.Gem[i], t, t);
    for (int i = 1; i <= 11; i++) {
        ScaleSprite(Assets.GemEffect[i], t, t);
        ScaleSprite(Assets.Shape[i], ShapeTilesWide[i] * t, ShapeTilesHigh[i] * t);
        ScaleSprite(Assets.TrayShape[i], cell, cell);
    }
}

}  // namespace

void InstallTypeface() {
    int pack = OpenGamePack();
    if (pack == 0) AssetFailed("font");
    Extracted data = ExtractEntry(pack, TypefaceEntry, LargeAssetBuffer);
    // The bytes are registered straight from memory: never written to a shared
    // temporary file that another user could have replaced with a link.
    bool installed = data.length > 0 && InstallFontBytes(data.bytes.get(), size_t(data.length)) != 0;
    data.bytes.reset();
    if (!installed) FailLoad(pack, "font");
    LogLoaded(TypefaceEntry);
    CloseDataPack(pack);
}

void LoadSounds() {
    int pack = OpenGamePack();
    if (pack == 0) AssetFailed("music and sfx");
    for (const SoundEntry& sound : SoundCatalogue) {
        Extracted data = ExtractEntry(pack, sound.entry, LargeAssetBuffer);
        bool loaded = data.length > 0 && LoadSoundBytes(sound.number, data.bytes.get(), size_t(data.length)) != 0;
        data.bytes.reset();
        if (!loaded) FailLoad(pack, sound.entry);
        LogLoaded(sound.entry);
    }
    CloseDataPack(pack);
}

namespace {

int OpenImagesPack() {
    int pack = OpenGamePack();
    if (pack == 0) AssetFailed("");
    return pack;
}

void LoadImagesAfterLogoFrom(int pack) {
    for (const CatalogueImage& image : ImagesBeforeSeries) LoadCatalogueImage(pack, image);
    LoadSeries(pack, "s", 0, 11, "gems", Assets.Gem);
    LoadSeries(pack, "", 1, 11, "gems fx", Assets.GemEffect);
    LoadSeries(pack, "shape", 1, 11, "temps", Assets.Shape);
    LoadSeries(pack, "gui_shape ", 1, 11, "temps", Assets.TrayShape);
    for (const CatalogueImage& image : ImagesAfterSeries) LoadCatalogueImage(pack, image);
    ScaleCatalogueImages();
    CreateGeneratedImages();
}

}  // namespace

// A display rebuild loads every image at once, from one opening of the pack.
void LoadImages() {
    int pack = OpenImagesPack();
    LoadStudioLogo(pack);
    LoadImagesAfterLogoFrom(pack);
    CloseDataPack(pack);
}

void LoadStudioLogoImage() {
    int pack = OpenImagesPack();
    LoadStudioLogo(pack);
    CloseDataPack(pack);
}

void LoadImagesAfterLogo() {
    int pack = OpenImagesPack();
    LoadImagesAfterLogoFrom(pack);
    CloseDataPack(pack);
}

void CreateFonts() {
    for (int i = 0; i < 21; i++) {
        int style = FONT_HIGHQUALITY | (PanelFonts[i].bold ? FONT_BOLD : 0);
        LoadFontFace(i, "Time and Space", PanelFonts[i].points, style);
    }
    LoadFontFace(HudFont, "Time And Space", Display.TileSize / 4, FONT_HIGHQUALITY);
}

void AssetFailed(const std::string& label) {
    LogValue("Load asset (" + label + "):", "FAILED");
    CloseGameSurface();
    FatalError("tErrorASSET");
}
