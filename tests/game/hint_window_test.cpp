// The hint and the demonstration in the real puzzle window: moves through the player's way,
// the moves to go in the menu, the worker thread never holding up the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/common_unit.h"
#include "common/exceptions.h"
#include "common/message_box.h"
#include "common/platform.h"
#include "common/resource_modules.h"
#include "common/wtext.h"
#include "game/board.h"
#include "game/hint_control.h"
#include "game/puzzle_form.h"
#include "game/tile_paint.h"
#include "resources/resource_ids.h"
#include "smallib/application.h"
#include "smallib/window_proc.h"
#include "tests/support/win_test_support.h"

namespace {

using TClock = std::chrono::steady_clock;

WPARAM arrowFor(TZugArt z) {
    switch (z) {
        case TZugArt::auf: return VK_UP;
        case TZugArt::ab: return VK_DOWN;
        case TZugArt::links: return VK_LEFT;
        default: return VK_RIGHT;
    }
}

double msSince(TClock::time_point t) { return std::chrono::duration<double, std::milli>(TClock::now() - t).count(); }

// The program's units, an application object and the puzzle window without stored settings.
class HintWindow : public ::testing::Test {
protected:
    void SetUp() override {
        StartCommonUnit();
        StartResourceModulesUnit();
        StartFramework();
        app = std::make_unique<TSApplication>(u"S-ZibHintTest_", u"MAINICON", u"");
        MergeCount = 100;
        PuzzleSoundListener = [this](const std::u16string& name) { sounds.push_back(name); };
        previousBox = setModalBoxFunction([this](HWND, const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(U(text));
            return IDOK;
        });
        ASSERT_NE(CreatePuzzleForm(), nullptr);
        if (Application) Application->withSound = false;
        wintest::pumpMessagesDroppingQuit();
    }

    void TearDown() override {
        HintSearch = nullptr;
        app.reset();
        wintest::pumpMessagesDroppingQuit();
        while (HasPendingException()) {
            ADD_FAILURE() << "a handler raised an exception";
            TakePendingException();
        }
        EndFramework();
        EndResourceModulesUnit();
        EndCommonUnit();
        setModalBoxFunction(std::move(previousBox));
        PuzzleSoundListener = nullptr;
    }

    // A board of side n, count random moves from solved, no moves counted.
    void arrange(std::int32_t n, std::int32_t count) {
        BoardSize = n;
        PuzzleForm->Redraw();
        InitBoard();
        Shuffle(count);
        MoveCount = 0;
        sounds.clear();
        boxes.clear();
    }

    HWND window() const { return PuzzleForm->Handle(); }
    LRESULT command(WORD id) { return SendMessageW(window(), WM_COMMAND, id, 0); }

    // Pumps until the search has ended (the tables may have to be computed first); a command
    // that a key posted starts it on the way.
    void waitForSearch() {
        wintest::pumpMessagesDroppingQuit();
        const auto start = TClock::now();
        while (PuzzleForm->Hint().Searching() && msSince(start) < 120000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            wintest::pumpMessagesDroppingQuit();
        }
        wintest::pumpMessagesDroppingQuit();
    }

    void pumpFor(int ms) {
        const auto start = TClock::now();
        while (msSince(start) < ms) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            wintest::pumpMessagesDroppingQuit();
        }
    }

    std::u16string hintItemText() {
        SendMessageW(window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(window()), 2)), 2);
        wchar_t text[128] = {};
        GetMenuStringW(GetMenu(window()), IDM_HINT, text, 128, MF_BYCOMMAND);
        return U(text);
    }

    std::unique_ptr<TSApplication> app;
    std::vector<std::u16string> sounds;
    std::vector<std::u16string> boxes;
    ModalBoxFunction previousBox;
};

TEST_F(HintWindow, HintsSolveATenMoveShuffleInAtMostTenMovesEachAPlayersMove) {
    arrange(4, 10);
    // The first hint by its shortcut, as the menu item names it.
    SendMessageW(window(), WM_KEYDOWN, VK_F2, 0);
    waitForSearch();
    int hints = 1;
    while (!IsSolved() && hints < 10) {
        ASSERT_EQ(MoveCount, hints);
        ASSERT_TRUE(PuzzleForm->Assisted());
        ASSERT_EQ(sounds.size(), static_cast<std::size_t>(hints));
        ASSERT_NE(sounds.back(), u"ttt");
        const std::int32_t left = PuzzleForm->Hint().MovesToGo();
        ASSERT_GT(left, 0);
        command(IDM_HINT);
        ++hints;
        EXPECT_TRUE(PuzzleForm->Hint().MovesToGo() == left - 1 || PuzzleForm->Hint().MovesToGo() == -1);
    }
    wintest::pumpMessagesDroppingQuit();
    ASSERT_EQ(boxes.size(), 1u) << "the solved box after " << hints << " hints";
    EXPECT_EQ(boxes[0].rfind(u"fertig nach " + platform::FromUtf8(std::to_string(hints)) + u" Zügen\n", 0), 0u);
    // Helped games enter no best result.
    EXPECT_EQ(boxes[0].find(u"Bestwert"), std::u16string::npos);
    std::printf("10-move shuffle solved in %d hints\n", hints);
}

