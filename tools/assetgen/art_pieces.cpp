// art_pieces.cpp: the piece pictures (carried pieces) and the tray pictures (pieces on offer).
#include <algorithm>
#include <cmath>

#include "art_style.h"

const PieceCells& PieceShape(int shape) {
    // Cells (column, row) of each shape in the order the board rules list them.
    static const PieceCells shapes[12] = {
        {},
        {1, 1, 1, {{0, 0}}},
        {2, 1, 2, {{0, 0}, {1, 0}}},
        {3, 2, 4, {{0, 0}, {1, 0}, {2, 0}, {0, 1}}},
        {3, 3, 5, {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}}},
        {1, 4, 4, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {3, 2, 4, {{1, 0}, {2, 0}, {0, 1}, {1, 1}}},
        {2, 2, 3, {{1, 0}, {0, 1}, {1, 1}}},
        {1, 3, 3, {{0, 0}, {0, 1}, {0, 2}}},
        {2, 2, 4, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {3, 2, 4, {{1, 0}, {0, 1}, {1, 1}, {2, 1}}},
        {3, 3, 9, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}},
    };
    return shapes[std::clamp(shape, 1, 11)];
}

Image PieceImage(int shape, int cell) {
    const PieceCells& p = PieceShape(shape);
    Image img = MakeImage(p.width * cell, p.height * cell);
    Image tile = GemCellTile(shape, cell);
    for (int i = 0; i < p.count; ++i)
        DrawImage(img, tile, p.cells[i][0] * cell, p.cells[i][1] * cell);
    return img;
}

Image TrayImage(int shape, int size) {
    // One cell size for every piece, so pieces keep their relative sizes in the tray;
    // four cells (the long bar) fill most of the slot.
    const int cell = static_cast<int>(size * 0.215f);
    const PieceCells& p = PieceShape(shape);
    Image img = MakeImage(size, size, PanelColour());
    const int ox = (size - p.width * cell) / 2, oy = (size - p.height * cell) / 2;

    // A soft shadow under the piece lifts it off the slot.
    const float blur = cell * 0.22f, dx = cell * 0.06f, dy = cell * 0.1f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float best = 1e9f;
            for (int i = 0; i < p.count; ++i) {
                float rx0 = ox + p.cells[i][0] * cell + dx, ry0 = oy + p.cells[i][1] * cell + dy;
                float qx = std::max({rx0 - (x + 0.5f), 0.0f, (x + 0.5f) - (rx0 + cell)});
                float qy = std::max({ry0 - (y + 0.5f), 0.0f, (y + 0.5f) - (ry0 + cell)});
                best = std::min(best, std::hypot(qx, qy));
            }
            if (best < blur) BlendPixel(img, x, y, Colour{0, 0, 0, 1}, 0.55f * (1 - best / blur));
        }
    DrawImage(img, PieceImage(shape, cell), ox, oy);
    // The slot is drawn without its alpha, so make sure nothing is translucent.
    for (size_t i = 3; i < img.px.size(); i += 4) img.px[i] = 1.0f;
    return img;
}
