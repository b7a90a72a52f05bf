// Tests of the puzzle window's undo and redo, start again, kept game, playing time and best results, on a real window.
#include "tests/game/puzzle_window_fixture.h"

#include <functional>

#include "game/position.h"

namespace {

using namespace puzzletest;
using enum TZugArt;

std::u16string positionText() { return PositionText(CurrentPosition()); }

// The solved n x n board with the empty cell moved by these moves, as stored text.
std::u16string arrangedText(std::int32_t n, std::initializer_list<TZugArt> moves) {
    const std::int32_t size = BoardSize;
    BoardSize = n;
    InitBoard();
    for (const TZugArt z : moves) MakeZug(z);
    const std::u16string text = positionText();
    BoardSize = size;
    return text;
}

std::u16string secondLine(const std::u16string& text) {
    const std::size_t br = text.find(u'\n');
    return br == std::u16string::npos ? u"" : text.substr(br + 1);
}

class PuzzleComforts : public PuzzleWindow {
protected:
    void SetUp() override {
        PuzzleWindow::SetUp();
        PuzzleClock = [this] { return now; };
    }

    void activate(WORD state = WA_ACTIVE, bool minimized = false) {
        SendMessageW(PuzzleForm->Handle(), WM_ACTIVATE, MAKEWPARAM(state, minimized ? 1 : 0), 0);
    }
    void ctrlKey(WPARAM vKey) {
        {
            const KeysDown ctrl({VK_CONTROL});
            key(vKey);
        }
        pumpMessagesDroppingQuit();
    }
    bool grayed(UINT id) {
        HMENU const menu = GetMenu(PuzzleForm->Handle());
        SendMessageW(PuzzleForm->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, 0)), 0);
        return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }
    void close() {
        DestroyWindow(PuzzleForm->Handle());
        pumpMessagesDroppingQuit();
        ASSERT_EQ(PuzzleForm, nullptr);
    }

    std::uint64_t now = 1'000'000;
};

// --- Undo and redo -------------------------------------------------------------------------

TEST_F(PuzzleComforts, UndoAndRedoRestoreBoardAndCountWithTheSoundOfTheirSlide) {
    create();
    arrange(4, {ab, rechts});  // the empty cell at (3, 3)
    std::vector<std::u16string> boards{positionText()};
    EXPECT_TRUE(grayed(IDM_UNDO));
    EXPECT_TRUE(grayed(IDM_REDO));

    click(1, 3);  // two tiles right: one step
    boards.push_back(positionText());
    click(1, 1);  // two tiles down
    boards.push_back(positionText());
    key(VK_UP);    // the tile below moves up
    key(VK_DOWN);  // and down again: a step of its own
    key(VK_RIGHT);
    key(VK_RIGHT);  // the empty cell is at the left edge: counted, but nothing slides
    ASSERT_EQ(MoveCount, 6);
    ASSERT_EQ(PuzzleForm->History().UndoCount(), 4u);
    ASSERT_EQ(positionText(), boards[2]);
    sounds.clear();

    // Taken back through the menu item's shortcut and through the command, each step in turn
    // with the sound of the tiles sliding back.
    ctrlKey('Z');
    EXPECT_NE(positionText(), boards[2]) << "the tile is up again";
    EXPECT_EQ(MoveCount, 3) << "the count as before the step";
    ctrlKey('Z');
    EXPECT_EQ(sounds, (std::vector<std::u16string>{u"up", u"down"}));
    EXPECT_EQ(positionText(), boards[2]);
    EXPECT_EQ(MoveCount, 2);
    sounds.clear();
    command(IDM_UNDO);
    command(IDM_UNDO);
    EXPECT_EQ(sounds, (std::vector<std::u16string>{u"flup", u"reib"})) << "several tiles back: up, then left";
    EXPECT_EQ(positionText(), boards[0]);
    EXPECT_EQ(MoveCount, 0);
    EXPECT_TRUE(grayed(IDM_UNDO));
    EXPECT_FALSE(grayed(IDM_REDO));

    sounds.clear();
    ctrlKey('Z');  // nothing left: the item is grayed
    command(IDM_UNDO);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(positionText(), boards[0]);

    ctrlKey('Y');
    command(IDM_REDO);
    EXPECT_EQ(sounds, (std::vector<std::u16string>{u"reib", u"flup"}));
    EXPECT_EQ(positionText(), boards[2]);
    EXPECT_EQ(MoveCount, 2) << "the count as after the step";

    // A new move drops what could be made again.
    click(4, 1);
    EXPECT_EQ(MoveCount, 3);
    EXPECT_FALSE(PuzzleForm->Redo());
    EXPECT_TRUE(grayed(IDM_REDO));
    EXPECT_TRUE(PuzzleForm->Undo());
    EXPECT_EQ(positionText(), boards[2]);

    // Without Ctrl the letters choose nothing.
    key('Z');
    key('Y');
    pumpMessagesDroppingQuit();
    EXPECT_EQ(positionText(), boards[2]);
    EXPECT_TRUE(PuzzleForm->History().CanRedo());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PuzzleComforts, SolutionIsAStepAndEveryNewGameOrSizeClearsTheSteps) {
    create();
    arrange(4, {ab, rechts, ab});
    click(3, 4);
    const std::u16string before = positionText();
    command(IDM_SOLUTION);
    EXPECT_TRUE(IsSolved());
    EXPECT_EQ(MoveCount, 1);
    EXPECT_TRUE(PuzzleForm->Assisted());
    command(IDM_UNDO);
    EXPECT_EQ(positionText(), before);
    EXPECT_EQ(MoveCount, 1);
    command(IDM_REDO);
    EXPECT_TRUE(IsSolved());
    pumpMessagesDroppingQuit();
    EXPECT_TRUE(boxes.empty()) << "tiles put in order by the solution or by redo are no win";

    for (const WORD id : {IDM_NEW_GAME, IDM_MORE_CELLS, IDM_FEWER_CELLS, IDM_EXPERT, IDM_LABELS_ENGLISH}) {
        SCOPED_TRACE(id);
        arrange(4, {ab, rechts});
        click(1, 3);
        command(IDM_SOLUTION);
        ASSERT_TRUE(PuzzleForm->History().CanUndo());
        command(id);
        EXPECT_FALSE(PuzzleForm->History().CanUndo());
        EXPECT_FALSE(PuzzleForm->History().CanRedo());
        EXPECT_FALSE(PuzzleForm->Assisted()) << "a new shuffle is a game of its own";
        EXPECT_EQ(PuzzleForm->StartPosition(), CurrentPosition());
    }
}

