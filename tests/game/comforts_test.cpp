// Tests of what a game keeps beside the board: positions and their text, undo steps, playing time, best results, the stored game.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <numeric>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/common_unit.h"
#include "common/platform.h"
#include "game/best_results.h"
#include "game/board.h"
#include "game/game_clock.h"
#include "game/move_history.h"
#include "game/position.h"
#include "game/saved_game.h"
#include "game/stored_text.h"
#include "settings/user_settings_file.h"
#include "tests/support/test_seed.h"

namespace {

using enum TZugArt;

std::string utf8(const std::u16string& s) { return platform::ToUtf8(s); }

std::string key(const TPosition& p) {
    return std::string(p.cells.begin(), p.cells.begin() + p.size * p.size);
}

TPosition solved(std::int32_t n) {
    BoardSize = n;
    InitBoard();
    return CurrentPosition();
}

class BoardState : public ::testing::Test {
protected:
    void TearDown() override {
        BoardSize = 4;
        InitBoard();
    }
};

// --- Positions -----------------------------------------------------------------------------

TEST_F(BoardState, PositionTextRoundTripsEverySizeAndPutsTheBoardBack) {
    std::mt19937 random(testsupport::testSeed());
    for (std::int32_t n = MinBoardSize; n <= MaxBoardSize; ++n) {
        SCOPED_TRACE(n);
        BoardSize = n;
        InitBoard();
        for (int i = 0; i < 300; ++i) MakeZug(static_cast<TZugArt>(random() % 4));
        const TPosition p = CurrentPosition();
        const TCellPos blank = Blank;
        const std::u16string text = PositionText(p);
        EXPECT_EQ(std::count(text.begin(), text.end(), u','), n * n - 1);
        EXPECT_NE(text.find(u'0'), std::u16string::npos) << "the empty cell is written as 0";
        const auto back = ParsePosition(text, n);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, p);

        InitBoard();
        ApplyPosition(*back);
        EXPECT_EQ(CurrentPosition(), p);
        EXPECT_EQ(Blank.column, blank.column);
        EXPECT_EQ(Blank.row, blank.row);
        EXPECT_EQ(BlankValue, n * n);
        EXPECT_TRUE(IsSolvable(p)) << "every position the slides reach";
    }
    EXPECT_EQ(PositionText(solved(3)), u"1,2,3,4,5,6,7,8,0");
}

TEST(Position, TextsThatAreNoPositionOfTheSizeGiveNothing) {
    const std::u16string ok = u"1,2,3,4,5,6,7,0,8";
    ASSERT_TRUE(ParsePosition(ok, 3));
    const char16_t* const bad[] = {
        u"",
        u"1,2,3,4,5,6,7,0",          // a number too few
        u"1,2,3,4,5,6,7,0,8,9",      // too many
        u"1,2,3,4,5,6,7,8,9",        // 9 is no cell of a 3 x 3 board
        u"1,1,3,4,5,6,7,0,8",        // twice
        u"1,2,3,4,5,6,7,,8",         // empty item
        u"1,2,3,4,5,6,7,0,8,",       // trailing comma
        u" 1,2,3,4,5,6,7,0,8",       // blank
        u"+1,2,3,4,5,6,7,0,8",       // sign
        u"-1,2,3,4,5,6,7,0,8",
        u"1;2;3;4;5;6;7;0;8",
        u"00000000001,2,3,4,5,6,7,0,8",  // more than nine digits
    };
    for (const char16_t* text : bad) EXPECT_FALSE(ParsePosition(text, 3)) << utf8(text);
    EXPECT_TRUE(ParsePosition(u"01,2,3,4,5,6,7,0,8", 3)) << "a leading zero names the same number";
    EXPECT_FALSE(ParsePosition(ok, 4));
    EXPECT_FALSE(ParsePosition(ok, 2));
    EXPECT_FALSE(ParsePosition(ok, 9));
}

