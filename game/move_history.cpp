// Undo and redo of the steps of one game.
#include "game/move_history.h"

void TMoveHistory::Clear() {
    FSteps.clear();
    FDone = 0;
}

void TMoveHistory::Record(const THistoryStep& step) {
    FSteps.resize(FDone);
    FSteps.push_back(step);
    FDone = FSteps.size();
}

const THistoryStep* TMoveHistory::Undo() {
    if (!CanUndo()) return nullptr;
    return &FSteps[--FDone];
}

const THistoryStep* TMoveHistory::Redo() {
    if (!CanRedo()) return nullptr;
    return &FSteps[FDone++];
}

THitResult UndoSlide(const THistoryStep& step) {
    if (step.zug == TZugArt::none) return {};
    return {Opposite[step.zug], step.distance};
}

THitResult RedoSlide(const THistoryStep& step) {
    if (step.zug == TZugArt::none) return {};
    return {step.zug, step.distance};
}
