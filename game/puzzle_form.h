// TSForm1, the puzzle window: clicks and keys, sounds, menu commands, the solved message and the saved options.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/msgbox.h"
#include "game/best_results.h"
#include "game/board.h"
#include "game/game_clock.h"
#include "game/hint_control.h"
#include "game/move_history.h"
#include "game/position.h"
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
// CreatePuzzleForm (the place and size also in atCreate) and written in wmDestroy (or when
// the session ends), except "Sound", which is written whenever the menu toggles it.
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
    // The stored place and size, so that the window is created there.
    void atCreate() override;
    // When Windows ends the session it ends the process without destroying the window: the
    // options are written and saved at WM_ENDSESSION, or they would be lost.
    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;

    // Recomputes the cells for the current BoardSize, then starts a new game.
    void Redraw();
    // One step of the board; repaints the two cells that changed. False when the move is not
    // possible.
    bool DoMove(TZugArt zug);

    // --- Undo and redo, start again, the kept game, time and best results ------------------
    // (game/puzzle_comforts.cpp)

    // A move of the player: counts one move, plays sound, slides up to distance tiles in the
    // direction zug and makes the tiles that slid one step of the history. The first move
    // starts the clock. Returns how many tiles slid. A hint makes its move through here too.
    std::int32_t PlayMove(TZugArt zug, std::int32_t distance, const std::u16string& sound);
    // Help was used in this game ("&Lösung", a hint, the demonstration): it enters no best
    // result, even when the helped steps are taken back or the game is started again.
    void MarkAssisted() { FAssisted = true; }
    bool Assisted() const { return FAssisted; }
    // Commands 150 and 151, each with the sound of the slide it makes; false when there is
    // nothing to take back or to make again.
    bool Undo();
    bool Redo();
    // Command 152: the tiles as the shuffle left them, no moves, no time, no steps.
    void StartAgain();
    // Command 181: the tiles in order as one step of the history, the moves kept; a helped game.
    void ShowSolution();
    // Command 153: the best results in a box.
    void ShowBestResults();
    // The seconds played in this game so far.
    std::int64_t PlaySeconds() const;
    const TMoveHistory& History() const { return FHistory; }
    const TPosition& StartPosition() const { return FStart; }
    const TBestResults& BestResults() const { return FBestResults; }

    // The hint and the demonstration ("&Tipp", "&Vorführen").
    THintControl& Hint() { return *FHint; }

private:
    friend TSForm1* CreatePuzzleForm();

    // A new shuffle (BoardHooks.gameStarted): no steps, no time, no help.
    void gameStarted();
    // Takes the stored game of the current size and the best results; false, with the board
    // untouched, when no game worth resuming is stored.
    bool resumeSavedGame();
    // The game in progress and the best results into UserSettings.
    void writeGame() const;
    // The clock runs from the first move while the window is active and the tiles are not in order.
    void updateClock();
    void windowActivated(WPARAM wParam);
    // Takes step back (back) or makes it again, with the sound of its slide; false for no step.
    bool replay(const THistoryStep* step, bool back);
    void restore(const TGameState& state);
    // Ctrl with a key: the enabled item whose shortcut text is "Strg+" and the key's name.
    bool translateCtrlShortcut(WPARAM vKey);
    // Grays undo and redo when there is nothing to take back or to make again.
    void updateGameMenu();
    // The solved message: the count, then the time and whether it is a new best result, which
    // is then entered and written.
    std::u16string solvedMessage(std::int64_t count);

    TPosition FStart;              // the position the shuffle left
    TMoveHistory FHistory;
    TGameClock FClock;
    TBestResults FBestResults;
    std::int32_t FShuffles = 0;    // MergeCount when this game was shuffled
    bool FAssisted = false;
    bool FClockStarted = false;    // a move was made (or the stored game had begun)
    bool FActive = false;          // the window is the active one and not minimized
    bool FSearchingCtrlShortcut = false;  // translateCtrlShortcut looks through the menu

    // The geometry to save: the normal (restored) rectangle while minimized or maximized.
    RECT savedBounds() const;
    // Geometry, font and options into UserSettings.
    void writeOptions() const;
    // A window restored entirely off every monitor comes back onto the primary one.
    void bringOntoMonitor();
    // A move of the hint or the demonstration takes the way of a click on the moving tile.
    void playHintMove(TZugArt zug);

    std::unique_ptr<THintControl> FHint;

    // The width of the menu bar's items side by side: the client width it needs on one line.
    std::int32_t menuBarWidth() const;
    // Runs paint's fitting of the cells to the labels on a memory context until the size holds,
    // so that the first paint on the screen already shows the cells at their final width.
    void settleCells();

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

// Plays a sound of the game (through PuzzleSoundListener and the application).
void PlayPuzzleSound(const std::u16string& name);
// The sound of a slide of distance tiles in direction zug, as a click plays it: "ttt" for none.
std::u16string SlideSound(const THitResult& slide);

// --- The clock of the playing time ---------------------------------------------------------

// Milliseconds of a steady clock; empty means the system's tick count. A test sets its own.
extern std::function<std::uint64_t()> PuzzleClock;

// --- The message box of the running game ---------------------------------------------------

// Installed in MsgBox before the settings are opened: Info shows a real information box
// (through the program's modal-box function) and returns, so that a message of a non-visual
// unit, such as undecodable bytes in the settings file, is shown instead of ending the program.
class TGameMsgBox : public TMsgBox {
public:
    int Info(const std::u16string& msg) override;
};