// On 3 x 3 every permutation can be checked against what the slides really reach.
TEST_F(BoardState, SolvableIsExactlyWhatTheSlidesReachOnThreeByThree) {
    std::unordered_set<std::string> reached;
    std::deque<TPosition> queue{solved(3)};
    reached.insert(key(queue.front()));
    while (!queue.empty()) {
        const TPosition p = queue.front();
        queue.pop_front();
        for (const TZugArt z : {auf, ab, links, rechts}) {
            ApplyPosition(p);
            if (!MakeZug(z)) continue;
            const TPosition next = CurrentPosition();
            if (reached.insert(key(next)).second) queue.push_back(next);
        }
    }
    EXPECT_EQ(reached.size(), 362880u / 2);

    TPosition p = solved(3);
    std::size_t solvable = 0;
    do {
        const bool expected = reached.count(key(p)) > 0;
        ASSERT_EQ(IsSolvable(p), expected) << utf8(PositionText(p));
        solvable += expected;
    } while (std::next_permutation(p.cells.begin(), p.cells.begin() + 9));
    EXPECT_EQ(solvable, reached.size());
}

// On the even boards the empty cell's row matters: positions the slides reach pass, the same
// with two tiles swapped fails, wherever the empty cell is.
TEST_F(BoardState, SwappingTwoTilesMakesAnyReachedPositionUnsolvable) {
    std::mt19937 random(testsupport::testSeed());
    for (std::int32_t n = MinBoardSize; n <= MaxBoardSize; ++n) {
        SCOPED_TRACE(n);
        BoardSize = n;
        InitBoard();
        for (int round = 0; round < 50; ++round) {
            for (int i = 0; i < 37; ++i) MakeZug(static_cast<TZugArt>(random() % 4));
            TPosition p = CurrentPosition();
            ASSERT_TRUE(IsSolvable(p));
            // Two tiles, never the empty cell.
            std::vector<std::size_t> tiles(static_cast<std::size_t>(n * n));
            std::iota(tiles.begin(), tiles.end(), 0);
            std::erase_if(tiles, [&](std::size_t i) { return p.cells[i] == n * n; });
            std::shuffle(tiles.begin(), tiles.end(), random);
            std::swap(p.cells[tiles[0]], p.cells[tiles[1]]);
            ASSERT_FALSE(IsSolvable(p)) << utf8(PositionText(p));
        }
    }
}

TEST(Position, SolvedPositionIsTheReadingOrderWithTheEmptyCellLast) {
    EXPECT_TRUE(IsSolvedPosition(*ParsePosition(u"1,2,3,4,5,6,7,8,0", 3)));
    EXPECT_FALSE(IsSolvedPosition(*ParsePosition(u"1,2,3,4,5,6,7,0,8", 3)));
    EXPECT_FALSE(IsSolvedPosition(*ParsePosition(u"0,1,2,3,4,5,6,7,8", 3)));
    EXPECT_FALSE(IsSolvedPosition(TPosition{})) << "no cells";
}

// --- Undo steps ----------------------------------------------------------------------------

THistoryStep step(std::int32_t from, std::int32_t to, TZugArt z = links, std::int32_t d = 1) {
    THistoryStep s;
    s.before.moves = from;
    s.after.moves = to;
    s.zug = z;
    s.distance = d;
    return s;
}

TEST(MoveHistory, UndoAndRedoWalkTheStepsAndANewStepDropsTheUndoneOnes) {
    TMoveHistory h;
    EXPECT_EQ(h.Undo(), nullptr);
    EXPECT_EQ(h.Redo(), nullptr);
    for (std::int32_t i = 0; i < 4; ++i) h.Record(step(i, i + 1));
    EXPECT_EQ(h.UndoCount(), 4u);
    EXPECT_EQ(h.Undo()->before.moves, 3);
    EXPECT_EQ(h.Undo()->before.moves, 2);
    EXPECT_EQ(h.Undo()->before.moves, 1);
    EXPECT_EQ(h.RedoCount(), 3u);
    EXPECT_EQ(h.Redo()->after.moves, 2);
    EXPECT_EQ(h.UndoCount(), 2u);

    h.Record(step(2, 9));
    EXPECT_FALSE(h.CanRedo()) << "the undone steps are gone";
    EXPECT_EQ(h.UndoCount(), 3u);
    EXPECT_EQ(h.Undo()->after.moves, 9);
    EXPECT_EQ(h.Undo()->after.moves, 2);
    EXPECT_EQ(h.Undo()->after.moves, 1);
    EXPECT_EQ(h.Undo(), nullptr);
    EXPECT_EQ(h.RedoCount(), 3u);

    h.Clear();
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.CanRedo());
}

