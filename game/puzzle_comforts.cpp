// TSForm1's undo and redo, start again, the game kept between runs, the playing time and the best results.
#include <windows.h>

#include <algorithm>

#include "common/text_helpers.h"
#include "game/puzzle_form.h"
#include "game/saved_game.h"
#include "game/stored_text.h"
#include "resources/resource_ids.h"
#include "settings/user_settings.h"
#include "smallib/fonts.h"
#include "smallib/shortcuts.h"

std::function<std::uint64_t()> PuzzleClock;

namespace {

std::uint64_t clockNow() { return PuzzleClock ? PuzzleClock() : GetTickCount64(); }

TGameState currentState() { return {CurrentPosition(), MoveCount}; }

std::int32_t storedCount(std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, MaxStoredCount)); }

}  // namespace

std::int32_t TSForm1::PlayMove(TZugArt zug, std::int32_t distance, const std::u16string& sound) {
    const TGameState before = currentState();
    ++MoveCount;
    PlayPuzzleSound(sound);
    std::int32_t slid = 0;
    for (std::int32_t i = 0; i < distance; ++i) slid += DoMove(zug) ? 1 : 0;
    // A press that slid nothing still counts, but leaves nothing to take back.
    if (slid > 0) FHistory.Record({before, currentState(), zug, slid});
    FClockStarted = true;
    updateClock();
    return slid;
}

bool TSForm1::Undo() { return replay(FHistory.Undo(), true); }
bool TSForm1::Redo() { return replay(FHistory.Redo(), false); }

bool TSForm1::replay(const THistoryStep* step, bool back) {
    if (!step) return false;
    if (step->zug != TZugArt::none) PlayPuzzleSound(SlideSound(back ? UndoSlide(*step) : RedoSlide(*step)));
    restore(back ? step->before : step->after);
    return true;
}

void TSForm1::restore(const TGameState& state) {
    ApplyPosition(state.position);
    MoveCount = state.moves;
    invalidate();
    updateClock();
}

void TSForm1::StartAgain() {
    FHistory.Clear();
    FClock.Reset();
    FClockStarted = false;
    // Help stays marked: the shuffle's solution has been seen.
    restore({FStart, 0});
}

void TSForm1::ShowSolution() {
    const TGameState before = currentState();
    InitBoard();
    invalidate();
    MarkAssisted();
    if (!(currentState() == before)) FHistory.Record({before, currentState(), TZugArt::none, 0});
    updateClock();
}

void TSForm1::ShowBestResults() { msgInfo(BestResultsText(FBestResults)); }

std::int64_t TSForm1::PlaySeconds() const { return FClock.Seconds(clockNow()); }

void TSForm1::gameStarted() {
    FStart = CurrentPosition();
    FHistory.Clear();
    FClock.Reset();
    FClockStarted = false;
    FAssisted = false;
    FShuffles = MergeCount;
    updateClock();
}

bool TSForm1::resumeSavedGame() {
    if (!UserSettings) return false;
    FBestResults = ReadBestResults(*UserSettings);
    const auto game = ReadSavedGame(*UserSettings, BoardSize);
    if (!game) return false;
    ApplyPosition(game->board);
    MoveCount = game->moves;
    FStart = game->start;
    FHistory.Clear();
    FClock.Reset(std::int64_t{game->seconds} * 1000);
    FClockStarted = game->moves > 0 || game->seconds > 0;
    FAssisted = game->assisted;
    FShuffles = MergeCount;
    invalidate();
    updateClock();
    return true;
}

void TSForm1::writeGame() const {
    if (!UserSettings) return;
    std::optional<TSavedGame> game;
    // Tiles in order are no game to come back to (the solution was shown, or nothing was shuffled).
    if (!IsSolved()) game = TSavedGame{CurrentPosition(), FStart, storedCount(MoveCount), storedCount(PlaySeconds()), FAssisted};
    WriteSavedGame(*UserSettings, game);
    WriteBestResults(*UserSettings, FBestResults);
}

void TSForm1::updateClock() { FClock.Run(FClockStarted && FActive && !IsSolved(), clockNow()); }

void TSForm1::windowActivated(WPARAM wParam) {
    FActive = LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0;
    updateClock();
}

std::u16string TSForm1::solvedMessage(std::int64_t count) {
    FClock.Run(false, clockNow());
    const std::int64_t seconds = PlaySeconds();
    std::u16string text = u"fertig nach " + CountText(count) + u" Zügen\nZeit: " + PlayTimeText(seconds);
    if (FAssisted || FShuffles < 1 || count < 1 || count > MaxStoredCount) return text;
    if (FBestResults.Enter({ClampBoardSize(BoardSize), storedCount(FShuffles)}, {storedCount(count), storedCount(seconds)})) {
        text += u" \u2013 neuer Bestwert!";
        if (UserSettings) WriteBestResults(*UserSettings, FBestResults);
    }
    return text;
}

bool TSForm1::translateCtrlShortcut(WPARAM vKey) {
    // The shortcut search of the form names no Ctrl prefix (the program has no text for it),
    // so the items that show "Strg+" are found here; a Ctrl key without such an item goes on
    // to the search as before.
    if (!CtrlDown() || ShiftDown() || AltDown()) return false;
    std::u16string keyText = u"Strg+" + KeyName(static_cast<unsigned>(vKey), MenuLanguage());
    MakeUpper(keyText);
    FSearchingCtrlShortcut = true;
    const WORD id = FindShortcutItem(Handle(), GetMenu(), keyText);
    FSearchingCtrlShortcut = false;
    if (id == 0) return false;
    PostMessageW(Handle(), WM_COMMAND, id, 0);
    return true;
}

void TSForm1::updateGameMenu() {
    MenuEnableItem(IDM_UNDO, FHistory.CanUndo());
    MenuEnableItem(IDM_REDO, FHistory.CanRedo());
}