TEST_F(HintWindow, TheMenuShowsTheMovesToGoExactOrAsABound) {
    arrange(3, 30);
    EXPECT_EQ(hintItemText(), u"&Tipp (wird gesucht)\tF2");
    waitForSearch();
    const std::int32_t left = PuzzleForm->Hint().MovesToGo();
    ASSERT_GT(left, 0);
    EXPECT_EQ(hintItemText(), u"&Tipp (noch " + platform::FromUtf8(std::to_string(left)) + u" Züge)\tF2");
    // The player's own move along the solution keeps the count; another one makes it unknown
    // until the menu asks again.
    const TZugArt next = PuzzleForm->Hint().NextMove();
    SendMessageW(window(), WM_KEYDOWN, arrowFor(next), 0);
    EXPECT_EQ(PuzzleForm->Hint().MovesToGo(), left - 1);
    // Taking it back is never the next move of a shortest solution.
    SendMessageW(window(), WM_KEYDOWN, arrowFor(Opposite[next]), 0);
    EXPECT_EQ(PuzzleForm->Hint().MovesToGo(), -1);

    arrange(5, 100);
    hintItemText();
    waitForSearch();
    const std::u16string bound = hintItemText();
    EXPECT_EQ(bound.rfind(u"&Tipp (noch höchstens ", 0), 0u) << platform::ToUtf8(bound);
    EXPECT_TRUE(PuzzleForm->Hint().IsBound());
    wchar_t caption[32] = {};
    GetWindowTextW(window(), caption, 32);
    EXPECT_EQ(U(caption), u"ZIB");
}

TEST_F(HintWindow, TheDemonstrationPlaysAtAPaceAndAnyInputStopsIt) {
    arrange(3, 40);
    command(IDM_DEMONSTRATE);
    waitForSearch();
    ASSERT_TRUE(PuzzleForm->Hint().Demonstrating());
    const std::int32_t total = PuzzleForm->Hint().MovesToGo();
    ASSERT_GT(total, 3);
    pumpFor(static_cast<int>(DemonstrationPace) * 5 / 2);
    EXPECT_GE(MoveCount, 1);
    EXPECT_LE(MoveCount, 3);
    EXPECT_EQ(sounds.size(), static_cast<std::size_t>(MoveCount));
    // A click anywhere stops it, even on a tile that cannot move.
    const RECT r = CellRect(1, 1);
    SendMessageW(window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 1, r.top + 1));
    EXPECT_FALSE(PuzzleForm->Hint().Demonstrating());
    const std::int32_t stoppedAt = MoveCount;
    pumpFor(static_cast<int>(DemonstrationPace) * 2);
    EXPECT_EQ(MoveCount, stoppedAt);

    // Started again, it plays to the end and the solved box follows.
    arrange(3, 4);
    command(IDM_DEMONSTRATE);
    waitForSearch();
    const auto start = TClock::now();
    while (boxes.empty() && msSince(start) < 20000) pumpFor(50);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(PuzzleForm->Hint().Demonstrating());
}

TEST_F(HintWindow, TheWindowAnswersWhileAnEightByEightHintIsSearched) {
    arrange(8, 1000);
    command(IDM_HINT);
    ASSERT_TRUE(PuzzleForm->Hint().Searching());
    // Another thread sends a harmless message while the search runs; the window's thread
    // keeps pumping as the program's loop does.
    std::atomic<bool> probing{true};
    std::atomic<int> answered{0}, unanswered{0};
    std::atomic<double> slowest{0};
    const HWND w = window();
    std::thread probe([&] {
        while (probing) {
            const auto sent = TClock::now();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
                ++answered;
            else
                ++unanswered;
            slowest = std::max(slowest.load(), msSince(sent));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const auto start = TClock::now();
    waitForSearch();
    const double searched = msSince(start);
    probing = false;
    probe.join();
    std::printf("8x8 hint searched for %.0f ms; %d probes answered, the slowest in %.2f ms\n", searched, answered.load(),
                slowest.load());
    EXPECT_GT(answered.load(), 0);
    EXPECT_EQ(unanswered.load(), 0);
    EXPECT_EQ(MoveCount, 1);
}

TEST_F(HintWindow, AMoveOrClosingTheWindowEndsASearchAtOnce) {
    arrange(8, 1000);
    command(IDM_HINT);
    ASSERT_TRUE(PuzzleForm->Hint().Searching());
    SendMessageW(window(), WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(window(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_FALSE(PuzzleForm->Hint().Searching());
    pumpFor(200);
    EXPECT_EQ(MoveCount, 2);  // the player's two, none of the hint's

    command(IDM_HINT);
    ASSERT_TRUE(PuzzleForm->Hint().Searching());
    const auto start = TClock::now();
    DestroyWindow(window());
    std::printf("closing during a search took %.2f ms\n", msSince(start));
    EXPECT_EQ(PuzzleForm, nullptr);
}

TEST_F(HintWindow, AFailureOfTheSearchIsReportedOnceAndTheGameGoesOn) {
    HintSearch = [](const std::vector<std::uint8_t>&, const std::atomic<bool>&) -> solver::TSolution {
        throw std::runtime_error("out of tables");
    };
    arrange(3, 10);
    command(IDM_HINT);
    waitForSearch();
    ASSERT_TRUE(HasPendingException());
    try {
        RethrowPendingException();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Der Tipp ließ sich nicht finden: out of tables");
    }
    EXPECT_FALSE(HasPendingException());
    EXPECT_EQ(MoveCount, 0);
    HintSearch = nullptr;
    command(IDM_HINT);
    waitForSearch();
    EXPECT_EQ(MoveCount, 1);
}

}  // namespace
