// Tests of the puzzle window: clicks, keys, sounds, menu commands, the solved message and the saved options, on a real window.
#include <cstdlib>

#include "common/dpi.h"
#include "smallib/report.h"
#include "tests/game/puzzle_window_fixture.h"

namespace {

using namespace puzzletest;

RECT windowRect() {
    RECT r{};
    GetWindowRect(PuzzleForm->Handle(), &r);
    return r;
}

// A size at 96 dpi, at the DPI of the puzzle window.
std::int32_t px(std::int32_t size) { return ScaleForDpi(size, WindowDpi(PuzzleForm->Handle())); }

// --- Clicks and keys -----------------------------------------------------------------------

TEST_F(PuzzleWindow, ClickSlidesEveryTileUpToTheEmptyCellAsOneMoveWithItsSound) {
    using enum TZugArt;
    struct Case {
        const char* what;
        std::initializer_list<TZugArt> setup;  // from the solved 4 x 4 board
        std::int32_t column, row;              // clicked
        std::u16string sound;
        std::int32_t moves;
        TCellPos blankAfter;
    };
    const Case cases[] = {
        {"three to the right", {}, 1, 4, u"reib", 1, {1, 4}},
        {"one to the right", {}, 3, 4, u"right", 1, {3, 4}},
        {"one down", {}, 4, 3, u"down", 1, {4, 3}},
        {"three down", {}, 4, 1, u"flup", 1, {4, 1}},
        {"one up", {ab, rechts}, 3, 4, u"up", 1, {3, 4}},
        {"two up", {ab, ab, rechts}, 3, 4, u"flup", 1, {3, 4}},
        {"one left", {ab, rechts, rechts}, 3, 3, u"left", 1, {3, 3}},
        {"two left", {ab, rechts, rechts}, 4, 3, u"reib", 1, {4, 3}},
        {"neither row nor column", {}, 2, 2, u"ttt", 0, {4, 4}},
        {"the empty cell itself", {}, 4, 4, u"ttt", 0, {4, 4}},
    };
    create();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        arrange(4, c.setup);
        const TCellPos blank = Blank;
        const std::int32_t tile = Board(c.column, c.row);
        click(c.column, c.row);
        EXPECT_EQ(sounds, std::vector<std::u16string>{c.sound});
        EXPECT_EQ(MoveCount, c.moves);
        EXPECT_EQ(Blank.column, c.blankAfter.column);
        EXPECT_EQ(Blank.row, c.blankAfter.row);
        // The clicked tile moved one cell towards where the empty cell was, which a tile now fills.
        if (c.moves == 1) {
            const std::int32_t dc = (blank.column > c.column) - (blank.column < c.column);
            const std::int32_t dr = (blank.row > c.row) - (blank.row < c.row);
            EXPECT_EQ(Board(c.column + dc, c.row + dr), tile);
            EXPECT_NE(Board(blank.column, blank.row), BlankValue);
        }
    }
    pumpMessagesDroppingQuit();
    EXPECT_TRUE(boxes.empty()) << "no case solves the board";
}

TEST_F(PuzzleWindow, ArrowKeysSlideTheNeighbourAndCountEvenWhenNothingMoves) {
    struct Case {
        WPARAM vKey;
        UINT msg;
        TCellPos blankAfter;
        std::int32_t moves;
        std::vector<std::u16string> sounds;
    };
    const std::vector<std::u16string> flup{u"flup"};
    const Case cases[] = {
        {VK_DOWN, WM_KEYDOWN, {4, 3}, 1, flup},     // the tile above slides down
        {VK_RIGHT, WM_KEYDOWN, {3, 4}, 1, flup},    // the tile on the left slides right
        {VK_UP, WM_KEYDOWN, {4, 4}, 1, flup},       // nothing below the empty cell: counted anyway
        {VK_LEFT, WM_KEYDOWN, {4, 4}, 1, flup},
        {VK_RIGHT, WM_SYSKEYDOWN, {3, 4}, 1, flup},  // Alt+arrow moves too
        {'A', WM_KEYDOWN, {4, 4}, 0, {}},
    };
    create();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.vKey << " message " << c.msg);
        arrange(4);
        key(c.vKey, c.msg);
        pumpMessagesDroppingQuit();
        EXPECT_EQ(Blank.column, c.blankAfter.column);
        EXPECT_EQ(Blank.row, c.blankAfter.row);
        EXPECT_EQ(MoveCount, c.moves);
        EXPECT_EQ(sounds, c.sounds);
        ASSERT_TRUE(IsWindow(PuzzleForm->Handle()));
    }
    EXPECT_TRUE(boxes.empty());
}

