// pieces.cpp: the eleven piece shapes, the board's random source and the tray they are dealt into.
#include "board.h"

ShapeCatalogue Shapes;
BoardRandomState BoardRng;
TrayState Tray;

// ---------------------------------------------------------------- catalogue

// Shape after shape from 1 to 11, each cell as dx then dy, in list order.
static const int8_t ShapeTable[] = {
    0, 0,                                            // 1  single cell
    0, 0, 1, 0,                                      // 2  horizontal pair
    0, 0, 1, 0, 2, 0, 0, 1,                          // 3  three across, one under the left end
    1, 0, 0, 1, 1, 1, 2, 1, 1, 2,                    // 4  plus
    0, 0, 0, 1, 0, 2, 0, 3,                          // 5  vertical bar of four
    1, 0, 2, 0, 0, 1, 1, 1,                          // 6  step rising to the right
    1, 0, 0, 1, 1, 1,                                // 7  corner, top-left cell missing
    0, 0, 0, 1, 0, 2,                                // 8  vertical bar of three
    0, 0, 1, 0, 0, 1, 1, 1,                          // 9  2x2 square
    1, 0, 0, 1, 1, 1, 2, 1,                          // 10 T pointing up
    0, 0, 1, 0, 2, 0, 0, 1, 1, 1, 2, 1, 0, 2, 1, 2, 2, 2,  // 11 3x3 square
};

// How many pairs each shape reads from the table.
static const int ShapeTableCounts[ShapeCount + 1] = {0, 1, 2, 4, 5, 4, 4, 3, 3, 4, 4, 9};

static_assert(sizeof(ShapeTable) == 2 * 43, "the eleven shapes have 43 cells in all");

void BuildShapeCatalogue()
{
    Shapes = ShapeCatalogue{};
    int read = 0;
    for (int s = 1; s <= ShapeCount; s++) {
        int width = 0;
        int height = 0;
        for (int c = 0; c < ShapeTableCounts[s]; c++) {
            ShapeCell cell{ShapeTable[read], ShapeTable[read + 1]};
            read += 2;
            Shapes.Cells[s][Shapes.Count[s]++] = cell;
            // Every shape touches its origin row and column, so the bounding
            // box is one past the largest offsets.
            if (cell.dx + 1 > width) width = cell.dx + 1;
            if (cell.dy + 1 > height) height = cell.dy + 1;
        }
        Shapes.Width[s] = width;
        Shapes.Height[s] = height;
    }
    Shapes.Built = 1;
}

static bool ValidShape(int shape)
{
    return shape >= 1 && shape <= ShapeCount;
}

std::span<const ShapeCell> ShapeCells(int shape)
{
    if (!ValidShape(shape)) return {};
    if (!Shapes.Built) BuildShapeCatalogue();
    return std::span<const ShapeCell>(Shapes.Cells[shape], static_cast<size_t>(Shapes.Count[shape]));
}

int ShapeCellCount(int shape)
{
    if (!ValidShape(shape)) return 0;
    if (!Shapes.Built) BuildShapeCatalogue();
    return Shapes.Count[shape];
}

int ShapeWidth(int shape)
{
    if (!ValidShape(shape)) return 0;
    if (!Shapes.Built) BuildShapeCatalogue();
    return Shapes.Width[shape];
}

int ShapeHeight(int shape)
{
    if (!ValidShape(shape)) return 0;
    if (!Shapes.Built) BuildShapeCatalogue();
    return Shapes.Height[shape];
}

// ---------------------------------------------------------------- random source

static uint64_t SplitMix64(uint64_t* state)
{
    uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

static uint64_t RotateLeft(uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

void BoardSeedRandom(uint64_t seed)
{
    // splitmix64 spreads any seed, 0 included, over a state that is never all zero.
    uint64_t mix = seed;
    for (uint64_t& word : BoardRng.State) word = SplitMix64(&mix);
    BoardRng.Seed = seed;
}

uint64_t BoardRandomNext()
{
    uint64_t* s = BoardRng.State;
    const uint64_t result = RotateLeft(s[1] * 5, 7) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = RotateLeft(s[3], 45);
    return result;
}

int BoardRandomInt(int maximum, int minimum)
{
    if (maximum <= minimum) return minimum;
    const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(maximum) - minimum) + 1;
    // Reject the top sliver of 64-bit values that would make the low results
    // more likely than the high ones.
    const uint64_t limit = UINT64_MAX - (UINT64_MAX % range + 1) % range;
    uint64_t draw;
    do {
        draw = BoardRandomNext();
    } while (draw > limit);
    return static_cast<int>(static_cast<int64_t>(minimum) + static_cast<int64_t>(draw % range));
}

// ---------------------------------------------------------------- tray

int RandomPiece()
{
    return BoardRandomInt(ShapeCount, 1);
}

static void DealInto(int slot)
{
    Tray.Slots[slot].piece = RandomPiece();
    Tray.Slots[slot].image = BoardImages.Tray[Tray.Slots[slot].piece];
}

void FillTray()
{
    // All three pieces are drawn before any image is set, in slot order.
    for (TraySlot& slot : Tray.Slots) slot.piece = RandomPiece();
    for (TraySlot& slot : Tray.Slots) slot.image = BoardImages.Tray[slot.piece];
}

void RefillTray(int slot)
{
    if (slot < 0 || slot >= TraySlots) return;
    switch (GameVars.GameMode) {
    case ModeEasy:
        DealInto(slot);
        break;
    case ModeNormal:
        Tray.PiecesLeftInBatch--;
        if (Tray.PiecesLeftInBatch > 0) {
            // The slot keeps showing the empty-slot image it got at pick-up.
            Tray.Slots[slot].piece = 0;
        } else {
            Tray.PiecesLeftInBatch = 3;
            for (int k = 0; k < TraySlots; k++) DealInto(k);
        }
        break;
    case ModeUnpredictable:
        for (int k = 0; k < TraySlots; k++) DealInto(k);
        break;
    default:
        break;
    }
}

int TakeFromTray(int slot)
{
    if (slot < 0 || slot >= TraySlots) return 0;
    const int piece = Tray.Slots[slot].piece;
    if (piece < 1 || piece > ShapeCount) return 0;
    Tray.Slots[slot].image = BoardImages.EmptySlot;
    return piece;
}

void ReturnToTray(int slot)
{
    if (slot < 0 || slot >= TraySlots) return;
    const int piece = Tray.Slots[slot].piece;
    if (piece >= 1 && piece <= ShapeCount) Tray.Slots[slot].image = BoardImages.Tray[piece];
}
