// The steps of one game that can be taken back and made again, free of any window code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/board.h"
#include "game/position.h"

// What a step restores: the board and the move count.
struct TGameState {
    TPosition position;
    std::int32_t moves = 0;

    bool operator==(const TGameState&) const = default;
};

// One step of the player: the state before and after it, and the slide it was. A step that was
// no single slide (the tiles put in order at once) has zug none and distance 0.
struct THistoryStep {
    TGameState before;
    TGameState after;
    TZugArt zug = TZugArt::none;
    std::int32_t distance = 0;
};

// Unlimited undo and redo within a game. Recording a step after some were taken back drops
// those: they can no longer be made again.
class TMoveHistory {
public:
    void Clear();
    void Record(const THistoryStep& step);

    bool CanUndo() const { return FDone > 0; }
    bool CanRedo() const { return FDone < FSteps.size(); }
    std::size_t UndoCount() const { return FDone; }
    std::size_t RedoCount() const { return FSteps.size() - FDone; }

    // The step to take back (its before state is what to restore), or nullptr when none is left.
    const THistoryStep* Undo();
    // The step to make again (its after state is what to restore), or nullptr.
    const THistoryStep* Redo();

private:
    std::vector<THistoryStep> FSteps;
    std::size_t FDone = 0;  // steps made and not taken back: FSteps[0 .. FDone)
};

// The slide that takes a step back: the same tiles the other way. none for a step that was no slide.
THitResult UndoSlide(const THistoryStep& step);
// The slide that makes a step again.
THitResult RedoSlide(const THistoryStep& step);