// --- The solved puzzle ---------------------------------------------------------------------

TEST_F(PuzzleWindow, SolvingReportsTheCountWithTheFanfareAndShufflesTheNextGame) {
    struct Case {
        const char* what;
        std::int32_t movesBefore;
        bool byKey;
        std::u16string message;
    };
    const Case cases[] = {
        {"a single click", 0, false, u"fertig nach 1 Zügen"},
        {"a single key", 0, true, u"fertig nach 1 Zügen"},
        {"after many moves", 41, false, u"fertig nach 42 Zügen"},
        {"beyond what the command's word holds", 65536, true, u"fertig nach 65537 Zügen"},
    };
    create({{{u"", u"Merge"}, u"1"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        NewGame();  // one shuffle move: the empty cell is above the bottom-right corner
        ASSERT_EQ(Blank.row, 3);
        MoveCount = c.movesBefore;
        sounds.clear();
        if (c.byKey)
            key(VK_UP);
        else
            click(4, 4);
        EXPECT_TRUE(boxes.empty()) << "the report waits for the queue";
        pumpMessagesDroppingQuit();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(firstLine(boxes[0]), c.message) << "a line with the time may follow";
        ASSERT_GE(sounds.size(), 2u);
        EXPECT_EQ(sounds.back(), u"yea");
        EXPECT_EQ(MoveCount, 0);
        EXPECT_FALSE(IsSolved()) << "a new game was shuffled";
    }
}

TEST_F(PuzzleWindow, SolutionOrdersTheTilesWithoutReportAndKeepsTheCount) {
    create();
    arrange(4, {TZugArt::ab, TZugArt::rechts, TZugArt::ab});
    MoveCount = 5;
    command(IDM_SOLUTION);
    pumpMessagesDroppingQuit();
    EXPECT_TRUE(IsSolved());
    EXPECT_EQ(MoveCount, 5);
    EXPECT_TRUE(boxes.empty());

    click(4, 3);  // away
    click(4, 4);  // and back
    pumpMessagesDroppingQuit();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(firstLine(boxes[0]), u"fertig nach 7 Zügen");
}

// --- Menu commands -------------------------------------------------------------------------

TEST_F(PuzzleWindow, MenuCommandsDoWhatTheirItemsSay) {
    create();
    struct Case {
        const char* what;
        std::int32_t sizeBefore;
        WORD id;
        std::int32_t size;     // BoardSize after
        bool newGame;          // MoveCount reset
        std::int32_t merge;    // MergeCount after
        std::uint8_t language; // LabelLanguage after
    };
    const Case cases[] = {
        {"new shuffle", 4, IDM_NEW_GAME, 4, true, 100, 0},
        {"more cells", 4, IDM_MORE_CELLS, 5, true, 100, 0},
        {"more cells at 8", 8, IDM_MORE_CELLS, 8, false, 100, 0},
        {"fewer cells", 4, IDM_FEWER_CELLS, 3, true, 100, 0},
        {"fewer cells at 3", 3, IDM_FEWER_CELLS, 3, false, 100, 0},
        {"beginner", 4, IDM_BEGINNER, 4, true, 10, 0},
        {"expert", 4, IDM_EXPERT, 4, true, 200, 0},
        {"English labels", 4, IDM_LABELS_ENGLISH, 4, true, 200, 1},
        {"Russian labels", 4, IDM_LABELS_RUSSIAN, 4, true, 200, 2},
        {"German labels", 4, IDM_LABELS_GERMAN, 4, true, 200, 0},
        {"start notice of the loop", 4, cmStart, 4, false, 200, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        arrange(c.sizeBefore);
        settle();
        MoveCount = 7;
        EXPECT_EQ(command(c.id), 0);
        settle();
        EXPECT_EQ(BoardSize, c.size);
        EXPECT_EQ(MoveCount, c.newGame ? 0 : 7);
        EXPECT_EQ(MergeCount, c.merge);
        EXPECT_EQ(LabelLanguage, c.language);
        EXPECT_EQ(menuChecked(IDM_BEGINNER), MergeCount == 10);
        EXPECT_EQ(menuChecked(IDM_EXPERT), MergeCount != 10);
        // The cells follow the size: the client area snapped to whole cells.
        EXPECT_EQ(clientRect().bottom, BoardSize * CellHeight + 3);
    }
    EXPECT_TRUE(boxes.empty()) << "Liberation fonts have Cyrillic letters, so no hint is due";
    EXPECT_EQ(PuzzleForm->font().CharSet(), RUSSIAN_CHARSET) << "the Cyrillic character set stays";
}

TEST_F(PuzzleWindow, SoundCommandTogglesPlaybackCheckMarkAndStoredValueAtOnce) {
    create({{{u"", u"Sound"}, u"1"}});
    ASSERT_TRUE(app->withSound);
    ASSERT_TRUE(menuChecked(IDM_SOUND));
    for (const bool expected : {false, true}) {
        command(IDM_SOUND);
        EXPECT_EQ(app->withSound, expected);
        EXPECT_EQ(menuChecked(IDM_SOUND), expected);
        EXPECT_EQ(stored(u"", u"Sound"), expected ? u"1" : u"0");
    }
}

TEST_F(PuzzleWindow, HelpOpensThePageBesideTheProgramElseTheWebPage) {
    create();
    std::vector<std::u16string> opened;
    const ShellOpenFunction previous =
        setShellOpenFunction([&](HWND, const std::u16string& target) { opened.push_back(target); });
    const std::u16string page = ProgramDir + u"zib.htm";
    platform::RemoveFile(page);
    command(IDM_HELP);
    ASSERT_TRUE(platform::WriteFileAtomic(page, "<html></html>"));
    command(IDM_HELP);
    platform::RemoveFile(page);
    setShellOpenFunction(previous);
    EXPECT_EQ(opened, (std::vector<std::u16string>{std::u16string(HelpPageAddress), page}));
    EXPECT_EQ(HelpPageAddress.substr(HelpPageAddress.size() - 13), u"/apps/zib.htm");
}

TEST_F(PuzzleWindow, ShortcutKeysShownInTheMenuChooseTheirItems) {
    create();
    std::vector<std::u16string> opened;
    const ShellOpenFunction previous =
        setShellOpenFunction([&](HWND, const std::u16string& target) { opened.push_back(target); });
    key(VK_F1, WM_KEYDOWN);
    pumpMessagesDroppingQuit();
    setShellOpenFunction(previous);
    EXPECT_EQ(opened.size(), 1u) << "F1 chooses \"&Hilfe\\tF1\"";
    EXPECT_EQ(MoveCount, 0);
    EXPECT_TRUE(sounds.empty());

    // The shortcut search reads Alt from the thread's key state, as it is during a real key press.
    {
        const KeysDown alt({VK_MENU});
        key(VK_F4, WM_SYSKEYDOWN);
    }
    pumpMessagesDroppingQuit();
    EXPECT_EQ(PuzzleForm, nullptr) << "Alt+F4 chooses \"&Beenden\\tAlt+F4\"";
    EXPECT_EQ(stored(u"", u"Size"), u"4") << "closing by the key writes the settings too";
}

// The shortcut search looks into every pop-up; that must not recreate the font and repaint
// the board, whereas a menu that really opens still realises the Cyrillic face.
TEST_F(PuzzleWindow, KeysThatChooseNothingRepaintNothing) {
    create({}, true);
    HWND const wnd = PuzzleForm->Handle();
    for (const WPARAM k : {WPARAM{'Q'}, WPARAM{VK_SPACE}, WPARAM{VK_F5}, WPARAM{VK_RETURN}}) {
        SCOPED_TRACE(k);
        ValidateRect(wnd, nullptr);
        key(k);
        EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE));
        // With Ctrl the menu is searched for "Strg+" first.
        {
            const KeysDown ctrl({VK_CONTROL});
            key(k);
        }
        EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE)) << "with Ctrl";
    }
    EXPECT_EQ(MoveCount, 0);
    ValidateRect(wnd, nullptr);
    SendMessageW(wnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(wnd), 0)), 0);
    EXPECT_TRUE(GetUpdateRect(wnd, nullptr, FALSE));
}

