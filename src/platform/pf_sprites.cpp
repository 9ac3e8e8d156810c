// pf_sprites.cpp: sprites — RGBA pixels resampled to their display size and uploaded when changed, held only while needed.
#include <algorithm>
#include <functional>
#include <memory>

#include "pf_video_internal.h"

static PfSprite* FindSprite(int number) { return PfTableGet(PfVideo.sprites, number); }

// ---------------------------------------------------------------------------
// Textures

static void DestroyTexture(PfSprite& sprite) {
    if (sprite.texture) {
        PfFlushScreen();  // queued copies may still read from it
        SDL_DestroyTexture(sprite.texture);
    }
    sprite.texture = nullptr;
    sprite.textureReadable = false;
    sprite.textureKey = PfShownKey();
}

void PfReleaseSpriteTexture(PfSprite& sprite) {
    if (PfSpriteNeedsTexture(sprite)) PfSpritePixels(sprite);
    DestroyTexture(sprite);
}

void PfReleaseAllTextures() {
    PfTableForEach(PfVideo.sprites, [](PfSprite& s) { PfReleaseSpriteTexture(s); });
}

void PfFreeAllSprites() {
    PfTableForEach(PfVideo.sprites, [](PfSprite& s) { DestroyTexture(s); });
    PfVideo.sprites = PfTable<PfSprite>();
}

// Stores a finished sprite under a number (freeing what was there) and answers
// what the creating call returns.
static int StoreSprite(int number, std::unique_ptr<PfSprite> sprite) {
    int stored = PfTableChooseNumber(PfVideo.sprites, number);
    std::unique_ptr<PfSprite>* slot = PfTableSlot(PfVideo.sprites, stored);
    if (!slot) return 0;
    if (*slot) DestroyTexture(**slot);
    *slot = std::move(sprite);
    return PfCreatedResult(number, stored);
}

static std::unique_ptr<PfSprite> NewSprite(int width, int height) {
    auto sprite = std::make_unique<PfSprite>();
    sprite->width = sprite->displayWidth = width;
    sprite->height = sprite->displayHeight = height;
    return sprite;
}

// A PNG keeps its alpha channel whatever the flags say: the game's artwork relies
// on it. Only the file's structure is checked here; it is decoded when its pixels
// are first needed (an image that fails then stays clear).
int LoadSpriteBytes(int number, const void* data, size_t size, int flags) {
    (void)flags;
    int width = 0, height = 0;
    if (!PfCheckPng(data, size, width, height)) return 0;
    auto sprite = NewSprite(width, height);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    sprite->png = std::make_shared<const std::vector<uint8_t>>(bytes, bytes + size);
    return StoreSprite(number, std::move(sprite));
}

// A blank sprite is transparent when made with SPRITE_ALPHA, opaque black
// otherwise; its pixels are made when first needed.
int CreateSprite(int number, int width, int height, int flags) {
    if (width <= 0 || height <= 0 || int64_t(width) * height > (int64_t(1) << 28)) return 0;
    auto sprite = NewSprite(width, height);
    sprite->colour = (flags & SPRITE_ALPHA) ? 0u : 0xFF000000u;
    return StoreSprite(number, std::move(sprite));
}

int CopySprite(int source, int destination, int flags) {
    (void)flags;
    PfSprite* from = FindSprite(source);
    if (!from) return 0;
    if (source == destination) return 1;
    auto copy = NewSprite(from->width, from->height);
    copy->displayWidth = from->displayWidth;
    copy->displayHeight = from->displayHeight;
    PfCopySpritePixels(*from, *copy);
    return StoreSprite(destination, std::move(copy));
}

void FreeSprite(int number) {
    std::unique_ptr<PfSprite>* slot = FindSprite(number) ? PfTableSlot(PfVideo.sprites, number) : nullptr;
    if (!slot) return;
    DestroyTexture(**slot);
    slot->reset();
}

int IsSprite(int number) { return FindSprite(number) != nullptr; }

void ScaleSprite(int number, int width, int height) {
    PfSprite* sprite = FindSprite(number);
    if (!sprite) return;
    sprite->displayWidth = width < 0 ? sprite->width : width;
    sprite->displayHeight = height < 0 ? sprite->height : height;
}

int SpriteWidth(int number) {
    PfSprite* sprite = FindSprite(number);
    return sprite ? sprite->displayWidth : 0;
}