// --- Start again ---------------------------------------------------------------------------

TEST_F(PuzzleComforts, StartAgainPutsBackTheShuffleWithCountAndTimeAtZero) {
    create();
    activate();
    arrange(4, {ab, rechts, ab, rechts});
    const std::u16string shuffled = positionText();
    for (const WPARAM k : {VK_UP, VK_LEFT, VK_DOWN, VK_RIGHT, VK_UP}) key(k);
    now += 61'000;
    ASSERT_EQ(PuzzleForm->PlaySeconds(), 61);
    ASSERT_NE(positionText(), shuffled);
    command(IDM_START_AGAIN);
    EXPECT_EQ(positionText(), shuffled);
    EXPECT_EQ(MoveCount, 0);
    EXPECT_EQ(PuzzleForm->PlaySeconds(), 0);
    EXPECT_FALSE(PuzzleForm->History().CanUndo());
    now += 5'000;
    EXPECT_EQ(PuzzleForm->PlaySeconds(), 0) << "the time waits for the first move";
    key(VK_LEFT);
    now += 2'000;
    EXPECT_EQ(PuzzleForm->PlaySeconds(), 2);
    // Help seen in this shuffle stays with it.
    command(IDM_SOLUTION);
    command(IDM_START_AGAIN);
    EXPECT_EQ(positionText(), shuffled);
    EXPECT_TRUE(PuzzleForm->Assisted());
}

// --- Time ----------------------------------------------------------------------------------