TEST_F(PuzzleWindow, FontDialogTakesTheFaceButTheCellsKeepDictatingTheHeight) {
    create();
    for (const WORD answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "confirmed" : "cancelled");
        const std::u16string face = FontNameToStr(PuzzleForm->font().Name());
        DialogAnswer dialog(answer);
        command(IDM_FONT);
        EXPECT_EQ(dialog.seen(), 1);
        EXPECT_EQ(PuzzleForm->font().Height(), MulDiv(CellHeight, 3, 4));
        EXPECT_FALSE(FontNameToStr(PuzzleForm->font().Name()).empty());
        if (answer == IDCANCEL) {
            EXPECT_EQ(FontNameToStr(PuzzleForm->font().Name()), face);
        }
    }
}

TEST_F(PuzzleWindow, AboutBoxAndUnknownCommandsGoToTheForm) {
    create();
    TAboutInfo about;
    about.Line1 = u"Tessarino";
    AboutInfo = &about;
    {
        DialogAnswer dialog(IDOK);
        EXPECT_EQ(command(IDM_ABOUT), 0);
        EXPECT_EQ(dialog.seen(), 1) << "the about box";
    }
    AboutInfo = nullptr;
    command(999);  // not the game's: the framework's diagnostic box
    EXPECT_EQ(boxes.size(), 1u);
}