TEST(MoveHistory, SlidesOfUndoAreTheOppositeOfTheStepsAndNoneForAnArrangement) {
    for (const TZugArt z : {auf, ab, links, rechts}) {
        const THistoryStep s = step(0, 1, z, 3);
        EXPECT_EQ(UndoSlide(s).zug, Opposite[z]);
        EXPECT_EQ(UndoSlide(s).distance, 3);
        EXPECT_EQ(RedoSlide(s).zug, z);
        EXPECT_EQ(RedoSlide(s).distance, 3);
    }
    EXPECT_EQ(UndoSlide(step(0, 0, none, 0)).zug, none);
    EXPECT_EQ(RedoSlide(step(0, 0, none, 0)).distance, 0);
}

// Whole games: every state on the way comes back by undo and goes forward again by redo.
TEST_F(BoardState, UndoingEveryStepOfAGameRetracesItExactly) {
    std::mt19937 random(testsupport::testSeed());
    BoardSize = 5;
    InitBoard();
    TMoveHistory h;
    std::vector<TGameState> states{{CurrentPosition(), 0}};
    for (std::int32_t move = 1; states.size() < 60;) {
        const TGameState before{CurrentPosition(), move - 1};
        const auto z = static_cast<TZugArt>(random() % 4);
        if (!MakeZug(z)) continue;
        h.Record({before, {CurrentPosition(), move}, z, 1});
        states.push_back({CurrentPosition(), move++});
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        const THistoryStep* s = h.Undo();
        ASSERT_NE(s, nullptr);
        // The undo slide itself leads there too.
        ApplyPosition(s->after.position);
        ASSERT_TRUE(MakeZug(UndoSlide(*s).zug));
        EXPECT_EQ(CurrentPosition(), states[i - 1].position);
        EXPECT_EQ(s->before, states[i - 1]);
    }
    for (std::size_t i = 1; i < states.size(); ++i) EXPECT_EQ(h.Redo()->after, states[i]);
}

// --- Playing time --------------------------------------------------------------------------

TEST(GameClock, CountsOnlyTheStretchesInWhichItRan) {
    TGameClock c;
    EXPECT_EQ(c.ElapsedMs(5000), 0);
    c.Run(true, 1000);
    c.Run(true, 4000);  // already running: the stretch goes on from 1000
    EXPECT_EQ(c.ElapsedMs(4500), 3500);
    c.Run(false, 6000);
    EXPECT_EQ(c.ElapsedMs(90000), 5000);
    c.Run(false, 7000);
    c.Run(true, 100000);
    EXPECT_EQ(c.Seconds(102999), 7) << "whole seconds";
    EXPECT_EQ(c.ElapsedMs(50), 5000) << "a clock that went back adds nothing";
    c.Reset(65000);
    EXPECT_FALSE(c.Running());
    EXPECT_EQ(c.Seconds(1'000'000), 65);
    c.Reset(-5);
    EXPECT_EQ(c.ElapsedMs(0), 0);
}

// --- Best results --------------------------------------------------------------------------

TEST(BestResults, OnlyExactlyWrittenKeysAndValuesAreTaken) {
    struct Case {
        const char16_t* key;
        const char16_t* value;
        bool valid;
    };
    const Case cases[] = {
        {u"4x4-200", u"57,192", true},
        {u"3x3-1", u"1,0", true},
        {u"8x8-999999999", u"999999999,999999999", true},
        {u"2x2-10", u"5,3", false},
        {u"9x9-10", u"5,3", false},
        {u"4x5-10", u"5,3", false},
        {u"04x04-10", u"5,3", false},
        {u"4x4-010", u"5,3", false},
        {u"4x4-0", u"5,3", false},
        {u"4x4--5", u"5,3", false},
        {u"4X4-10", u"5,3", false},
        {u"4x4-10 ", u"5,3", false},
        {u"4x4", u"5,3", false},
        {u"4x4-1000000000", u"5,3", false},
        {u"4x4-10", u"0,3", false},
        {u"4x4-10", u"-5,3", false},
        {u"4x4-10", u"5,-3", false},
        {u"4x4-10", u"5", false},
        {u"4x4-10", u"5,3,1", false},
        {u"4x4-10", u"5,", false},
        {u"4x4-10", u"05,3", false},
        {u"4x4-10", u"2147483648,3", false},
        {u"4x4-10", u"5,1000000000", false},
        {u"4x4-10", u"f\u00FCnf,drei", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(std::u16string(c.key) + u"=" + c.value));
        const auto key = ParseResultKey(c.key);
        const auto value = ParseResultValue(c.value);
        EXPECT_EQ(key && value, c.valid);
        TBestResults results;
        results.Load({std::u16string(c.key) + u"=" + c.value});
        EXPECT_EQ(!results.Empty(), c.valid);
        if (c.valid) {
            EXPECT_EQ(ResultKeyText(*key), c.key);
            EXPECT_EQ(ResultValueText(*value), c.value);
        }
    }
}

