// TSForm1, the puzzle window: clicks and keys, sounds, menu commands, the solved message and the saved options.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/msgbox.h"
#include "game/board.h"
#include "smallib/form.h"

// --- The maker's addresses -----------------------------------------------------------------

inline constexpr std::u16string_view MakerWebSite = u"https://tessarino.example.org";
inline constexpr std::u16string_view MakerMail = u"info@tessarino.example.org";
// Opened by "&Hilfe" when zib.htm is not beside the program.
inline constexpr std::u16string_view HelpPageAddress = u"https://tessarino.example.org/apps/zib.htm";

// --- Limits on stored options --------------------------------------------------------------

// A stored "Merge" above this is taken as this: more random moves mix no better, and a huge
// count would keep the window from appearing (and every new game from starting) for minutes.
inline constexpr std::int32_t MaxMergeCount = 10000;

// The shuffle counts of "&Laie" and "&Experte".
inline constexpr std::int32_t BeginnerMergeCount = 10;
inline constexpr std::int32_t ExpertMergeCount = 200;

// --- The window ----------------------------------------------------------------------------

// The program's only window. All game state lives in the board's globals (game/board.h) and
// the cell geometry in those of the painting (game/tile_paint.h). Options are read once in
// CreatePuzzleForm and written in wmDestroy (or when the session ends), except "Sound",
// which is written whenever the menu toggles it.
class TSForm1 : public TSForm {
public:
    // Form "ZIB" with menu "ZIB", icon "MAINICON" and the light grey background.
    TSForm1();
    ~TSForm1() override;

    // Draws the board with the window's font, then fits the client width to the widest label:
    // each cell becomes the label's width + 6 pixels (at 96 dpi). When the window would then be
    // wider than the screen, its height shrinks by a quarter instead, which shrinks cells and
    // font.
    void paint(HDC dc) override;
    // The game's commands (menu ids of resources/resource_ids.h, 20 from the message loop,
    // 190 when the puzzle is solved, with the move count as NotifyCode); the rest goes to the
    // form. 6 answers WM_CLOSE (16) so that the form closes its window.
    int HandleCommand(WORD id, WORD NotifyCode) override;
    int wmInitMenuPopup(HMENU menu, int position, bool isSystemMenu) override;
    // A click on a cell in the empty cell's row or column slides every tile between them:
    // one move, one sound. A click elsewhere plays "ttt" and moves nothing.
    int wmLButtonDown(WORD SHift, int x, int y) override;
    // The arrow keys slide the tile next to the empty cell in the arrow's direction and always
    // count as a move; every key is handled here, so no key reaches the default procedure.
    int wmKeyDown(WPARAM& vKey) override;
    // Cells from the client size: the width divides it, the height at least MinCellHeight (at
    // BoardDpi), the client height snaps to whole cells and the font to three quarters of a
    // cell.
    void wmSize(WORD sizeType, int width, int height) override;
    // On a monitor of another scale: the suggested rectangle, then cells, font and the
    // smallest cell height for the new DPI.
    void wmDpiChanged(int dpi, const RECT& suggested) override;
    // Writes geometry, font and options to UserSettings, then plays "!buf" to its end.
    void wmDestroy() override;
    // When Windows ends the session it ends the process without destroying the window: the
    // options are written and saved at WM_ENDSESSION, or they would be lost.
    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;

    // Recomputes the cells for the current BoardSize, then starts a new game.
    void Redraw();
    // One step of the board; repaints the two cells that changed. False when the move is not
    // possible.
    bool DoMove(TZugArt zug);

private:
    friend TSForm1* CreatePuzzleForm();

    // The geometry to save: the normal (restored) rectangle while minimized or maximized.
    RECT savedBounds() const;
    // Geometry, font and options into UserSettings.
    void writeOptions() const;
    // A window restored entirely off every monitor comes back onto the primary one.
    void bringOntoMonitor();

    // The width of the menu bar's items side by side: the client width it needs on one line.
    std::int32_t menuBarWidth() const;

    // The client width that paint asked for last and the window has not reached yet.
    int FRequestedClientWidth = 0;
    // From a first start until the player sizes the window or the board: the cells are at
    // least as wide as the menu bar on one line needs.
    bool FMenuOnOneLine = false;
};

// The puzzle window while it exists.
extern TSForm1* PuzzleForm;

// Creates PuzzleForm, installs the board's hooks, restores geometry, font and options from
// UserSettings and shuffles the first game. Needs the application object. Raises Exception
// when the window cannot be created.
TSForm1* CreatePuzzleForm();

// --- Decisions of the painting, free of the window -----------------------------------------

enum class TCellWidthStep { none, setClientWidth, shrinkHeight };

struct TCellWidthPlan {
    TCellWidthStep step = TCellWidthStep::none;
    std::int32_t cellWidth = 0;    // the new CellWidth
    std::int32_t clientWidth = 0;  // for setClientWidth
};

// What paint does when the labels need cells of width need instead of CellWidth. n cells per
// side; frameWidth is the outer minus the client width; lastRequest the client width asked
// for before and not reached (0: none). The answer always ends the paint and size cycles:
// - the board fits the screen: ask for n * need + 3;
// - it does not, and the cells can still get lower (than MinCellHeight at BoardDpi): shrink
//   the height;
// - it does not even at the lowest cells: ask for the widest client area the screen allows;
// - a width the window has or could not reach before is not asked for again; the cells then
//   share the client width the window has.
TCellWidthPlan PlanCellWidth(std::int32_t need, std::int32_t n, std::int32_t frameWidth, std::int32_t clientWidth,
                             std::int32_t screenWidth, std::int32_t cellHeight, std::int32_t lastRequest);

// --- Sounds --------------------------------------------------------------------------------

// Every sound of the window passes here on its way to the application's playSound; a test
// may listen to learn which sound an event chose.
extern std::function<void(const std::u16string& name)> PuzzleSoundListener;

// --- The message box of the running game ---------------------------------------------------

// Installed in MsgBox before the settings are opened: Info shows a real information box
// (through the program's modal-box function) and returns, so that a message of a non-visual
// unit, such as undecodable bytes in the settings file, is shown instead of ending the program.
class TGameMsgBox : public TMsgBox {
public:
    int Info(const std::u16string& msg) override;
};