// --- Painting and size ---------------------------------------------------------------------

TEST_F(PuzzleWindow, CellsBecomeAsWideAsTheWidestLabelPlusSix) {
    struct Case {
        std::int32_t n;
        std::uint8_t language;
        bool italic;
    };
    const Case cases[] = {{4, 0, false}, {3, 2, false}, {6, 0, false}, {3, 1, true}};
    create({}, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << "x" << c.n << " language " << int(c.language)
                                        << (c.italic ? " italic" : ""));
        LabelLanguage = c.language;
        PuzzleForm->font().SetStyle(c.italic ? TFontStyles{fsBold, fsItalic} : TFontStyles{fsBold});
        arrange(c.n);
        settle();
        const WindowDC screen(PuzzleForm->Handle());
        const SelectObjectScope font(screen.get(), PuzzleForm->font().Handle());
        TEXTMETRICW tm{};
        GetTextMetricsW(screen.get(), &tm);
        int widest = 0;
        for (std::int32_t row = 1; row <= c.n; ++row)
            for (std::int32_t column = 1; column <= c.n; ++column) {
                std::u16string label = CellText(column, row).text;
                if (c.italic && !label.empty() && label.back() != u' ') label += u' ';
                widest = std::max(widest, TextWidthOf(screen.get(), label));
            }
        EXPECT_EQ(CellWidth, widest + px(2) + px(4));
        EXPECT_EQ(clientRect().right, c.n * CellWidth + 3);
        EXPECT_EQ(clientRect().bottom, c.n * CellHeight + 3);
        EXPECT_EQ(PuzzleForm->font().Height(), MulDiv(CellHeight, 3, 4));
    }
}

