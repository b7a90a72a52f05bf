// Drawing the puzzle board into any device context: raised tiles with three-fold labels, the empty cell, the frame.
#pragma once

#include <windows.h>

#include <cstdint>

#include "smallib/fonts.h"

// --- Scale ---------------------------------------------------------------------------------

// The DPI the board is drawn for; the window sets it from its monitor. The sizes below that
// are given in pixels are sizes at 96 dpi and grow with it; the one-pixel lines of the tiles
// and of the frame stay one pixel.
extern std::int32_t BoardDpi;

// size pixels at 96 dpi, at BoardDpi.
std::int32_t BoardPixels(std::int32_t size);

// --- Cell geometry -------------------------------------------------------------------------

// Width and height of one cell in pixels. The window's size handling sets both; painting sets
// the width to what the widest label needs. The height never drops below MinCellHeight
// (at BoardDpi: BoardPixels(MinCellHeight)).
extern std::int32_t CellWidth;
extern std::int32_t CellHeight;
inline constexpr std::int32_t MinCellHeight = 32;

// The fill of the empty cell as a colour value (a negative value names a system colour),
// chosen anew by every PaintBoard.
extern TColor EmptyColor;

// Where the highlight copy of a label goes (left and up), at 96 dpi; the shadow copy goes as
// far the other way.
inline constexpr std::int32_t ShadowOffset = -2;

// A label's width plus this many pixels (at 96 dpi) is the cell width the label needs: the two
// of the shadow copies (PaintCell) and four of air (the window's paint).
inline constexpr std::int32_t LabelMargin = 4;

// The cell at column, row (1-based): Left = (column - 1) * CellWidth + 1, Right =
// column * CellWidth + 1, the same for rows with CellHeight; right and bottom exclusive.
// Pixel column 0 and pixel row 0 belong to the frame.
RECT CellRect(std::int32_t column, std::int32_t row);

// --- Painting ------------------------------------------------------------------------------
// All of these draw with the font selected in dc and leave the stock BLACK_PEN selected.

// The raised border of a tile: white left and top edges one pixel inside the rectangle, and
// right and bottom edges in the button-shadow colour; the right edge starts two pixels above
// the rectangle.
void DrawTileBorder(HDC dc, const RECT& rect);

// Paints one cell of Board and returns the width its label needs (text width + 2, at 96 dpi,
// the shadow offset's size). A tile is
// a raised button face with its label drawn three times: a white highlight up-left, a black
// shadow down-right and the tile colour on top. The empty cell is a flat EmptyColor fill
// without text or border, but its label still counts. An italic proportional font measures
// and draws a label that does not end in a blank with one blank appended, so that the
// overhang of the last letter is not cut off.
std::int32_t PaintCell(HDC dc, std::int32_t column, std::int32_t row);

// The empty cell's colour for a device that shows the desktop colour as desktop and the
// button face as face: white when the two look alike (equal in the two high bits of red,
// green and blue), otherwise the desktop colour (-COLOR_BACKGROUND). So the empty cell never
// looks like a tile.
TColor ChooseEmptyColor(COLORREF desktop, COLORREF face);

// Chooses EmptyColor for dc, paints every cell and the frame (black left and top edges,
// button-face right and bottom edges) and returns the widest label's need.
std::int32_t PaintBoard(HDC dc);
