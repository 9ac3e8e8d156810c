// assets.h: loading the data pack's typeface, sounds and images, and creating the fonts.
#pragma once

#include <string>

// Fixed object numbers of the images the game uses.
enum ImageNumber {
    ImgShadow = 1,
    ImgStudioLogo = 2,
    ImgGameLogo = 3,
    ImgPointer = 4,
    ImgPlayBackground = 5,
    ImgMainMenuPanel = 6,
    ImgMainMenuTemplate = 7,
    ImgSettingsPanel = 8,
    ImgSettingsTemplate = 9,
    ImgCreditsPanel = 10,
    ImgCreditsTemplate = 11,
    ImgHelpPanel = 12,
    ImgQuitPanel = 13,
    ImgQuitTemplate = 14,
    ImgInGameMenuPanel = 15,
    ImgGameOverPanel = 16,
    ImgBoardSizePanel = 17,
    ImgGameModePanel = 18,
    ImgMenuButtonTemplate = 83,
    ImgSettingsButtonTemplate = 84,
    ImgCreditsButtonTemplate = 85,
    ImgFrameLeft = 86,
    ImgFrameRight = 87,
    ImgFrameTop = 88,
    ImgFrameBottom = 89,
    ImgDecorTopLeft = 90,
    ImgDecorTopRight = 91,
    ImgDecorBottomLeft = 92,
    ImgDecorBottomRight = 93,
    ImgTrayTop = 94,
    ImgTrayRight = 95,
    ImgTrayLeft = 96,
    ImgEmptyTraySlot = 97,
    ImgModeBox = 98,
    ImgScoreBox = 99,
    ImgBestBox = 100,
    ImgMenuButtonTop = 101,
    ImgMenuButtonBottom = 102,
    ImgScoreBoxTop = 103,
    ImgScoreBoxBottom = 104,
    ImgModeBoxTop = 105,
    ImgModeBoxBottom = 106,
    ImgStatusLeftCap = 107,
    ImgStatusRightCap = 108,
    ImgMenuButton = 109,
    ImgMenuButtonHover = 110,
    // The play background with every edge that lies only over it, composed at each game start.
    ImgPlayBackdrop = 111
};

// Handles of the four image series, indexed by colour or shape number.
struct AssetImages {
    int Gem[12] = {};        // colour 0..11, 0 is the empty cell
    int GemEffect[12] = {};  // colour 1..11
    int Shape[12] = {};      // shape 1..11, the carried piece
    int TrayShape[12] = {};  // shape 1..11, the piece in a tray slot
};
extern AssetImages Assets;

constexpr int HudFont = 22;

void InstallTypeface();
void LoadSounds();
void LoadImages();
// Its two halves: the start-up shows the studio logo between them, so the player
// sees the game while the other images load.
void LoadStudioLogoImage();
void LoadImagesAfterLogo();
void CreateFonts();
// The images drawn by the game itself: the play background (5), the empty tray
// slot (97) and the three status-bar boxes (98 to 100). Part of LoadImages.
void CreateGeneratedImages();
// Logs the failure, closes the screen, shows the asset error and ends the process.
[[noreturn]] void AssetFailed(const std::string& label);