TEST(BestResults, FewerMovesWinThenLessTimeAndTheBetterOfTwoStoredLinesIsKept) {
    TBestResults r;
    const TResultKey k{4, 200};
    EXPECT_TRUE(r.Enter(k, {50, 300}));
    EXPECT_FALSE(r.Enter(k, {51, 10}));
    EXPECT_FALSE(r.Enter(k, {50, 300}));
    EXPECT_FALSE(r.Enter(k, {50, 301}));
    EXPECT_TRUE(r.Enter(k, {50, 299}));
    EXPECT_TRUE(r.Enter(k, {49, 5000}));
    EXPECT_EQ(*r.Find(k), (TBestResult{49, 5000}));
    EXPECT_TRUE(r.Enter({4, 10}, {80, 80})) << "another shuffle count competes on its own";
    EXPECT_TRUE(r.Enter({3, 200}, {80, 80})) << "so does another size";
    EXPECT_EQ(r.Entries(), (std::vector<std::pair<std::u16string, std::u16string>>{
                               {u"3x3-200", u"80,80"}, {u"4x4-10", u"80,80"}, {u"4x4-200", u"49,5000"}}));

    TBestResults loaded;
    loaded.Load({u"4x4-10=9,9", u"no line", u"4x4-10=8,20", u"4x4-10=8,30", u"=", u"4x4-10="});
    EXPECT_EQ(*loaded.Find({4, 10}), (TBestResult{8, 20}));
}

TEST(BestResults, TheBoxNamesSizeShuffleMovesAndTime) {
    EXPECT_EQ(PlayTimeText(0), u"0:00");
    EXPECT_EQ(PlayTimeText(59), u"0:59");
    EXPECT_EQ(PlayTimeText(192), u"3:12");
    EXPECT_EQ(PlayTimeText(3600), u"1:00:00");
    EXPECT_EQ(PlayTimeText(999999999), u"277777:46:39");
    EXPECT_EQ(PlayTimeText(-1), u"0:00");

    TBestResults r;
    EXPECT_EQ(BestResultsText(r), u"Noch keine Bestwerte.");
    r.Enter({5, 10}, {1, 0});
    r.Enter({4, 200}, {57, 192});
    r.Enter({4, 1}, {3, 4000});
    EXPECT_EQ(BestResultsText(r), u"4x4, 1 Mischzug: 3 Züge in 1:06:40\n"
                                  u"4x4, 200 Mischzüge: 57 Züge in 3:12\n"
                                  u"5x5, 10 Mischzüge: 1 Zug in 0:00");
}

// --- The stored sections -------------------------------------------------------------------

class StoredSections : public BoardState {
protected:
    static void SetUpTestSuite() { StartCommonUnit(); }
    static void TearDownTestSuite() { EndCommonUnit(); }

    void SetUp() override {
        FPath = platform::ModulePath();
        FPath.resize(FPath.rfind(platform::PathSeparator()) + 1);
        FPath += u"comforts_" + platform::FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()) + u".ini";
        platform::RemoveFile(FPath);
    }
    void TearDown() override {
        platform::RemoveFile(FPath);
        BoardState::TearDown();
    }

    void writeFile(const std::string& lines) { ASSERT_TRUE(platform::WriteFileAtomic(FPath, "\xEF\xBB\xBF" + lines)); }
    std::string fileText() {
        std::string bytes;
        platform::ReadFileBytes(FPath, bytes);
        return bytes.size() >= 3 ? bytes.substr(3) : bytes;
    }

    std::u16string FPath;
};

