// art_review.cpp: review pictures: a contact sheet of every image and screens composed as the game composes them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "art_glyphs.h"
#include "art_style.h"
#include "assetgen.h"
#include "image_files.h"

namespace {

using ImageSet = std::map<std::string, Image>;

const Image& Get(const ImageSet& set, const std::string& name) {
    static const Image empty = MakeImage(1, 1);
    auto it = set.find(name);
    return it == set.end() ? empty : it->second;
}

std::string Two(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

void Draw(Image& screen, const Image& img, int x, int y, int w, int h, float opacity = 1) {
    if (w <= 0 || h <= 0) return;
    DrawImage(screen, (img.width == w && img.height == h) ? img : Resample(img, w, h), x, y, opacity);
}

void DrawOpaque(Image& screen, const Image& img, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    DrawImageOpaque(screen, (img.width == w && img.height == h) ? img : Resample(img, w, h), x, y);
}

// The play background: the game's fixed rainbow gradient from left to right.
Image PlayBackground(int w, int h) {
    static const int stops[21][3] = {
        {191, 64, 64},  {191, 64, 115}, {182, 64, 191}, {131, 64, 191}, {68, 64, 191},  {64, 115, 191},
        {64, 191, 191}, {64, 191, 127}, {137, 205, 106}, {115, 191, 64}, {191, 189, 64}, {115, 191, 64},
        {137, 205, 106}, {64, 191, 127}, {64, 191, 191}, {64, 115, 191}, {68, 64, 191},  {131, 64, 191},
        {182, 64, 191}, {191, 64, 115}, {192, 64, 64}};
    Image img = MakeImage(w, h);
    for (int x = 0; x < w; ++x) {
        float p = static_cast<float>(x) / std::max(1, w - 1) * 20;
        int i = std::min(19, static_cast<int>(p));
        float t = p - i;
        Colour c = MixColour(Rgb(stops[i][0], stops[i][1], stops[i][2]),
                             Rgb(stops[i + 1][0], stops[i + 1][1], stops[i + 1][2]), t);
        for (int y = 0; y < h; ++y) SetPixel(img, x, y, c);
    }
    return img;
}

// Text stand-in: the game renders its TrueType face; the review uses the stroke letters.
void Label(Image& img, const std::string& text, float size, float centreX, float top, Colour c) {
    float tw = MeasureText(text, GlyphStyle::Rounded, size);
    DrawText(img, text, GlyphStyle::Rounded, size, Vec2{centreX - tw / 2, top + size}, size * 0.07f, c);
}

Image StatusBox(int w, int h, const std::string& text) {
    Image box = MakeImage(w, h, PanelColour());
    Label(box, text, h * 0.45f, w / 2.0f, h * 0.22f, Colour{1, 1, 1, 1});
    return box;
}

// A game in progress, composed back to front as the play screen is.
Image PlayScreen(const ImageSet& a, int W, int H, int N, bool withMenu) {
    int T = W / 20;
    if (T % 2) --T;
    const int X = W / 2, tray = T * 3 / 2;
    const double ratio = static_cast<double>(W) / H;
    const int boardTop = (ratio > 1.76 && ratio < 1.79) ? T : H / 2 - 4 * T;
    const int boardLeft = X - (N * T) / 2;
    Image s = PlayBackground(W, H);
    Draw(s, Get(a, "frame_top.png"), boardLeft, boardTop - T, N * T, T);
    Draw(s, Get(a, "frame_bottom.png"), boardLeft, boardTop + 8 * T, N * T, T);
    Draw(s, Get(a, "frame_right.png"), boardLeft - T, boardTop, T, 8 * T);
    Draw(s, Get(a, "frame_left.png"), boardLeft + N * T, boardTop, T, 8 * T);
    std::vector<Image> gems, effects;
    for (int k = 0; k <= 11; ++k) gems.push_back(Resample(Get(a, "s" + Two(k) + ".png"), T, T));
    for (int k = 1; k <= 11; ++k) effects.push_back(Resample(Get(a, Two(k) + ".png"), T, T));
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < 8; ++j) {
            int colour = 0;
            if (j >= 5 || (j == 4 && i % 3 != 0) || (i < 3 && j >= 2)) colour = 1 + (i * 7 + j * 3) % 11;
            if (j == 6) colour = 0;  // the row just cleared
            DrawImage(s, gems[colour], boardLeft + i * T, boardTop + j * T);
        }
    for (int i = 0; i < N; ++i)
        DrawImage(s, effects[(i * 5) % 11], boardLeft + i * T, boardTop + 6 * T, 0.62f);
    Draw(s, Get(a, "decor_top_left.png"), boardLeft - T, boardTop - T, 2 * T, 2 * T);
    Draw(s, Get(a, "decor_top_right.png"), boardLeft + (N - 1) * T, boardTop - T, 2 * T, 2 * T);
    Draw(s, Get(a, "decor_bottom_left.png"), boardLeft - T, boardTop + 7 * T, 2 * T, 2 * T);
    Draw(s, Get(a, "decor_bottom_right.png"), boardLeft + (N - 1) * T, boardTop + 7 * T, 2 * T, 2 * T);
    // Tray: the middle piece has been picked up, its slot shows the empty image.
    const int s0x = X - tray / 2 - tray, sy = H - tray, s2x = X - tray / 2 + tray;
    DrawOpaque(s, Get(a, "gui_shape 03.png"), s0x, sy, tray, tray);
    FillRect(s, s0x + tray, sy, s0x + 2 * tray, sy + tray, PanelColour());
    DrawOpaque(s, Get(a, "gui_shape 09.png"), s2x, sy, tray, tray);
    Draw(s, Get(a, "frame_top.png"), s0x, sy - T, 3 * tray, T);
    Draw(s, Get(a, "frame_right.png"), s0x - T, sy, T, tray);
    Draw(s, Get(a, "frame_left.png"), s2x + tray, sy, T, tray);
    Draw(s, Get(a, "decor_top_left.png"), s0x - T, sy - T, 2 * T, 2 * T);
    Draw(s, Get(a, "decor_top_right.png"), s2x + tray - T, sy - T, 2 * T, 2 * T);
    // Status bar: menu button, mode, score, best.
    const struct {
        int bx, bw;
        std::string text;
    } cells[] = {{X - 8 * T, T / 2, ""}, {X - 6 * T, 5 * T / 2, "normal"}, {X + 7 * T / 2, 3 * T / 2, "1250"},
                 {X + 13 * T / 2, 3 * T / 2, "4870"}};
    for (int c = 0; c < 4; ++c) {
        int bx = cells[c].bx, bw = cells[c].bw;
        if (c == 0) DrawOpaque(s, Get(a, "gui_quit.png"), bx + 1, H - T + 1, T / 2 - 2, T / 2 - 2);
        else DrawImageOpaque(s, StatusBox(bw - 2, T / 2 - 2, cells[c].text), bx + 1, H - T + 1);
        Draw(s, Get(a, "frame_top.png"), bx, H - 3 * T / 2, bw, T / 2);
        Draw(s, Get(a, "frame_bottom.png"), bx, H - T / 2, bw, T / 2);
        Draw(s, Get(a, "gui_complex_left.png"), bx - T / 2, H - 3 * T / 2, T, 3 * T / 2);
        Draw(s, Get(a, "gui_complex_right.png"), bx + bw - T / 2, H - 3 * T / 2, T, 3 * T / 2);
    }
    // The carried piece, centred on the pointer, and the full-screen pointer itself.
    const int px = boardLeft + N * T - 2 * T, py = boardTop + 2 * T;
    Draw(s, Get(a, "shape10.png"), px - 3 * T / 2, py - T, 3 * T, 2 * T);
    if (withMenu) {
        // The in-game menu: shadow, then the popup panel as a square of the main menu's width.
        Draw(s, Get(a, "shadow.png"), 0, 0, W, H);
        const Image& main = Get(a, "mainmenu.png");
        int wm = static_cast<int>(std::lround(H / 100 * 65.0 * main.width / main.height));
        Image panel = Get(a, "quit.png");
        Label(panel, "paused", 60, panel.width / 2.0f, 110, Rgb(176, 203, 16));
        const char* labels[3] = {"resume", "restart", "quit"};
        const int rows[3] = {360, 520, 680};
        for (int i = 0; i < 3; ++i)
            Label(panel, labels[i], 50, panel.width / 2.0f, rows[i] + 10,
                  i == 1 ? Rgb(49, 166, 222) : Colour{1, 1, 1, 1});
        Draw(s, panel, W / 2 - wm / 2, H / 2 - wm / 2, wm, wm);
    }
    const Image& pointer = Get(a, "pointer.png");
    DrawImage(s, pointer, withMenu ? W / 2 + T : px, withMenu ? H / 2 : py);
    return s;
}

// The main menu over the scrolling gem wall, with the logo at the top.
Image MenuScreen(const ImageSet& a, int W, int H) {
    int T = W / 20;
    if (T % 2) --T;
    Image s = MakeImage(W, H, Colour{0, 0, 0, 1});
    std::vector<Image> gems;
    for (int k = 1; k <= 11; ++k) gems.push_back(Resample(Get(a, "s" + Two(k) + ".png"), T, T));
    for (int j = 0; j <= H / T + 1; ++j)
        for (int i = 0; i <= W / T + 1; ++i)
            DrawImage(s, gems[static_cast<int>(HashNoise(i * 13 + j * 7, j * 31 - i, 9u) * 11) % 11], i * T, j * T - T / 3);
    const Image& logo = Get(a, "logo.png");
    int lw = (W / 100) * 50;
    int lh = static_cast<int>(std::lround(static_cast<double>(logo.height) / logo.width * lw));
    Draw(s, logo, W / 2 - lw / 2, 0, lw, lh);
    int centreY = (H - lh) / 2 + lh;
    Image panel = Get(a, "mainmenu.png");
    Label(panel, "main menu", 60, panel.width / 2.0f, 110, Rgb(176, 203, 16));
    const char* labels[6] = {"start", "quick game", "settings", "help", "credits", "quit"};
    for (int i = 0; i < 6; ++i)
        Label(panel, labels[i], 56, panel.width / 2.0f, 300 + 160 * i + 10,
              i == 0 ? Rgb(49, 166, 222) : Colour{1, 1, 1, 1});
    int ph = (H / 100) * 65;
    int pw = static_cast<int>(std::lround(H / 100.0 * 65.0 * panel.width / panel.height));
    Draw(s, panel, W / 2 - pw / 2, centreY - ph / 2, pw, ph);
    return s;
}

// Every picture on a dark ground, scaled into equal cells, labelled with its name.
Image ContactSheet(const std::vector<GeneratedFile>& art, const ImageSet& a) {
    const int cols = 8, cell = 240, labelH = 30, pad = 12;
    const int rows = static_cast<int>((art.size() + cols - 1) / cols);
    Image sheet = MakeImage(cols * (cell + pad) + pad, rows * (cell + labelH + pad) + pad, Rgb(14, 12, 20));
    for (size_t i = 0; i < art.size(); ++i) {
        const Image& img = Get(a, art[i].name);
        int cx = pad + static_cast<int>(i % cols) * (cell + pad), cy = pad + static_cast<int>(i / cols) * (cell + labelH + pad);
        FillRect(sheet, cx, cy, cx + cell, cy + cell, Rgb(30, 28, 40));
        float scale = std::min(1.0f, std::min(static_cast<float>(cell) / img.width, static_cast<float>(cell) / img.height));
        int w = std::max(1, static_cast<int>(img.width * scale)), h = std::max(1, static_cast<int>(img.height * scale));
        Draw(sheet, img, cx + (cell - w) / 2, cy + (cell - h) / 2, w, h);
        Label(sheet, art[i].name, 11, cx + cell / 2.0f, cy + cell + 6, Rgb(220, 214, 200));
    }
    return sheet;
}

}  // namespace

void WriteArtReview(const std::vector<GeneratedFile>& art, const std::string& folder) {
    // Start from an empty folder so no picture from an older run is mistaken for this one's.
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
    ImageSet images;
    for (const GeneratedFile& f : art) {
        DecodedPng d;
        if (DecodePng(f.bytes, d)) images[f.name] = FromRgba8(d.rgba, d.width, d.height);
    }
    WriteBytesToFile(folder + "/contact_sheet.png", EncodePng(ContactSheet(art, images), false, 6));
    WriteBytesToFile(folder + "/play_1920x1080.png", EncodePng(PlayScreen(images, 1920, 1080, 12, false), true, 6));
    WriteBytesToFile(folder + "/play_1280x720.png", EncodePng(PlayScreen(images, 1280, 720, 16, false), true, 6));
    WriteBytesToFile(folder + "/ingame_menu_1920x1080.png", EncodePng(PlayScreen(images, 1920, 1080, 8, true), true, 6));
    WriteBytesToFile(folder + "/menu_1920x1080.png", EncodePng(MenuScreen(images, 1920, 1080), true, 6));
}
