// Tests of the dispatch of a window control: handlers and their arguments, what reaches the default procedure, keyboard, scroll and menu rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/exceptions.h"
#include "common/wtext.h"
#include "smallib/gdi_handles.h"
#include "tests/smallib/framework_test_support.h"

namespace {

using namespace fwtest;

class Dispatch : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        form = makeForm<PopupProbeForm>(log, u"DispatchProbe");
        ASSERT_NE(form, nullptr);
        log.clear();
    }
    LRESULT send(UINT Msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(form->Handle(), Msg, wParam, lParam);
    }

    ProbeForm* form = nullptr;
};

// Real input, through the system's queue and the message loop.
TEST_F(Dispatch, ClickAndKeyReachTheirHandlersWithClientCoordinatesAndCodes) {
    SetWindowPos(form->Handle(), HWND_TOP, 100, 120, 300, 200, SWP_SHOWWINDOW);
    SetForegroundWindow(form->Handle());
    SetFocus(form->Handle());
    pumpMessagesLeavingQuit();
    POINT client{30, 40};
    ClientToScreen(form->Handle(), &client);
    SetCursorPos(client.x, client.y);
    pumpMessagesLeavingQuit();
    form->onLButtonDown = [](WORD, int, int) { return 0; };
    form->onKeyDown = [](WPARAM&) { return 0; };
    log.clear();

    INPUT input[4] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    input[2].type = INPUT_KEYBOARD;
    input[2].ki.wVk = 'Q';
    input[3].type = INPUT_KEYBOARD;
    input[3].ki.wVk = 'Q';
    input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(4, input, sizeof(INPUT)), 4u);
    for (int i = 0; i < 50 && log.count("wmKeyDown 81") == 0; ++i) {
        pumpMessagesLeavingQuit();
        Sleep(10);
    }
    EXPECT_TRUE(SequenceIs(log, {"wmLButtonDown 1 30,40", "wmKeyDown 81"}));
}

TEST_F(Dispatch, CommandCarriesTheHighWordOfLParamAsNotifyCode) {
    BoxCapture boxes;
    const struct {
        WORD id, code;
        bool diagnostic;
    } cases[] = {{190, 37, false}, {190, 0, true}, {4711, 5, true}, {20, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        log.clear();
        const std::size_t shown = boxes.boxes().size();
        // The word of wParam that Windows uses for the code carries junk here on purpose.
        PostMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(c.id, 99), MAKELPARAM(0, c.code));
        pumpMessagesLeavingQuit();
        EXPECT_EQ(log.count("HandleCommand " + std::to_string(c.id) + "/" + std::to_string(c.code)), 1);
        EXPECT_EQ(boxes.boxes().size(), shown + (c.diagnostic ? 1 : 0));
    }
    ASSERT_EQ(boxes.boxes().size(), 2u);
    const std::u16string cls = U(form->WndClass().lpszClassName);
    EXPECT_EQ(boxes.boxes()[0].text, cls + u": Command 190 Notify: 00");
    EXPECT_EQ(boxes.boxes()[1].text, cls + u": Command 4711 Notify: 05");
    EXPECT_EQ(boxes.boxes()[0].owner, MainWnd);
}

TEST_F(Dispatch, HandlerResultsDecideWhatTheDefaultProcedureSees) {
    const DefaultProcRecorder recorder(*form, log);

    form->onLButtonDown = [](WORD, int, int) { return 1; };
    send(WM_LBUTTONDOWN);
    form->onLButtonDown = [](WORD, int, int) { return 0; };
    send(WM_LBUTTONDOWN);
    EXPECT_EQ(log.count("default WM_LBUTTONDOWN 0"), 1);

    form->onKeyDown = [](WPARAM& vKey) {
        vKey = 'Z';
        return 1;
    };
    send(WM_KEYDOWN, 'A');
    EXPECT_EQ(log.count("default WM_KEYDOWN 90"), 1) << "the changed key";
    EXPECT_EQ(log.count("wmKeyDown 65"), 1) << "asked once";

    form->onMouseWheel = [](WPARAM) { return LRESULT{0}; };
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120));
    EXPECT_EQ(log.count("default WM_MOUSEWHEEL " + std::to_string(MAKEWPARAM(0, 120))), 1);
    form->onMouseWheel = [](WPARAM) { return LRESULT{5}; };
    log.clear();
    EXPECT_EQ(send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120)), 5);
    EXPECT_EQ(log.count("default WM_MOUSEWHEEL " + std::to_string(MAKEWPARAM(0, 120))), 0);

    form->FEraseBkGnd = false;
    log.clear();
    EXPECT_EQ(send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(form->getDC())), 0);
    EXPECT_EQ(log.count("WM_ERASEBKGND"), 1);
    EXPECT_TRUE(SequenceIs(log, {"WM_ERASEBKGND"})) << "not passed on";

    // The cursor of another window's area is left alone; outside the client area it is the
    // default procedure's business.
    log.clear();
    EXPECT_EQ(send(WM_SETCURSOR, reinterpret_cast<WPARAM>(GetDesktopWindow()), MAKELPARAM(HTCLIENT, 0)), 0);
    send(WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(HTCAPTION, 0));
    EXPECT_EQ(log.count("default WM_SETCURSOR " + std::to_string(reinterpret_cast<WPARAM>(form->Handle()))), 1);
    EXPECT_EQ(log.count("default WM_SETCURSOR " + std::to_string(reinterpret_cast<WPARAM>(GetDesktopWindow()))), 0);
}

