// art_style.h: the shared look of the artwork: palette, cut gems, gold metalwork, velvet wells.
#pragma once

#include <string>
#include <vector>

#include "image_raster.h"

// The fill of every panel interior, status box and tray slot; texts are drawn on it.
inline constexpr int kPanelR = 38, kPanelG = 35, kPanelB = 32;
Colour PanelColour();

// Base colour of gem colour 1..11 (colour k belongs to shape k).
Colour GemBaseColour(int colour);

// A cut gem of colour 1..11 with its own facet pattern, centred, `radius` the half
// extent of its outline. `glow` > 1 brightens it (clear effect, hovered buttons).
void DrawGem(Image& img, int colour, Vec2 centre, float radius, float glow = 1.0f);
// A board cell: the dark velvet well, with the gem of `colour` set in it (0 = empty).
// Opaque, `size` pixels square.
Image GemCellTile(int colour, int size);
// The clear effect of `colour`: a brightened gem in a halo, on transparency.
Image GemEffectTile(int colour, int size);

// Gold: a light value (0 dark .. 1 bright, above 1 toward white) to a colour.
Colour GoldShade(float light);
// Light falling on a surface tilted along `dir` (unit, picture coordinates) by `slope`
// (0 flat .. 1 steep); the light comes from the upper left.
float SurfaceLight(Vec2 dir, float slope);
// Light on a rounded moulding across its width: u runs from -1 (outer edge) to 1
// (inner edge); the surface falls away along `inward` for u > 0, against it for u < 0.
float MouldingLight(Vec2 inward, float u);
// Round gold wire along the segments.
void DrawGoldWire(Image& img, const std::vector<Segment>& segments, float halfWidth,
                  float opacity = 1.0f);
// A domed gold bead.
void DrawGoldBead(Image& img, Vec2 centre, float radius);
// A gem in a gold bezel ring (panel studs, ornaments, buttons).
void DrawSetGem(Image& img, int colour, Vec2 centre, float radius, float glow = 1.0f);
// A soft shadow of a contour: darkens below it, offset and widened.
void DrawSoftShadow(Image& img, const Path& outline, Vec2 offset, float blur, float opacity);
// Gold filigree scroll inside the box [x0,x1) x [y0,y1), running along its longer side.
void DrawFiligreeBand(Image& img, float x0, float y0, float x1, float y1, float wire,
                      unsigned seed);

// The eleven pieces: bounding box in cells and the cells (column, row) they cover.
struct PieceCells {
    int width = 0, height = 0, count = 0;
    int cells[9][2] = {};
};
const PieceCells& PieceShape(int shape);  // shape 1..11
// The piece's gem tiles at `cell` pixels per cell, gaps transparent.
Image PieceImage(int shape, int cell);
// An opaque tray slot picture: the piece centred and shrunk on the panel colour.
Image TrayImage(int shape, int size);
