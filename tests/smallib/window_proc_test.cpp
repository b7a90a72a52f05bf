// Tests of the window procedure: binding, the object's life with its window, held exceptions, the cached device context.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/exceptions.h"
#include "smallib/message_names.h"
#include "smallib/window_proc.h"
#include "tests/smallib/framework_test_support.h"

namespace {

using namespace fwtest;

class WindowProc : public FrameworkTest {};

TEST_F(WindowProc, BindsAtNcCreateAndLeavesEarlierMessagesToTheDefault) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"BindProbe");
    ASSERT_NE(form, nullptr);
    ASSERT_FALSE(log.entries().empty());
    // WM_GETMINMAXINFO comes first, before there is an object to give it to.
    EXPECT_EQ(log.entries().front(), "WM_NCCREATE");
    EXPECT_TRUE(SequenceIs(log, {"WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE"}));
    EXPECT_EQ(BoundObject(form->Handle()), form);
    EXPECT_EQ(BoundObject(GetDesktopWindow()), nullptr);
    EXPECT_EQ(app->FMainForm, form);
    EXPECT_EQ(MainWnd, form->Handle());
}

TEST_F(WindowProc, MinMaxInfoGoesToTheDefaultOnlyWhenTheHookPassesItOn) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"MinMaxProbe");
    ASSERT_NE(form, nullptr);
    form->onGetMinMaxInfo = [](MINMAXINFO* info) {
        info->ptMinTrackSize = POINT{400, 300};
        return 0;
    };
    MoveWindow(form->Handle(), 0, 0, 100, 100, FALSE);
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_GE(log.count("wmGetMinMaxInfo"), 1);
}

TEST_F(WindowProc, ObjectDestroyingItsWindowInAHandlerIsFreedAfterTheHandler) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"SelfDeleteProbe");
    ASSERT_NE(form, nullptr);
    HWND const wnd = form->Handle();
    form->onLButtonDown = [&](WORD, int, int) {
        DestroyWindow(form->Handle());
        // Still alive: its members may be used until the handler returns.
        log.add(form->GetOwnerFormActive() ? "active" : "still here");
        form->getDC();
        return 0;
    };
    SendMessageW(wnd, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(SequenceIs(log, {"WM_LBUTTONDOWN", "WM_DESTROY", "wmDestroy", "WM_NCDESTROY", "still here",
                                 "~ProbeForm"}));
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(app->FFormList.Count(), 0);
    EXPECT_EQ(app->FMainForm, nullptr) << "a freed form is no longer the main form";
    EXPECT_TRUE(takeQuitMessage()) << "the main form's end posts the quit message";
}

TEST_F(WindowProc, HandlerExceptionStopsAtTheWindowProcedureAndIsHeld) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"ThrowProbe");
    ASSERT_NE(form, nullptr);
    HDC taken = nullptr;
    form->onLButtonDown = [&](WORD, int, int) -> int {
        taken = form->getDC();
        throw Exception(u"kaputt");
    };
    EXPECT_EQ(SendMessageW(form->Handle(), WM_LBUTTONDOWN, 0, 0), 0);
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_NE(taken, nullptr);
    EXPECT_EQ(form->FDC, nullptr) << "the context taken before the exception is released";

    form->onLButtonDown = [](WORD, int, int) -> int { throw std::runtime_error("plain"); };
    PostMessageW(form->Handle(), WM_LBUTTONDOWN, 0, 0);
    pumpMessagesLeavingQuit();

    ASSERT_TRUE(HasPendingException());
    BoxCapture boxes;
    const std::u16string expected[] = {u":...\rMessage 201\r(kaputt)", u":...\rplain"};
    const std::u16string context[] = {u"Message 201", u""};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        std::exception_ptr e = TakePendingException();
        ASSERT_TRUE(e);
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            form->ExceptionMsg(context[i], ex);
        }
        ASSERT_EQ(boxes.boxes().size(), static_cast<std::size_t>(i + 1));
        EXPECT_EQ(boxes.boxes()[i].text, expected[i]);
        EXPECT_EQ(boxes.boxes()[i].owner, form->Handle());
        EXPECT_EQ(boxes.boxes()[i].style & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    }
    EXPECT_FALSE(HasPendingException());
    EXPECT_NO_THROW(RethrowPendingException());
}

TEST_F(WindowProc, CachedContextLivesForOneMessage) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"DCProbe");
    ASSERT_NE(form, nullptr);
    HDC outer = nullptr, nested = nullptr;
    form->onLButtonDown = [&](WORD keys, int, int) {
        if (keys == 1) {
            nested = form->getDC();
            return 0;
        }
        outer = form->getDC();
        EXPECT_EQ(form->getDC(), outer) << "one context per window";
        SendMessageW(form->Handle(), WM_LBUTTONDOWN, 1, 0);
        EXPECT_EQ(form->FDC, outer) << "a nested message leaves the outer one's context alone";
        return 0;
    };
    SendMessageW(form->Handle(), WM_LBUTTONDOWN, 0, 0);
    EXPECT_NE(outer, nullptr);
    EXPECT_EQ(nested, outer);
    EXPECT_EQ(form->FDC, nullptr);
}

TEST_F(WindowProc, ManyPaintCyclesAndFontChangesLeakNoHandles) {
    ProbeForm* form = makeForm<PopupProbeForm>(log, u"LeakProbe");
    ASSERT_NE(form, nullptr);
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    form->onPaint = [&](HDC dc) {
        TFontRec rec;
        StrToFontName(u"Arial", rec.frName);
        rec.frHeight = 12;
        form->selectFont(dc, rec);
        TextOutW(dc, 2, 2, L"x", 1);
    };
    form->onLButtonDown = [&](WORD, int x, int) {
        form->font().SetHeight(10 + x % 7);
        Rectangle(form->getDC(), 0, 0, 5, 5);
        return 0;
    };
    auto run = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            InvalidateRect(form->Handle(), nullptr, TRUE);
            UpdateWindow(form->Handle());
            SendMessageW(form->Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(i, 0));
        }
    };
    run(20);  // GDI caches settle
    const int before = creatableBrushes();
    run(2000);
    EXPECT_EQ(creatableBrushes(), before);
    EXPECT_GE(log.count("paint"), 2000);
}

TEST(MessageNames, NameKnownMessagesAndNumberTheRest) {
    EXPECT_EQ(DescribeMessage(WM_PAINT), "WM_PAINT");
    EXPECT_EQ(DescribeMessage(WM_NCDESTROY), "WM_NCDESTROY");
    EXPECT_EQ(DescribeMessage(0x0401), "0x0401");
    EXPECT_EQ(DescribeMessage(0xC123), "0xC123");
}

}  // namespace