int SpriteHeight(int number) {
    PfSprite* sprite = FindSprite(number);
    return sprite ? sprite->displayHeight : 0;
}

int SpriteStoredWidth(int number) {
    PfSprite* sprite = FindSprite(number);
    return sprite ? sprite->width : 0;
}

int SpriteStoredHeight(int number) {
    PfSprite* sprite = FindSprite(number);
    return sprite ? sprite->height : 0;
}

uint32_t SpritePixel(int number, int x, int y) {
    PfSprite* sprite = FindSprite(number);
    if (!sprite || x < 0 || y < 0 || x >= sprite->width || y >= sprite->height) return 0;
    return PfSpritePixels(*sprite)[size_t(y) * size_t(sprite->width) + size_t(x)];
}

// Nearest-neighbour resampling, each target pixel taking the source pixel under its centre.
static void ResampleNearest(const std::vector<uint32_t>& src, int srcW, int srcH, std::vector<uint32_t>& dst,
                            int dstW, int dstH) {
    dst.resize(size_t(dstW) * size_t(dstH));
    for (int y = 0; y < dstH; y++) {
        int sy = int(std::min<int64_t>((int64_t(2) * y + 1) * srcH / (int64_t(2) * dstH), srcH - 1));
        const uint32_t* from = src.data() + size_t(sy) * size_t(srcW);
        uint32_t* to = dst.data() + size_t(y) * size_t(dstW);
        for (int x = 0; x < dstW; x++) {
            to[x] = from[std::min<int64_t>((int64_t(2) * x + 1) * srcW / (int64_t(2) * dstW), srcW - 1)];
        }
    }
}

bool PfSpriteResampled(const PfSprite& sprite) {
    if (sprite.displayWidth == sprite.width && sprite.displayHeight == sprite.height) return false;
    return sprite.displayWidth > 0 && sprite.displayHeight > 0 &&
           int64_t(sprite.displayWidth) * sprite.displayHeight <= PF_MAX_SHOWN_PIXELS;
}

// The key of what the screen should show now; the quality only counts when resampling.
static PfShownKey CurrentShownKey(const PfSprite& sprite) {
    if (!PfSpriteResampled(sprite)) return {sprite.version, sprite.width, sprite.height, 0};
    return {sprite.version, sprite.displayWidth, sprite.displayHeight, PfVideo.spriteQuality == 1 ? 1 : 0};
}

const std::vector<uint32_t>& PfShownPixels(PfSprite& sprite) {
    if (!PfSpriteResampled(sprite)) return PfSpritePixels(sprite);
    PfShownKey key = CurrentShownKey(sprite);
    if (!(sprite.shownKey == key)) {
        const std::vector<uint32_t>& pixels = PfSpritePixels(sprite);
        // Bilinear resampling filters with premultiplied alpha, so transparent
        // neighbours leave no dark fringe along the edges.
        if (key.quality == 1) {
            PfResample(pixels, sprite.width, sprite.height, sprite.shown, key.width, key.height);
        } else {
            ResampleNearest(pixels, sprite.width, sprite.height, sprite.shown, key.width, key.height);
        }
        sprite.shownKey = key;
    }
    return sprite.shown;
}

// Uploads RGBA pixels into a texture of another format, converting a band of
// rows at a time so that no second copy of a large sprite is ever made.
static bool UploadConverted(SDL_Texture* texture, Uint32 format, const uint32_t* pixels, int width, int height) {
    const int band = std::clamp(65536 / width, 1, height);
    std::vector<uint32_t> converted(size_t(width) * size_t(band));
    for (int y = 0; y < height; y += band) {
        const int rows = std::min(band, height - y);
        SDL_Rect area = {0, y, width, rows};
        if (SDL_ConvertPixels(width, rows, SDL_PIXELFORMAT_RGBA32, pixels + size_t(y) * size_t(width), width * 4,
                              format, converted.data(), width * 4) != 0 ||
            SDL_UpdateTexture(texture, &area, converted.data(), width * 4) != 0) {
            return false;
        }
    }
    return true;
}

// Rows of what the sprite shows, for an upload in bands.
using RowMaker = std::function<void(int first, int count, uint32_t* out)>;