// A form with a vertical scroll bar of range 1000, 100 pixels of client height.
class ScrollForm : public ProbeForm {
public:
    using ProbeForm::ProbeForm;
    void atCreate() override { Style |= WS_VSCROLL; }
};

class Scrolling : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        form = makeForm<ScrollForm>(log, u"ScrollProbe");
        ASSERT_NE(form, nullptr);
        form->SetClientHeight(100);
        ASSERT_EQ(form->ClientHeight(), 100);
        form->SetVScrollRange(1000);
    }
    ScrollForm* form = nullptr;
};

TEST_F(Scrolling, ScrollCodesMoveTheBarByTheRules) {
    const struct {
        int from, code, pos, to;
    } cases[] = {
        {500, SB_LINEUP, 0, 480},   {10, SB_LINEUP, 0, 0},         {500, SB_LINEDOWN, 0, 520},
        {990, SB_LINEDOWN, 0, 1000}, {500, SB_PAGEUP, 0, 420},      {50, SB_PAGEUP, 0, 0},
        {500, SB_PAGEDOWN, 0, 580},  {950, SB_PAGEDOWN, 0, 1000},   {500, SB_THUMBPOSITION, 77, 500},
        {500, SB_THUMBTRACK, 123, 123}, {500, SB_TOP, 0, 0},       {500, SB_BOTTOM, 0, 1000},
        {500, SB_ENDSCROLL, 0, 500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "from " << c.from << " code " << c.code);
        form->SetVScrollPos(c.from);
        SendMessageW(form->Handle(), WM_VSCROLL, MAKEWPARAM(c.code, c.pos), 0);
        EXPECT_EQ(form->GetVScrollPos(), c.to);
    }
}

TEST_F(Scrolling, KeysScrollOrGoUpUnhandled) {
    const DefaultProcRecorder recorder(*form, log);
    const struct {
        const char* what;
        WPARAM key;
        std::initializer_list<int> held;
        int to;  // -1: not handled here, passed to the default procedure
    } cases[] = {
        {"Ctrl+End", VK_END, {VK_CONTROL}, 1000}, {"End", VK_END, {}, -1},
        {"Alt+Ctrl+End", VK_END, {VK_CONTROL, VK_MENU}, -1}, {"Ctrl+Home", VK_HOME, {VK_CONTROL}, 0},
        {"Page down", VK_NEXT, {}, 580}, {"Up", VK_UP, {}, 480},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form->SetVScrollPos(500);
        log.clear();
        const KeysDown keys(c.held);
        SendMessageW(form->Handle(), WM_KEYDOWN, c.key, 0);
        if (c.to < 0) {
            EXPECT_EQ(form->GetVScrollPos(), 500);
            EXPECT_EQ(log.count("default WM_KEYDOWN " + std::to_string(c.key)), 1);
        } else {
            EXPECT_EQ(form->GetVScrollPos(), c.to);
            EXPECT_EQ(log.count("default WM_KEYDOWN " + std::to_string(c.key)), 0);
        }
    }
}

TEST_F(Scrolling, PositionsBeyondTheThumbRangeMoveOnlyTheBar) {
    form->SetVScrollPos(40000);
    EXPECT_EQ(form->GetVScrollRange(), 40000);
    EXPECT_EQ(form->GetVScrollPos(), 40000);
}

