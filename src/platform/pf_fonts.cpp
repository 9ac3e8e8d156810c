// pf_fonts.cpp: TrueType families installed for this process, font faces opened from them, text measuring and rendering.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "pf_video_internal.h"

static bool EnsureTtf() {
    if (PfVideo.ttfUp) return true;
    if (TTF_Init() != 0) return false;
    PfVideo.ttfUp = true;
    return true;
}

static std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

static bool Contains(const std::string& text, const char* word) {
    return Lower(text).find(word) != std::string::npos;
}

// Opens a face from bytes the caller keeps alive for as long as the face is open.
static TTF_Font* OpenFace(const std::vector<uint8_t>& bytes, int pixelSize) {
    if (bytes.empty() || bytes.size() > size_t(INT32_MAX)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (!rw) return nullptr;
    return TTF_OpenFontRW(rw, 1, pixelSize);
}

int InstallFontBytes(const void* data, size_t size) {
    if (!data || size == 0 || !EnsureTtf()) return 0;
    auto bytes = std::make_shared<std::vector<uint8_t>>(static_cast<const uint8_t*>(data),
                                                         static_cast<const uint8_t*>(data) + size);
    TTF_Font* face = OpenFace(*bytes, 12);
    if (!face) return 0;
    const char* family = TTF_FontFaceFamilyName(face);
    const char* style = TTF_FontFaceStyleName(face);
    PfInstalledFont entry = {family ? family : "", style ? style : "", bytes};
    TTF_CloseFont(face);
    if (entry.family.empty()) return 0;
    // Installing the same face again replaces the earlier copy.
    auto& fonts = PfVideo.installedFonts;
    fonts.erase(std::remove_if(fonts.begin(), fonts.end(),
                               [&](const PfInstalledFont& f) {
                                   return Lower(f.family) == Lower(entry.family) && Lower(f.style) == Lower(entry.style);
                               }),
                fonts.end());
    fonts.push_back(std::move(entry));
    return 1;
}

int InstallFontFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > (size_t(64) << 20)) break;  // no font file is this large
    }
    bool failed = std::ferror(file) != 0 || bytes.size() > (size_t(64) << 20);
    std::fclose(file);
    if (failed) return 0;
    return InstallFontBytes(bytes.data(), bytes.size());
}

// The installed face of a family that best matches the wanted weight and slant.
static const PfInstalledFont* FindFace(const std::string& family, bool bold, bool italic) {
    const PfInstalledFont* best = nullptr;
    int bestScore = -1;
    std::string wanted = Lower(family);
    for (const PfInstalledFont& f : PfVideo.installedFonts) {
        if (Lower(f.family) != wanted) continue;
        bool faceBold = Contains(f.style, "bold");
        bool faceItalic = Contains(f.style, "italic") || Contains(f.style, "oblique");
        int score = (faceBold == bold ? 2 : 0) + (faceItalic == italic ? 1 : 0);
        if (score > bestScore) {
            best = &f;
            bestScore = score;
        }
    }
    return best;
}

static void CloseFont(PfFont& font) {
    if (font.font && PfVideo.ttfUp) TTF_CloseFont(font.font);
    font.font = nullptr;
}

void PfFreeAllFonts() {
    PfTableForEach(PfVideo.fonts, [](PfFont& f) { CloseFont(f); });
    PfVideo.fonts = PfTable<PfFont>();
}

int LoadFontFace(int number, const std::string& family, int points, int styleFlags) {
    if (points <= 0 || !EnsureTtf()) return 0;
    bool bold = styleFlags & FONT_BOLD, italic = styleFlags & FONT_ITALIC;
    const PfInstalledFont* face = FindFace(family, bold, italic);
    if (!face) return 0;
    // Points to pixels at 96 dots per inch, rounded as the desktop rounds it.
    int pixels = (points * 96 + 36) / 72;
    auto font = std::make_unique<PfFont>();
    font->bytes = face->bytes;
    font->font = OpenFace(*font->bytes, pixels);
    if (!font->font) return 0;
    // Weight and slant the face lacks are synthesised.
    int style = TTF_STYLE_NORMAL;
    if (bold && !Contains(face->style, "bold")) style |= TTF_STYLE_BOLD;
    if (italic && !Contains(face->style, "italic") && !Contains(face->style, "oblique")) style |= TTF_STYLE_ITALIC;
    if (styleFlags & FONT_UNDERLINE) style |= TTF_STYLE_UNDERLINE;
    if (styleFlags & FONT_STRIKEOUT) style |= TTF_STYLE_STRIKETHROUGH;
    TTF_SetFontStyle(font->font, style);
    font->highQuality = (styleFlags & FONT_HIGHQUALITY) != 0;

    int stored = PfTableChooseNumber(PfVideo.fonts, number);
    std::unique_ptr<PfFont>* slot = PfTableSlot(PfVideo.fonts, stored);
    if (!slot) {
        CloseFont(*font);
        return 0;
    }
    if (*slot) CloseFont(**slot);
    *slot = std::move(font);
    return PfCreatedResult(number, stored);
}

void FreeFontFace(int number) {
    if (!PfTableGet(PfVideo.fonts, number)) return;
    std::unique_ptr<PfFont>* slot = PfTableSlot(PfVideo.fonts, number);
    CloseFont(**slot);
    slot->reset();
}

int IsFontFace(int number) { return PfTableGet(PfVideo.fonts, number) != nullptr; }

static TTF_Font* CurrentFont() {
    PfFont* font = PfTableGet(PfVideo.fonts, PfDraw.font);
    return font ? font->font : nullptr;
}

int TextWidth(const std::string& text) {
    TTF_Font* font = CurrentFont();
    int w = 0, h = 0;
    if (!font || text.empty() || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

// The font's line height, whatever the text.
int TextHeight(const std::string& text) {
    (void)text;
    TTF_Font* font = CurrentFont();
    return font ? TTF_FontHeight(font) : 0;
}

bool PfRenderTextCoverage(int fontNumber, const std::string& text, std::vector<uint8_t>& coverage, int& width,
                          int& height) {
    PfFont* font = PfTableGet(PfVideo.fonts, fontNumber);
    if (!font || !font->font || text.empty()) return false;
    const SDL_Color white = {255, 255, 255, 255};
    // High quality is anti-aliased; otherwise every pixel is either ink or not.
    SDL_Surface* surface = font->highQuality ? TTF_RenderUTF8_Blended(font->font, text.c_str(), white)
                                             : TTF_RenderUTF8_Solid(font->font, text.c_str(), white);
    if (!surface) return false;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    width = surface->w;
    height = surface->h;
    coverage.assign(size_t(width) * size_t(height), 0);
    bool indexed = surface->format->BytesPerPixel == 1;
    for (int y = 0; y < height; y++) {
        const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + size_t(y) * size_t(surface->pitch);
        uint8_t* out = coverage.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; x++) {
            if (indexed) {
                out[x] = row[x] != 0 ? 255 : 0;
            } else {
                uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
                out[x] = uint8_t(pixel >> surface->format->Ashift);
            }
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    return width > 0 && height > 0;
}