// Makes the texture's pixels a band of rows at a time and uploads each band in
// the texture's format: a full-screen picture never exists whole at its shown
// size outside the texture. Used only where every pixel is known to be opaque.
static bool UploadInBands(SDL_Texture* texture, Uint32 format, int width, int height, const RowMaker& rows) {
    const int band = std::clamp(65536 / width, 1, height);
    std::vector<uint32_t> made(size_t(width) * size_t(band));
    std::vector<uint32_t> converted(format == SDL_PIXELFORMAT_RGBA32 ? 0 : made.size());
    for (int y = 0; y < height; y += band) {
        const int count = std::min(band, height - y);
        rows(y, count, made.data());
        const uint32_t* upload = made.data();
        if (format != SDL_PIXELFORMAT_RGBA32) {
            if (SDL_ConvertPixels(width, count, SDL_PIXELFORMAT_RGBA32, made.data(), width * 4, format,
                                  converted.data(), width * 4) != 0) {
                return false;
            }
            upload = converted.data();
        }
        SDL_Rect area = {0, y, width, count};
        if (SDL_UpdateTexture(texture, &area, upload, width * 4) != 0) return false;
    }
    return true;
}

// An opaque PNG shown as it is stored, untouched since it was loaded (the studio
// logo at its own size): its rows go from the file to the texture.
static bool StreamsFromItsPng(const PfSprite& sprite) {
    return sprite.fromSource && sprite.png && !sprite.gradient && !sprite.held && sprite.patches.empty() &&
           sprite.changed.empty();
}

// What makes an opaque sprite's shown pixels band by band, when it is one: a
// fill with patches or an opaque PNG shown at its stored size, or an opaque PNG
// or opaque stored pixels resampled. Empty otherwise; the sprite is then
// uploaded from its whole shown pixels.
static RowMaker OpaqueRowMaker(PfSprite& sprite, const PfShownKey& key) {
    const bool resampled = PfSpriteResampled(sprite);
    if (resampled && key.quality != 1) return {};
    if (StreamsFromItsPng(sprite)) {
        auto png = std::make_shared<PfPngRows>();
        if (png->Open(sprite.png, sprite.width, sprite.height)) {
            if (!resampled) return [png](int, int count, uint32_t* out) { png->Read(count, out); };
            // The source too is read row by row from its file (the studio logo resized).
            auto r = std::make_shared<PfResampler>(*png, sprite.width, sprite.height, key.width, key.height);
            return [png, r](int first, int count, uint32_t* out) { r->Rows(first, count, out); };
        }
    }
    if (!resampled) {
        if (!PfSpriteOpaqueFromFill(sprite)) return {};
        return [&sprite](int first, int count, uint32_t* out) { PfSpriteFillRows(sprite, first, count, out); };
    }
    const std::vector<uint32_t>& pixels = PfSpritePixels(sprite);
    if (!std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return ColourAlpha(p) == 255; })) return {};
    // Weights summing to one over opaque pixels give opaque pixels.
    auto r = std::make_shared<PfResampler>(pixels, sprite.width, sprite.height, key.width, key.height);
    return [r](int first, int count, uint32_t* out) { r->Rows(first, count, out); };
}

