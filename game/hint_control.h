// The hint and the demonstration of the puzzle window: the solver's search on a worker
// thread, its answer as a posted message, and the demonstration's window timer.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/board.h"
#include "game/solver/solver.h"

// Posted by the worker when a search has ended; wParam carries the search's number.
inline constexpr UINT HintFoundMessage = WM_APP + 40;
// The demonstration's timer, and the pause between its moves.
inline constexpr UINT_PTR DemonstrationTimer = 141;
inline constexpr UINT DemonstrationPace = 450;  // milliseconds

// The search of the hint, run on the worker thread: the program's solver unless a test puts
// another in its place.
using THintSearch = std::function<solver::TSolution(const std::vector<std::uint8_t>& cells, const std::atomic<bool>& cancel)>;
extern THintSearch HintSearch;

// A click, key or menu command of the player (the demonstration's own command excepted).
bool IsPlayerInput(UINT msg, WPARAM wParam);

class THintControl {
public:
    // window receives the answers and the timer; playMove makes a move the way a player's
    // click on the moving tile makes it (sound, count, repaint, solved box).
    THintControl(HWND window, std::function<void(TZugArt)> playMove);
    // Cancels a search and waits for its thread, which ends within milliseconds.
    ~THintControl();
    THintControl(const THintControl&) = delete;
    THintControl& operator=(const THintControl&) = delete;

    // Command 140: the next move of the shortest solution known, searched first if need be.
    void Hint();
    // Command 141: the rest of the solution at a pace a person can follow.
    void Demonstrate();
    // Any click, key or command other than the demonstration's own ends the demonstration.
    void StopDemonstration();
    // The board changed other than by a move of ours: a search for the old board stops.
    void BoardChanged();
    // Ends any search at once (the window is closing).
    void Shutdown();

    // The hint's answer and the demonstration's timer; true when msg was one of them.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // The text of the hint's menu item: the moves still to go when known, with its shortcut.
    std::u16string MenuText() const;
    // A search for the board as it is, unless one is known or running, so that the moves to
    // go can be shown (the menu calls it when it opens).
    void Anticipate();

    bool Searching() const { return static_cast<bool>(FJob); }
    bool Demonstrating() const { return FDemonstrating; }
    // The moves to go for the board as it is; -1 when not known. Exact unless IsBound.
    std::int32_t MovesToGo() const;
    bool IsBound() const { return FKnown && !FOptimal; }
    // The solution's next move for the board as it is; none when not known.
    TZugArt NextMove() const { return MovesToGo() > 0 ? FMoves[FNext] : TZugArt::none; }

private:
    enum class TWant : std::uint8_t { nothing, hint, demonstration };
    struct TJob;

    std::vector<std::uint8_t> boardCells() const;
    bool solutionFits() const;
    void search(TWant want);
    void finish(std::uint32_t serial);
    void playNext();
    void stopSearch();

    HWND FWindow;
    std::function<void(TZugArt)> FPlayMove;
    // The solution in hand: the moves still to play from the board FAt.
    bool FKnown = false;
    bool FOptimal = false;
    std::vector<TZugArt> FMoves;
    std::size_t FNext = 0;
    std::vector<std::uint8_t> FAt;
    bool FDemonstrating = false;
    bool FPlaying = false;
    TWant FWant = TWant::nothing;
    std::shared_ptr<TJob> FJob;
    std::thread FWorker;
    std::uint32_t FSerial = 0;
};
