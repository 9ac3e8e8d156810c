// pf_internal.h: what the platform layer's own files share with each other (never the game).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Each area frees its objects; PfShutdown calls them all.
void PfVideoShutdown();
void PfGamepadsShutdown();
void PfAudioShutdown();
void PfArchivesShutdown();
void PfKeyFilesShutdown();
void PfFilesShutdown();

// True when SDL should try its Wayland driver before X11: a Wayland display is
// named (WAYLAND_DISPLAY) and the user named no video driver (SDL_VIDEODRIVER).
bool PfPreferWayland(const char* userDriver, const char* waylandDisplay);

// One coordinate of a window measured in window coordinates, in the pixels of
// a drawable `pixelSize` wide where the window is `windowSize` wide (rounded down).
int PfWindowToPixels(int coordinate, int windowSize, int pixelSize);

// Sound output devices coming and going (pf_audio.cpp), from SDL's events.
void PfAudioDeviceRemoved(uint32_t device);
void PfAudioDeviceAdded();
// While the device is lost, tries it again when the last try is a few seconds
// old. Called where a frame has time to spare, so that no frame waits on it.
void PfRetryLostSoundDevice();

// Creates a new, empty file with a name of its own beside `path` (in the same
// folder, so it can be renamed over `path`), opened for writing; the file
// descriptor, or -1. `tempPath` receives its name.
int PfCreateFileBeside(const std::string& path, std::string& tempPath);

// Test hook: whether a sprite holds its stored pixels now, or gave them up
// (pf_sprite_store.cpp). False for a number without a sprite.
bool PfSpriteHoldsPixels(int number);
// SDL's blocks of 2 MB and more, mapped by the platform, not yet freed.
size_t PfLargeBlocksHeld();

// True for the renderer names of OpenGL implementations that rasterise on the CPU
// (Mesa's llvmpipe and softpipe, the classic software rasteriser).
bool PfIsSoftwareOpenGl(const char* rendererName);

// A rectangle in a sprite's pixels.
struct PfRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PfRect&) const = default;
};

// How much of a sprite covers what lies under it: the box around every pixel that
// is not fully clear, the largest fully opaque rectangle inside it (empty when
// there is none worth drawing apart) and whether every pixel is opaque.
struct PfSpriteCover {
    PfRect visible;
    PfRect core;
    bool opaque = false;
};

// Measures a sprite's pixels for drawing in parts; see PfSpriteCover. Opaque
// rectangles smaller than PF_MIN_COVER_CORE_PIXELS are not kept.
constexpr int64_t PF_MIN_COVER_CORE_PIXELS = 4096;
PfSpriteCover PfMeasureCover(const uint32_t* pixels, int width, int height);
// The visible box less the core, as at most four strips (the whole box without a core).
std::vector<PfRect> PfBlendedStrips(const PfSpriteCover& cover);