TEST_F(PuzzleWindow, LowWindowKeepsCellsThirtyTwoPixelsHigh) {
    create();
    SetWindowPos(PuzzleForm->Handle(), nullptr, 0, 0, 300, 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(CellHeight, px(MinCellHeight));
    EXPECT_EQ(clientRect().bottom, 4 * px(32) + 3);
}

// TESS_EXPECT_DPI names the DPI the run was set up for (the prefix's "LogPixels"); a run at a
// higher scale that read 96 would otherwise pass without testing anything.
TEST_F(PuzzleWindow, FirstStartSizesWindowCellsAndFontForTheDpi) {
    create({}, true);
    const int dpi = WindowDpi(PuzzleForm->Handle());
    if (const char* expected = std::getenv("TESS_EXPECT_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    EXPECT_EQ(BoardDpi, dpi);
    // The low first window gets about the lowest cells there are (a menu bar that wraps while
    // the window is narrow leaves them a little higher), and the font follows them.
    EXPECT_GE(CellHeight, px(MinCellHeight));
    EXPECT_LT(CellHeight, px(MinCellHeight + 10));
    EXPECT_EQ(clientRect().bottom, 4 * CellHeight + 3);
    EXPECT_EQ(PuzzleForm->font().Height(), MulDiv(CellHeight, 3, 4));
    LOGFONTW made{};
    ASSERT_TRUE(GetObjectW(PuzzleForm->font().Handle(), sizeof made, &made));
    EXPECT_EQ(made.lfHeight, PuzzleForm->font().Height());
    EXPECT_EQ(windowRect().left, px(10));
    EXPECT_EQ(windowRect().top, px(10));
    // The menu bar fits on one line, which is also what leaves the cells their height.
    HMENU const menu = GetMenu(PuzzleForm->Handle());
    RECT first{};
    ASSERT_TRUE(GetMenuItemRect(PuzzleForm->Handle(), menu, 0, &first));
    for (int i = 1; i < GetMenuItemCount(menu); ++i) {
        RECT item{};
        ASSERT_TRUE(GetMenuItemRect(PuzzleForm->Handle(), menu, static_cast<UINT>(i), &item));
        EXPECT_EQ(item.top, first.top) << "menu item " << i;
    }
}

TEST_F(PuzzleWindow, DpiChangeTakesTheSuggestedRectangleAndFitsTheCellsAnew) {
    create({}, true);
    const int dpi = WindowDpi(PuzzleForm->Handle());
    const RECT before = windowRect();
    const std::int32_t cellWidth = CellWidth;
    const std::int32_t cellHeight = CellHeight;
    const auto dpiChanged = [](int newDpi, RECT suggested) {
        SendMessageW(PuzzleForm->Handle(), WmDpiChanged, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    };

    // Half as large again, as Windows suggests it for a monitor at one and a half times the DPI.
    const int larger = dpi * 3 / 2;
    const RECT suggested{before.left + 5, before.top + 7, before.left + 5 + (before.right - before.left) * 3 / 2,
                         before.top + 7 + (before.bottom - before.top) * 3 / 2};
    dpiChanged(larger, suggested);
    RECT r = windowRect();
    EXPECT_EQ(r.left, suggested.left);
    EXPECT_EQ(r.top, suggested.top);
    EXPECT_EQ(r.right, suggested.right);
    EXPECT_LE(r.bottom, suggested.bottom) << "the client height snaps to whole cells";
    EXPECT_GT(r.bottom, suggested.bottom - 4);
    EXPECT_EQ(BoardDpi, larger);
    EXPECT_GE(CellHeight, ScaleForDpi(MinCellHeight, larger));
    EXPECT_EQ(clientRect().bottom, 4 * CellHeight + 3);
    EXPECT_EQ(PuzzleForm->font().Height(), MulDiv(CellHeight, 3, 4));
    EXPECT_TRUE(GetUpdateRect(PuzzleForm->Handle(), nullptr, FALSE)) << "a repaint is due";
    settle();
    EXPECT_GT(CellWidth, cellWidth) << "the labels grew with the font";

    // The same rectangle at twice the DPI: no size change, yet the cells reach the new minimum.
    dpiChanged(dpi * 2, windowRect());
    EXPECT_EQ(BoardDpi, dpi * 2);
    EXPECT_GE(CellHeight, ScaleForDpi(MinCellHeight, dpi * 2));
    EXPECT_EQ(PuzzleForm->font().Height(), MulDiv(CellHeight, 3, 4));

    // Back at the first DPI and rectangle, the board is what it was.
    dpiChanged(dpi, before);
    settle();
    EXPECT_EQ(BoardDpi, dpi);
    EXPECT_EQ(CellHeight, cellHeight);
    EXPECT_EQ(CellWidth, cellWidth);
    EXPECT_EQ(windowRect().left, before.left);
}

TEST(PuzzleWindowPlan, CellWidthPlanAlwaysEndsThePaintAndSizeCycle) {
    BoardDpi = 96;  // the lowest cells of the table are 32 pixels high
    struct Case {
        const char* what;
        std::int32_t need, n, frame, client, screen, cellHeight, lastRequest;
        TCellWidthStep step;
        std::int32_t cellWidth, clientWidth;
    };
    const Case cases[] = {
        {"fits: ask for whole cells", 40, 4, 16, 300, 1280, 60, 0, TCellWidthStep::setClientWidth, 40, 163},
        {"already there", 40, 4, 16, 163, 1280, 60, 0, TCellWidthStep::none, 40, 0},
        {"too wide: lower cells first", 400, 4, 16, 300, 1280, 60, 0, TCellWidthStep::shrinkHeight, 400, 0},
        {"too wide at the lowest cells", 400, 4, 16, 300, 1280, 32, 0, TCellWidthStep::setClientWidth, 400, 1264},
        {"screen width reached", 400, 4, 16, 1264, 1280, 32, 0, TCellWidthStep::none, 315, 0},
        {"window refused the width", 40, 4, 16, 150, 1280, 60, 163, TCellWidthStep::none, 36, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TCellWidthPlan plan = PlanCellWidth(c.need, c.n, c.frame, c.client, c.screen, c.cellHeight, c.lastRequest);
        EXPECT_EQ(plan.step, c.step);
        EXPECT_EQ(plan.cellWidth, c.cellWidth);
        if (c.step == TCellWidthStep::setClientWidth) {
            EXPECT_EQ(plan.clientWidth, c.clientWidth);
        }
    }
}

// --- Saved options -------------------------------------------------------------------------

TEST_F(PuzzleWindow, StoredOptionsAreTakenOrRepairedAtCreation) {
    struct Case {
        const char* what;
        MemorySettings::Key key;
        std::u16string value;
        std::int32_t size, merge;
        std::uint8_t language;
    };
    const Case cases[] = {
        {"nothing stored", {u"", u"x"}, u"", 4, 100, 0},
        {"size", {u"", u"Size"}, u"6", 6, 100, 0},
        {"size above 8", {u"", u"Size"}, u"9", 8, 100, 0},
        {"size below 3", {u"", u"Size"}, u"-2", 3, 100, 0},
        {"beginner", {u"", u"Merge"}, u"10", 4, 10, 0},
        {"huge shuffle", {u"", u"Merge"}, u"2000000000", 4, MaxMergeCount, 0},
        {"English", {u"", u"Language"}, u"1", 4, 100, 1},
        {"language 3", {u"", u"Language"}, u"3", 4, 100, 0},
        {"language -1", {u"", u"Language"}, u"-1", 4, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoardSize = 4;
        MergeCount = 100;
        LabelLanguage = 0;
        settings->values.clear();
        create({{c.key, c.value}});
        EXPECT_EQ(BoardSize, c.size);
        EXPECT_EQ(MergeCount, c.merge);
        EXPECT_EQ(LabelLanguage, c.language);
        EXPECT_EQ(menuChecked(IDM_BEGINNER), c.merge == 10);
        EXPECT_EQ(menuChecked(IDM_EXPERT), c.merge != 10);
        EXPECT_TRUE(app->withSound == false && !menuChecked(IDM_SOUND));
        EXPECT_EQ(FontNameToStr(PuzzleForm->font().Name()), u"Times New Roman");
        EXPECT_EQ(PuzzleForm->font().Style(), TFontStyles{fsBold});
        DestroyWindow(PuzzleForm->Handle());
        pumpMessagesDroppingQuit();
        ASSERT_EQ(PuzzleForm, nullptr);
    }
}

TEST_F(PuzzleWindow, GeometryAndFontAreRestoredAndAWindowOffEveryMonitorComesBack) {
    create({{{u"Window", u"Left"}, u"120"},
            {{u"Window", u"Top"}, u"90"},
            {{u"Window", u"FontName"}, u"Liberation Mono"},
            {{u"Window", u"FontStyle"}, u"258"}});  // only the low byte counts: italic
    RECT r{};
    GetWindowRect(PuzzleForm->Handle(), &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 90);
    EXPECT_EQ(FontNameToStr(PuzzleForm->font().Name()), u"Liberation Mono");
    EXPECT_EQ(PuzzleForm->font().Style(), TFontStyles{fsItalic});
    DestroyWindow(PuzzleForm->Handle());
    pumpMessagesDroppingQuit();

    settings->values.clear();
    create({{{u"Window", u"Left"}, u"-9000"}, {{u"Window", u"Top"}, u"40000"}});
    GetWindowRect(PuzzleForm->Handle(), &r);
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr) << r.left << "," << r.top;
}

// How often the window system placed a window of this thread while the hook was set.
class PlacementCount {
public:
    PlacementCount() : FHook(SetWindowsHookExW(WH_CALLWNDPROC, count, nullptr, GetCurrentThreadId())) { Count = 0; }
    ~PlacementCount() { UnhookWindowsHookEx(FHook); }
    PlacementCount(const PlacementCount&) = delete;
    PlacementCount& operator=(const PlacementCount&) = delete;
    int value() const { return Count; }

private:
    static LRESULT CALLBACK count(int code, WPARAM wParam, LPARAM lParam) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && msg->message == WM_WINDOWPOSCHANGED) ++Count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int Count = 0;
    HHOOK FHook;
};

TEST_F(PuzzleWindow, TheWindowTakesItsSizeAtOneMoveAndAStoredSettledSizeAtNone) {
    int firstStart = 0;
    {
        const PlacementCount moves;
        create();
        firstStart = moves.value();
    }
    EXPECT_LE(firstStart, 1);
    const RECT settled = windowRect();
    const SIZE client{clientRect().right, clientRect().bottom};
    DestroyWindow(PuzzleForm->Handle());
    pumpMessagesDroppingQuit();

    const PlacementCount moves;
    create({{{u"Window", u"Left"}, DecimalText(settled.left)},
            {{u"Window", u"Top"}, DecimalText(settled.top)},
            {{u"Window", u"Width"}, DecimalText(settled.right - settled.left)},
            {{u"Window", u"Height"}, DecimalText(settled.bottom - settled.top)}});
    EXPECT_EQ(moves.value(), 0);
    const RECT again = windowRect();
    EXPECT_TRUE(EqualRect(&again, &settled));
    EXPECT_EQ(clientRect().right, client.cx);
    EXPECT_EQ(clientRect().bottom, client.cy);
}

TEST_F(PuzzleWindow, DestructionWritesGeometryFontAndOptionsThenPlaysTheClosingSound) {
    create();
    command(IDM_MORE_CELLS);
    command(IDM_LABELS_ENGLISH);
    command(IDM_BEGINNER);
    PuzzleForm->font().SetStyle(TFontStyles{fsBold, fsUnderline});
    SetWindowPos(PuzzleForm->Handle(), nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    settle();
    RECT r{};
    GetWindowRect(PuzzleForm->Handle(), &r);
    settings->writes.clear();
    sounds.clear();

    EXPECT_EQ(command(IDM_CLOSE), WM_CLOSE);
    EXPECT_EQ(PuzzleForm, nullptr) << "the window is gone";
    const std::map<MemorySettings::Key, std::u16string> expected{
        {{u"Window", u"Left"}, u"70"},
        {{u"Window", u"Top"}, u"80"},
        {{u"Window", u"Width"}, platform::FromUtf8(std::to_string(r.right - r.left))},
        {{u"Window", u"Height"}, platform::FromUtf8(std::to_string(r.bottom - r.top))},
        {{u"Window", u"FontName"}, u"Times New Roman"},
        {{u"Window", u"FontStyle"}, u"5"},
        {{u"", u"Size"}, u"5"},
        {{u"", u"Merge"}, u"10"},
        {{u"", u"Language"}, u"1"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(stored(key.first, key.second), value) << utf8(key.second);
    const auto options = std::count_if(settings->writes.begin(), settings->writes.end(),
                                       [](const auto& key) { return key.first.empty() || key.first == u"Window"; });
    EXPECT_EQ(static_cast<std::size_t>(options), expected.size()) << "\"Sound\" is written only by its command";
    EXPECT_EQ(sounds, std::vector<std::u16string>{u"!buf"});
}

TEST_F(PuzzleWindow, EndOfTheSessionWritesAndSavesTheOptions) {
    create();
    command(IDM_BEGINNER);
    // Windows ends the process after WM_ENDSESSION without destroying the window.
    SendMessageW(PuzzleForm->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(settings->writes.empty()) << "the session goes on";
    SendMessageW(PuzzleForm->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(stored(u"", u"Merge"), u"10");
    EXPECT_EQ(stored(u"Window", u"FontName"), u"Times New Roman");
    EXPECT_EQ(settings->saves, 1);
    EXPECT_TRUE(sounds.empty()) << "no closing sound: the window stays";
}

TEST_F(PuzzleWindow, MinimizedWindowSavesItsNormalPlace) {
    create({{{u"Window", u"Left"}, u"100"}, {{u"Window", u"Top"}, u"110"}});
    ShowWindow(PuzzleForm->Handle(), SW_MINIMIZE);
    pumpMessagesDroppingQuit();
    ASSERT_TRUE(IsIconic(PuzzleForm->Handle()));
    click(1, 1);  // a click must not divide by a cell width of 0
    DestroyWindow(PuzzleForm->Handle());
    pumpMessagesDroppingQuit();
    EXPECT_EQ(stored(u"Window", u"Left"), u"100");
    EXPECT_EQ(stored(u"Window", u"Top"), u"110");
    EXPECT_GE(std::stoi(utf8(stored(u"", u"Size"))), 3);
}

// Non-zero 16-bit samples: what the audio output wrote of a sound, whatever silence it adds.
std::int64_t nonZeroSamples(const char16_t* data, std::size_t bytes) {
    std::int64_t count = 0;
    const auto* samples = reinterpret_cast<const std::int16_t*>(data);
    for (std::size_t i = 0; i < bytes / 2; ++i) count += samples[i] != 0;
    return count;
}

TEST_F(PuzzleWindow, ClosingSoundPlaysToItsEndBeforeTheWindowIsGone) {
    // The audio of this test goes into a file of its own (see the build).
    wchar_t unixPath[1024] = {};
    const DWORD n = GetEnvironmentVariableW(L"TESS_AUDIO_RAW", unixPath, 1024);
    if (n == 0 || n >= 1024) GTEST_SKIP() << "sound is not captured in this run";
    std::u16string path = u"Z:" + U(unixPath, n);
    std::replace(path.begin(), path.end(), u'/', u'\\');

    // The closing sound's samples, from the WAVE image in the program's resources.
    HRSRC const info = FindResourceW(nullptr, L"BUF", RT_RCDATA);
    ASSERT_NE(info, nullptr);
    const auto* wave = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    const std::string image(wave, SizeofResource(nullptr, info));
    const std::size_t data = image.find("data");
    ASSERT_NE(data, std::string::npos);
    const std::int64_t expected =
        nonZeroSamples(reinterpret_cast<const char16_t*>(image.data() + data + 8), image.size() - data - 8);

    create({{{u"", u"Sound"}, u"1"}});
    DeleteFileW(W(path));
    DestroyWindow(PuzzleForm->Handle());
    std::string written;
    ASSERT_TRUE(platform::ReadFileBytes(path, written));
    EXPECT_EQ(nonZeroSamples(reinterpret_cast<const char16_t*>(written.data()), written.size()), expected);
}

// --- The game's message box ----------------------------------------------------------------

TEST(GameMsgBox, InfoShowsTheMessageInABoxAndReturns) {
    std::vector<std::pair<std::u16string, UINT>> shown;
    const ScopedModalBoxFunction capture([&](HWND, const wchar_t* text, const wchar_t*, UINT style) {
        shown.emplace_back(U(text), style);
        return IDOK;
    });
    TGameMsgBox box;
    EXPECT_NO_THROW(box.Info(u"Zib.ini: Zeile 3 ist kein UTF-8"));
    EXPECT_NO_THROW(box.YesNo(u"Frage"));  // every question goes through Info
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, u"Zib.ini: Zeile 3 ist kein UTF-8");
    EXPECT_EQ(shown[0].second & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
}

}  // namespace