TEST_F(Dispatch, F1AsksTheApplicationForHelpUnlessShiftOrCtrlIsHeld) {
    std::vector<int> asked;
    app->UserHelpContextFunc = [&](int id) {
        asked.push_back(id);
        return true;
    };
    form->SetHelpContext(100);
    send(WM_KEYDOWN, VK_F1);
    {
        const KeysDown shift({VK_SHIFT});
        send(WM_KEYDOWN, VK_F1);
    }
    EXPECT_EQ(asked, std::vector<int>{100});
}

// Builds a menu from a compact description: "-" a separator, "[" opens and "]" closes a
// pop-up titled "popup", "" an item without text, anything else an item of that text.
MenuHandle buildMenu(std::initializer_list<const char*> items) {
    std::vector<HMENU> stack{CreatePopupMenu()};
    UINT id = 500;
    for (const std::string item : items) {
        if (item == "[") {
            stack.push_back(CreatePopupMenu());
        } else if (item == "]") {
            HMENU sub = stack.back();
            stack.pop_back();
            AppendMenuA(stack.back(), MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "popup");
        } else if (item == "-") {
            AppendMenuA(stack.back(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(stack.back(), MF_STRING, id++, item.c_str());
        }
    }
    return MenuHandle(stack.front());
}

std::string describeMenu(HMENU menu) {
    std::string s;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (!s.empty()) s += " ";
        if (GetMenuItemID(menu, i) == 0) {
            s += "-";
            continue;
        }
        char text[100] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, 100, MF_BYPOSITION);
        s += text;
        if (HMENU sub = GetSubMenu(menu, i)) {
            s += '[';
            s += describeMenu(sub);
            s += ']';
        }
    }
    return s;
}

TEST(TidyMenu, RemovesEmptyPopUpsAndSuperfluousSeparators) {
    const struct {
        std::initializer_list<const char*> menu;
        const char* tidy;
    } cases[] = {
        {{"-", "A", "-", "-", "[", "-", "]", "B", "-"}, "A - B"},
        {{"A", "-", "[", "x", "-", "-", "y", "-", "]"}, "A - popup[x - y]"},
        {{"A", "B", "", "-", ""}, "A B"},
        {{"-", "-"}, ""},
        {{"A"}, "A"},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(row++);
        const MenuHandle menu = buildMenu(c.menu);
        TidyMenu(menu.get());
        EXPECT_EQ(describeMenu(menu.get()), c.tidy);
    }
}

TEST_F(Dispatch, ContextMenuComesInTheFormsLanguageWithoutTheHiddenCommands) {
    const DefaultProcRecorder recorder(*form, log);
    static const std::int32_t hidden[] = {302, 0};
    std::string shown;
    form->onInitMenuPopup = [&](HMENU menu) {
        shown = describeMenu(menu);
        EndMenu();
        return 0;
    };
    form->ContextMenu = u"FWCONTEXT";
    form->FHideCommands = hidden;
    form->SetMenuLanguage(lg_UK);  // uses the US resources
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);

    send(WM_RBUTTONDOWN, 0, MAKELPARAM(20, 30));
    EXPECT_EQ(shown, "&Copy - &Properties");
    EXPECT_EQ(form->CurPopupMenu, nullptr);
    EXPECT_EQ(form->MouseAtClick().x, 20);
    EXPECT_EQ(form->MouseAtClick().y, 30);
    EXPECT_EQ(log.count("default WM_RBUTTONDOWN 0"), 0);

    // No such menu in Spanish: the click goes on to the default procedure.
    shown.clear();
    form->SetMenuLanguage(lg_ES);
    send(WM_RBUTTONDOWN, 0, MAKELPARAM(20, 30));
    EXPECT_EQ(shown, "");
    EXPECT_EQ(log.count("default WM_RBUTTONDOWN 0"), 1);
}

TEST_F(Dispatch, WindowTextsShortAndLong) {
    EXPECT_EQ(form->GetLongText(), u"DispatchProbe");
    form->SetLongText(u"");
    EXPECT_EQ(form->GetLongText(), u"");
    const std::u16string longText(600, u'w');
    form->SetLongText(longText);
    EXPECT_EQ(form->GetLongText(), longText);
    EXPECT_EQ(form->GetText(), std::u16string(254, u'w')) << "the short form reads at most 254";
    log.clear();
    form->SetText(u"abc");
    form->SetText(u"abc");
    EXPECT_EQ(log.count("WM_SETTEXT"), 1) << "an unchanged text is not set again";
}

}  // namespace
