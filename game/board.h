// The puzzle board: tiles, moves, shuffle, solved test and tile labels, free of any window code.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// --- Board size ----------------------------------------------------------------------------

inline constexpr std::int32_t MinBoardSize = 3;
inline constexpr std::int32_t MaxBoardSize = 8;

// A side length the board can hold: values below 3 become 3, values above 8 become 8 (the
// nearest bound). The window passes every size it reads from the settings or computes from a
// menu command through this, and InitBoard applies it once more to BoardSize, so an
// out-of-range size never indexes past the 8 x 8 capacity.
constexpr std::int32_t ClampBoardSize(std::int32_t n) noexcept {
    return n < MinBoardSize ? MinBoardSize : (n > MaxBoardSize ? MaxBoardSize : n);
}

// --- Moves ---------------------------------------------------------------------------------

// A move, named after the direction in which a tile slides into the empty cell.
enum class TZugArt : std::uint8_t {
    auf,     // the tile below the empty cell moves up
    ab,      // the tile above the empty cell moves down
    links,   // the tile right of the empty cell moves left
    rechts,  // the tile left of the empty cell moves right
    none,    // no move
};

// Maps each move to the one that undoes it; indexed by the move. none maps to none.
struct TZugTable {
    std::array<TZugArt, 5> to;
    constexpr TZugArt operator[](TZugArt z) const { return to[static_cast<std::size_t>(z)]; }
};
inline constexpr TZugTable Opposite{{TZugArt::ab, TZugArt::auf, TZugArt::rechts, TZugArt::links, TZugArt::none}};

// --- Board state ---------------------------------------------------------------------------

// The cells, addressed 1-based as Board(column, row) with column 1 at the left and row 1 at
// the top; only columns and rows 1..BoardSize are in use.
class TBoard {
public:
    std::int32_t& operator()(std::int32_t column, std::int32_t row) {
        assert(column >= 1 && column <= MaxBoardSize && row >= 1 && row <= MaxBoardSize);
        return FCells[static_cast<std::size_t>(column - 1)][static_cast<std::size_t>(row - 1)];
    }
    std::int32_t operator()(std::int32_t column, std::int32_t row) const {
        assert(column >= 1 && column <= MaxBoardSize && row >= 1 && row <= MaxBoardSize);
        return FCells[static_cast<std::size_t>(column - 1)][static_cast<std::size_t>(row - 1)];
    }

private:
    std::array<std::array<std::int32_t, MaxBoardSize>, MaxBoardSize> FCells{};
};

// A cell position, 1-based.
struct TCellPos {
    std::int32_t column = 0;
    std::int32_t row = 0;
};

extern std::int32_t BoardSize;      // n, cells per side (3..8); 4 at start; persisted as "Size"
extern TBoard Board;                // tile k belongs at column (k-1) mod n + 1, row (k-1) div n + 1
extern TCellPos Blank;              // the cell that holds BlankValue
extern std::int32_t BlankValue;     // n * n, the number of the empty cell
extern std::int32_t MoveCount;      // moves of this game, raised by the window; reset by NewGame
extern std::int32_t MergeCount;     // random moves per shuffle; 100 at start; persisted as "Merge"
extern std::uint8_t LabelLanguage;  // labels of 3x3 and 4x4: 0 German, 1 English, 2 Russian

// --- Labels and colours --------------------------------------------------------------------

// A Windows colour value, 0x00BBGGRR, usable wherever Win32 takes a COLORREF.
using TRgbColor = std::uint32_t;

constexpr TRgbColor RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    return static_cast<TRgbColor>(red) | static_cast<TRgbColor>(green) << 8 | static_cast<TRgbColor>(blue) << 16;
}

inline constexpr TRgbColor TileRed = RgbColor(255, 0, 0);
inline constexpr TRgbColor TileYellow = RgbColor(255, 255, 0);
inline constexpr TRgbColor TileDarkCyan = RgbColor(0, 128, 128);

// Tile labels by language (row: 0 German, 1 English, 2 Russian) and tile number k at index
// k - 1; the last entry, the empty cell, is empty. In solved order each row spells a saying.
extern const std::array<std::array<std::u16string_view, 9>, 3> Labels3;
extern const std::array<std::array<std::u16string_view, 16>, 3> Labels4;

struct TCellText {
    std::u16string text;
    TRgbColor color = TileDarkCyan;
};

// The label and text colour of the tile in a cell; they depend only on the tile's number.
// 3x3 and 4x4 use the label tables (a LabelLanguage outside 0..2 reads as German); larger
// boards show the number between two blanks, the empty cell included.
TCellText CellText(std::int32_t column, std::int32_t row);

// --- Operations ----------------------------------------------------------------------------

// Solved order: every cell (c, r) holds (r - 1) * n + c, Blank = (n, n). Brings BoardSize into
// 3..8 first. MoveCount is left alone.
void InitBoard();

// The tile at Blank + (dc, dr) moves into the empty cell. No bounds check: callers check.
void ShiftBlank(std::int32_t dc, std::int32_t dr);

// Makes the move if it is possible; false (and no change) otherwise, always for none.
bool MakeZug(TZugArt z);

// count random legal moves (none for count < 1), never one that undoes the move before it.
// The first move from the solved board is therefore always ab. Sends no notification.
void Shuffle(std::int32_t count);
// The same, reporting each move made, in order, to onMove.
void Shuffle(std::int32_t count, const std::function<void(TZugArt)>& onMove);

// InitBoard, then Shuffle(MergeCount).
void NewBoard();

// What a click on a cell asks for: the direction and how many tiles slide (the clicked one
// included). Cells outside the empty cell's row and column, and the empty cell itself, give
// none with distance 0. Positions past the edge give a distance that the moves only partly
// carry out.
struct THitResult {
    TZugArt zug = TZugArt::none;
    std::int32_t distance = 0;
};
THitResult HitTest(std::int32_t column, std::int32_t row);

// True when tiles 1..n*n-1 are in reading order and the empty cell is bottom right.
bool IsSolved();

// MakeZug; when that made the move and the board is now solved, the solved notification is
// queued through BoardHooks.postSolved before returning true.
bool PlayZug(TZugArt z);

// MoveCount := 0, NewBoard, BoardHooks.gameStarted, and a repaint request through
// BoardHooks.repaint.
void NewGame();

// --- The board's ways to reach the window --------------------------------------------------

// WM_COMMAND id of the solved notification.
inline constexpr std::uintptr_t SolvedCommand = 190;

// The window installs both at start; an empty hook does nothing. Both run on the UI thread.
struct TBoardHooks {
    // Repaint the whole puzzle window.
    std::function<void()> repaint;
    // Post (never send) WM_COMMAND with these parameters to the puzzle window: wParam is
    // SolvedCommand, lParam carries the low 16 bits of MoveCount in its high word.
    std::function<void(std::uintptr_t wParam, std::intptr_t lParam)> postSolved;
    // A new game has been shuffled (by NewGame, whoever called it): what belonged to the game
    // before, such as its undo steps and its time, is over.
    std::function<void()> gameStarted;
};
extern TBoardHooks BoardHooks;

// Seeds the shuffle's random generator; the program calls it once at start.
void SeedBoardRandom(std::uint32_t seed);