TEST_F(StoredSections, AGameWrittenAndReadBackIsTheSameAndAnUnchangedOneWritesNothing) {
    const TPosition board = *ParsePosition(u"1,2,3,4,5,6,0,7,8", 3);
    const TPosition start = *ParsePosition(u"1,2,3,4,0,6,7,5,8", 3);
    {
        TUserSettingsFile settings(FPath);
        WriteSavedGame(settings, TSavedGame{board, start, 17, 65, true});
        TBestResults r;
        r.Enter({3, 10}, {7, 8});
        WriteBestResults(settings, r);
    }
    EXPECT_EQ(fileText(), "[Game]\r\nBoard=1,2,3,4,5,6,0,7,8\r\nStart=1,2,3,4,0,6,7,5,8\r\nMoves=17\r\nSeconds=65\r\n"
                          "Assisted=1\r\n\r\n[Records]\r\n3x3-10=7,8\r\n\r\n");

    TUserSettingsFile settings(FPath);
    const auto game = ReadSavedGame(settings, 3);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->board, board);
    EXPECT_EQ(game->start, start);
    EXPECT_EQ(game->moves, 17);
    EXPECT_EQ(game->seconds, 65);
    EXPECT_TRUE(game->assisted);
    EXPECT_FALSE(ReadSavedGame(settings, 4)) << "another size";
    const TBestResults r = ReadBestResults(settings);
    EXPECT_EQ(*r.Find({3, 10}), (TBestResult{7, 8}));

    WriteSavedGame(settings, game);
    WriteBestResults(settings, r);
    EXPECT_FALSE(settings.Ini().Modified()) << "the same lines are not written again";
    WriteSavedGame(settings, std::nullopt);
    EXPECT_TRUE(settings.Ini().Modified());
    EXPECT_FALSE(ReadSavedGame(settings, 3));
}

TEST_F(StoredSections, HostileSectionsAreIgnoredAndRewrittenWhole) {
    writeFile("Size=3\r\n\r\n[Game]\r\nBoard=1,2,3,4,5,6,0,7,8\r\nStart=1,2,3\r\nMoves=-4\r\nSeconds=1e9\r\n"
              "; a comment\r\nBoard=9,9,9\r\njunk\r\n\r\n"
              "[Records]\r\n3x3-10=7,8\r\n3x3-10=6,80\r\n3x3-10=abc\r\n9x9-1=1,1\r\n3x3-5=-1,2\r\nbare words\r\n\r\n");
    TUserSettingsFile settings(FPath);
    EXPECT_FALSE(ReadSavedGame(settings, 3));
    const TBestResults r = ReadBestResults(settings);
    EXPECT_EQ(r.Entries(), (std::vector<std::pair<std::u16string, std::u16string>>{{u"3x3-10", u"6,80"}}));

    WriteSavedGame(settings, TSavedGame{*ParsePosition(u"1,2,3,4,5,6,0,7,8", 3), *ParsePosition(u"1,2,3,4,5,6,0,7,8", 3), 0, 0, false});
    WriteBestResults(settings, r);
    settings.Save();
    EXPECT_EQ(fileText(), "Size=3\r\n\r\n[Game]\r\nBoard=1,2,3,4,5,6,0,7,8\r\nStart=1,2,3,4,5,6,0,7,8\r\nMoves=0\r\nSeconds=0\r\n\r\n"
                          "[Records]\r\n3x3-10=6,80\r\n\r\n");
}

TEST(StoredText, CountsAreOneToNineDigitsOnly) {
    EXPECT_EQ(ParseStoredCount(u"0"), 0);
    EXPECT_EQ(ParseStoredCount(u"999999999"), MaxStoredCount);
    for (const char16_t* bad : {u"", u"1000000000", u"-1", u"+1", u" 1", u"1 ", u"1.0", u"0x10", u"\uFF11"})
        EXPECT_FALSE(ParseStoredCount(bad)) << utf8(bad);
    EXPECT_EQ(CountText(0), u"0");
    EXPECT_EQ(CountText(-42), u"-42");
    EXPECT_EQ(SplitAtCommas(u"a,,b"), (std::vector<std::u16string_view>{u"a", u"", u"b"}));
    EXPECT_EQ(SplitAtCommas(u""), (std::vector<std::u16string_view>{u""}));
}

}  // namespace