// The texture holding what the sprite shows, uploaded again only when its pixels,
// display size or quality changed since the last upload. The pixels are converted
// to the renderer's own format on the way, so drawing needs no conversion. Once
// uploaded, the sprite gives up what it can make again.
static SDL_Texture* SpriteTexture(PfSprite& sprite) {
    SDL_Renderer* renderer = PfVideo.renderer;
    if (!renderer) return nullptr;
    PfShownKey key = CurrentShownKey(sprite);
    if (sprite.textureKey == key && sprite.texture) return sprite.texture;
    PfFlushScreen();  // queued copies must still draw what the texture holds now
    const RowMaker rows = OpaqueRowMaker(sprite, key);
    const std::vector<uint32_t>* pixels = nullptr;
    if (rows) {
        sprite.cover = PfSpriteCover();
        sprite.cover.opaque = true;
        sprite.cover.visible = sprite.cover.core = {0, 0, key.width, key.height};
    } else {
        pixels = &PfShownPixels(sprite);
        sprite.cover = PfMeasureCover(pixels->data(), key.width, key.height);
    }
    const Uint32 format = sprite.cover.opaque ? PfVideo.opaqueTextureFormat : PfVideo.textureFormat;
    Uint32 current = 0;
    int width = 0, height = 0;
    if (sprite.texture) SDL_QueryTexture(sprite.texture, &current, nullptr, &width, &height);
    if (sprite.texture && (width != key.width || height != key.height || current != format)) {
        DestroyTexture(sprite);
    }
    if (!sprite.texture) {
        // A render target where the renderer has them, so its pixels can be read back.
        sprite.textureReadable = SDL_RenderTargetSupported(renderer) == SDL_TRUE;
        int access = sprite.textureReadable ? SDL_TEXTUREACCESS_TARGET : SDL_TEXTUREACCESS_STATIC;
        sprite.texture = SDL_CreateTexture(renderer, format, access, key.width, key.height);
        if (!sprite.texture) {
            sprite.textureReadable = false;
            return nullptr;
        }
    }
    bool uploaded = rows ? UploadInBands(sprite.texture, format, key.width, key.height, rows)
                    : format == SDL_PIXELFORMAT_RGBA32
                        ? SDL_UpdateTexture(sprite.texture, nullptr, pixels->data(), key.width * 4) == 0
                        : UploadConverted(sprite.texture, format, pixels->data(), key.width, key.height);
    if (!uploaded) {
        sprite.textureKey = PfShownKey();
        return nullptr;
    }
    sprite.textureKey = key;
    PfSpriteLetGo(sprite);
    return sprite.texture;
}

// Draws the visible part of a blended sprite as its opaque core, copied, and the
// strips around it, blended: the same pixels as blending the whole sprite, at a
// fraction of the cost where the sprite is mostly solid or mostly clear.
static void QueueCoveredParts(PfScreenCommand copy, const PfSpriteCover& cover, int x, int y) {
    auto queue = [&](const PfRect& part, bool blend) {
        copy.from = {part.x, part.y, part.width, part.height};
        copy.to = {x + part.x, y + part.y, part.width, part.height};
        copy.blend = blend;
        PfQueueScreenCommand(copy);
    };
    if (cover.core.width > 0) queue(cover.core, false);
    for (const PfRect& strip : PfBlendedStrips(cover)) queue(strip, true);
}

static void DrawSpriteWith(int number, int x, int y, int intensity, int64_t tint, bool blend) {
    PfSprite* sprite = FindSprite(number);
    if (!sprite || sprite->displayWidth <= 0 || sprite->displayHeight <= 0) return;
    SDL_Texture* texture = SpriteTexture(*sprite);
    if (!texture) return;
    PfScreenCommand copy;
    copy.kind = PfScreenCommand::Copy;
    copy.texture = texture;
    copy.blend = blend;
    copy.alpha = Uint8(blend ? std::clamp(intensity, 0, 255) : 255);
    if (tint >= 0) {
        uint32_t c = uint32_t(tint);
        copy.red = Uint8(ColourRed(c));
        copy.green = Uint8(ColourGreen(c));
        copy.blue = Uint8(ColourBlue(c));
    }
    // Resampled textures are drawn pixel for pixel; only a sprite too large to
    // resample is still scaled by the renderer.
    bool scaled = sprite->displayWidth != sprite->width || sprite->displayHeight != sprite->height;
    bool rendererScales = scaled && !PfSpriteResampled(*sprite);
    copy.smooth = rendererScales && PfVideo.spriteQuality == 1;
    // Drawn in parts only pixel for pixel: scaled parts could leave seams between them.
    if (blend && copy.alpha == 255 && tint < 0 && !rendererScales && !PfVideo.screenScaled) {
        QueueCoveredParts(copy, sprite->cover, x, y);
        return;
    }
    int textureWidth = 0, textureHeight = 0;
    SDL_QueryTexture(texture, nullptr, nullptr, &textureWidth, &textureHeight);
    copy.from = {0, 0, textureWidth, textureHeight};
    copy.to = {x, y, sprite->displayWidth, sprite->displayHeight};
    PfQueueScreenCommand(copy);
}

void DrawSprite(int number, int x, int y, int intensity, int64_t tint) {
    if (intensity <= 0) return;
    DrawSpriteWith(number, x, y, intensity, tint, true);
}

void DrawSpriteOpaque(int number, int x, int y) { DrawSpriteWith(number, x, y, 255, -1, false); }