TEST_F(PuzzleComforts, TimeRunsFromTheFirstMoveWhileActiveAndUnsolved) {
    create();
    arrange(4, {ab});  // the empty cell at (4, 3)
    struct Step {
        const char* what;
        std::function<void()> act;
        std::uint64_t ms;  // passing after it
        std::int64_t seconds;
    };
    const Step steps[] = {
        {"active, but no move yet", [&] { activate(); }, 5'000, 0},
        {"from the first move", [&] { click(4, 1); }, 7'400, 7},
        {"inactive", [&] { activate(WA_INACTIVE); }, 100'000, 7},
        {"minimized", [&] { activate(WA_CLICKACTIVE, true); }, 100'000, 7},
        {"active again", [&] { activate(WA_CLICKACTIVE); }, 3'000, 10},
        {"solved", [&] { command(IDM_SOLUTION); }, 50'000, 10},
        {"not solved after undo", [&] { command(IDM_UNDO); }, 2'000, 12},
        {"back where the game began: the time goes on", [&] { command(IDM_UNDO); }, 1'000, 13},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        now += step.ms;
        EXPECT_EQ(PuzzleForm->PlaySeconds(), step.seconds);
    }

    // The solved message adds the time; a helped game enters no best result.
    click(4, 4);
    now += 60'000;
    pumpMessagesDroppingQuit();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], u"fertig nach 1 Zügen\nZeit: 0:13");
    EXPECT_TRUE(PuzzleForm->BestResults().Empty());
}

// --- Best results --------------------------------------------------------------------------

TEST_F(PuzzleComforts, BestResultIsFewestMovesThenShortestTimeAndHelpedGamesEnterNone) {
    create({{{u"", u"Merge"}, u"1"}});
    activate();
    // Each game: one shuffle move, the empty cell above the corner; each row the moves of a
    // game that ends in the corner, its time, and whether it is a new best result.
    struct Case {
        const char* what;
        std::vector<TCellPos> clicks;
        std::int64_t ms;
        bool help;
        bool best;
        std::u16string stored;
    };
    // The time runs from the first move; a one-move game takes no time.
    const std::vector<TCellPos> three{{3, 3}, {4, 3}, {4, 4}};
    const Case cases[] = {
        {"first", three, 5'300, false, true, u"3,5"},
        {"as many moves, slower", three, 9'000, false, false, u"3,5"},
        {"as many moves, as fast", three, 5'000, false, false, u"3,5"},
        {"more moves, faster", {{3, 3}, {4, 3}, {3, 3}, {4, 3}, {4, 4}}, 1'000, false, false, u"3,5"},
        {"as many moves, faster", three, 2'000, false, true, u"3,2"},
        {"fewer moves, after the solution was shown", {{4, 4}}, 0, true, false, u"3,2"},
        {"fewer moves", {{4, 4}}, 0, false, true, u"1,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        ASSERT_EQ(Blank.row, 3);
        if (c.help) {
            command(IDM_SOLUTION);
            command(IDM_UNDO);
        }
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            click(c.clicks[i].column, c.clicks[i].row);
            if (i == 0) now += static_cast<std::uint64_t>(c.ms);
        }
        pumpMessagesDroppingQuit();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(firstLine(boxes[0]), u"fertig nach " + platform::FromUtf8(std::to_string(c.clicks.size())) + u" Zügen");
        EXPECT_EQ(secondLine(boxes[0]).find(u"neuer Bestwert") != std::u16string::npos, c.best) << utf8(boxes[0]);
        EXPECT_EQ(stored(u"Records", u"4x4-1"), c.stored) << "written when entered";
        EXPECT_EQ(settings->values.count({u"Game", u"Board"}), 0u) << "nothing else is written before the end";
    }

    boxes.clear();
    command(IDM_BEST_RESULTS);
    EXPECT_EQ(boxes, std::vector<std::u16string>{u"4x4, 1 Mischzug: 1 Zug in 0:00"});
}

TEST_F(PuzzleComforts, StoredBestResultsOnlyValidOnesCountAndTheSectionIsRewritten) {
    create({{{u"Records", u"4x4-200"}, u"57,192"},
            {{u"Records", u"3x3-10"}, u"9,4000"},
            {{u"Records", u"4x4-10"}, u"garbage"},
            {{u"Records", u"5x5-10"}, u"5,-3"},
            {{u"Records", u"6x6-10"}, u"0,3"},
            {{u"Records", u"7x7-10"}, u"99999999999,1"},
            {{u"Records", u"8x8-10"}, u"3,4,5"},
            {{u"Records", u"8x8-20"}, u"3"},
            {{u"Records", u"9x9-10"}, u"5,3"},
            {{u"Records", u"4x5-10"}, u"5,3"},
            {{u"Records", u"04x4-10"}, u"5,3"},
            {{u"Records", u"4x4-0"}, u"5,3"},
            {{u"Records", u"4x4--5"}, u"5,3"},
            {{u"Records", u"Rekord"}, u"1,1"}});
    command(IDM_BEST_RESULTS);
    EXPECT_EQ(boxes, std::vector<std::u16string>{u"3x3, 10 Mischzüge: 9 Züge in 1:06:40\n"
                                                 u"4x4, 200 Mischzüge: 57 Züge in 3:12"});
    close();
    std::vector<std::u16string> records;
    for (const auto& [key, value] : settings->values)
        if (key.first == u"Records") records.push_back(key.second + u"=" + value);
    EXPECT_EQ(records, (std::vector<std::u16string>{u"3x3-10=9,4000", u"4x4-200=57,192"}));

    settings->values.clear();
    create();
    boxes.clear();
    command(IDM_BEST_RESULTS);
    EXPECT_EQ(boxes, std::vector<std::u16string>{u"Noch keine Bestwerte."});
}

// --- The kept game -------------------------------------------------------------------------

TEST_F(PuzzleComforts, ClosedGameIsResumedWithItsStartCountAndTime) {
    create();
    activate();
    arrange(4, {ab, rechts, rechts, ab});
    const std::u16string start = positionText();
    click(2, 4);
    click(4, 4);
    ASSERT_FALSE(IsSolved());
    now += 65'900;
    const std::u16string board = positionText();
    close();
    EXPECT_EQ(stored(u"Game", u"Board"), board);
    EXPECT_EQ(stored(u"Game", u"Start"), start);
    EXPECT_EQ(stored(u"Game", u"Moves"), u"2");
    EXPECT_EQ(stored(u"Game", u"Seconds"), u"65");
    EXPECT_EQ(stored(u"Game", u"Assisted"), u"<none>");

    BoardSize = 4;
    create();
    EXPECT_EQ(positionText(), board);
    EXPECT_EQ(MoveCount, 2);
    EXPECT_EQ(PuzzleForm->PlaySeconds(), 65);
    EXPECT_FALSE(PuzzleForm->History().CanUndo()) << "steps are not kept";
    activate();
    now += 1'000;
    EXPECT_EQ(PuzzleForm->PlaySeconds(), 66) << "a begun game's time goes on without a move";
    command(IDM_START_AGAIN);
    EXPECT_EQ(positionText(), start);

    // A helped game stays one; tiles in order leave no game to resume.
    command(IDM_SOLUTION);
    command(IDM_UNDO);
    close();
    EXPECT_EQ(stored(u"Game", u"Assisted"), u"1");
    BoardSize = 4;
    create();
    EXPECT_TRUE(PuzzleForm->Assisted());
    command(IDM_SOLUTION);
    close();
    EXPECT_EQ(stored(u"Game", u"Board"), u"<none>");
}

TEST_F(PuzzleComforts, StoredGameThatDoesNotFitIsIgnoredAndRewritten) {
    const std::u16string board = arrangedText(4, {ab, rechts});
    const std::u16string start = arrangedText(4, {ab, rechts, ab});
    struct Case {
        const char* what;
        MemorySettings::Key key;
        std::u16string value;
        bool resumed;
    };
    const Case cases[] = {
        {"all fits", {u"", u"x"}, u"", true},
        {"another size", {u"", u"Size"}, u"5", false},
        {"a 3 x 3 board", {u"Game", u"Board"}, arrangedText(3, {ab}), false},
        {"a number too few", {u"Game", u"Board"}, board.substr(0, board.rfind(u',')), false},
        {"a number too many", {u"Game", u"Board"}, board + u",16", false},
        {"a number twice", {u"Game", u"Board"}, u"1,1" + board.substr(3), false},
        {"a number too large", {u"Game", u"Board"}, u"16" + board.substr(1), false},
        {"two tiles swapped: unsolvable", {u"Game", u"Board"}, u"2,1" + board.substr(3), false},
        {"already solved", {u"Game", u"Board"}, arrangedText(4, {}), false},
        {"garbage", {u"Game", u"Board"}, u"\u00E4\u00F6\u00FC,,x", false},
        {"blanks", {u"Game", u"Board"}, u" " + board, false},
        {"no start", {u"Game", u"Start"}, u"", false},
        {"unsolvable start", {u"Game", u"Start"}, u"2,1" + start.substr(3), false},
        {"negative moves", {u"Game", u"Moves"}, u"-3", false},
        {"huge moves", {u"Game", u"Moves"}, u"2147483648", false},
        {"moves that are no number", {u"Game", u"Moves"}, u"zwei", false},
        {"huge seconds", {u"Game", u"Seconds"}, u"99999999999", false},
        {"two numbers for seconds", {u"Game", u"Seconds"}, u"3,4", false},
        {"a damaged help flag: helped", {u"Game", u"Assisted"}, u"ja", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings->values.clear();
        BoardSize = 4;
        MergeCount = 100;
        create({{{u"Game", u"Board"}, board},
                {{u"Game", u"Start"}, start},
                {{u"Game", u"Moves"}, u"12"},
                {{u"Game", u"Seconds"}, u"34"},
                {{u"Game", u"Junk"}, u"yes"},
                {c.key, c.value}});
        EXPECT_EQ(positionText() == board, c.resumed);
        EXPECT_EQ(MoveCount, c.resumed ? 12 : 0);
        EXPECT_EQ(PuzzleForm->PlaySeconds(), c.resumed ? 34 : 0);
        EXPECT_EQ(PuzzleForm->Assisted(), c.key.second == u"Assisted");
        const std::u16string left = positionText(), begun = PositionText(PuzzleForm->StartPosition());
        close();
        // Whatever was stored, the section holds this game and nothing else.
        std::vector<std::u16string> lines;
        for (const auto& [key, value] : settings->values)
            if (key.first == u"Game") lines.push_back(key.second + u"=" + value);
        std::vector<std::u16string> expected{u"Board=" + left, u"Moves=" + std::u16string(c.resumed ? u"12" : u"0"),
                                             u"Seconds=" + std::u16string(c.resumed ? u"34" : u"0"), u"Start=" + begun};
        if (c.key.second == u"Assisted") expected.insert(expected.begin(), u"Assisted=1");
        EXPECT_EQ(lines, expected);
    }
}

}  // namespace
