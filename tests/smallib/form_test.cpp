// Tests of forms: class names, the close and destroy protocol, commands, the hidden menu, menu editing, help tracking, shortcuts, painting children.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/exceptions.h"
#include "common/wtext.h"
#include "smallib/gdi_handles.h"
#include "smallib/report.h"
#include "smallib/window_proc.h"
#include "tests/smallib/framework_test_support.h"

namespace {

using namespace fwtest;

class Form : public FrameworkTest {};

std::string describeMenu(HMENU menu) {
    std::string s;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (!s.empty()) s += " ";
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0) {
            s += "-";
            continue;
        }
        char text[100] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, 100, MF_BYPOSITION);
        s += text;
        if (HMENU sub = GetSubMenu(menu, i))
            {
            s += '[';
            s += describeMenu(sub);
            s += ']';
        }
        else
            s += "#" + std::to_string(id);
    }
    return s;
}

TEST_F(Form, ClassIsNamedAfterTheFormAndTheInstanceUnlessTheNameEndsInUnderscore) {
    const std::u16string instance =
        DecimalText(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr))));
    const struct {
        std::u16string name, className;
    } cases[] = {{u"Probe", u"Probe" + instance}, {u"Fixed_", u"Fixed_"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        ProbeForm* form = makeForm<ProbeForm>(log, c.name);
        ASSERT_NE(form, nullptr);
        wchar_t cls[100] = {};
        GetClassNameW(form->Handle(), cls, 100);
        EXPECT_EQ(U(cls), c.className);
        EXPECT_EQ(form->formName(), c.className);
        EXPECT_EQ(form->GetText(), c.name) << "the caption is the name passed";
    }
    EXPECT_THROW(TSForm::CreateForm<ProbeForm>(log, u""), Exception);
}

TEST_F(Form, CloseProtocolDestroysOrHides) {
    const struct {
        const char* what;
        bool mainForm;
        int commandResult;  // what HandleCommand(6) answers; -1: the form's own (destroys, 0)
        bool destroyed;
        std::vector<std::string> sequence;
    } cases[] = {
        {"main form, the command destroys", true, -1, true,
         {"HandleCommand 6/0", "WM_DESTROY", "wmDestroy", "WM_NCDESTROY", "~ProbeForm"}},
        {"main form, the command answers WM_CLOSE", true, WM_CLOSE, true,
         {"HandleCommand 6/0", "WM_CLOSE", "HandleCommand 6/0", "WM_DESTROY", "wmDestroy", "WM_NCDESTROY", "~ProbeForm"}},
        {"other form, the command destroys", false, -1, true,
         {"HandleCommand 6/0", "WM_DESTROY", "wmDestroy", "WM_NCDESTROY", "~ProbeForm"}},
        {"other form, the command answers WM_CLOSE", false, WM_CLOSE, false,
         {"HandleCommand 6/0", "WM_CLOSE", "HandleCommand 6/0", "WM_SHOWWINDOW"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeForm* mainForm = makeForm<ProbeForm>(log, u"MainProbe");
        ProbeForm* form = c.mainForm ? mainForm : makeForm<ProbeForm>(log, u"OtherProbe");
        ASSERT_NE(form, nullptr);
        ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
        if (c.commandResult >= 0) form->onCommand = [&c](WORD, WORD) { return c.commandResult; };
        HWND const wnd = form->Handle();
        log.clear();
        // What choosing "close" in the menu sends.
        PostMessageW(wnd, WM_COMMAND, cmClose, 0);
        pumpMessagesLeavingQuit();
        EXPECT_TRUE(SequenceIs(log, c.sequence));
        EXPECT_EQ(IsWindow(wnd) != 0, !c.destroyed);
        EXPECT_EQ(takeQuitMessage(), c.mainForm) << "only the main form ends the message loop";
        if (c.destroyed) {
            EXPECT_EQ(app->FFormList.IndexOf(form), -1);
        } else {
            EXPECT_FALSE(IsWindowVisible(wnd));
            EXPECT_FALSE(form->visible());
            form->Setvisible(true);
            EXPECT_TRUE(IsWindowVisible(wnd)) << "a hidden form can be shown again";
        }
        app->DestroyAllForms();
        takeQuitMessage();
    }
}

TEST_F(Form, MainFormEndsTheLoopEvenWhenItsDestroyHandlerRaises) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"RaisingProbe");
    ASSERT_NE(form, nullptr);
    form->onDestroy = [] { throw Exception(u"boom"); };
    DestroyWindow(form->Handle());
    EXPECT_TRUE(takeQuitMessage()) << "else the process would live on without a window";
    ASSERT_TRUE(HasPendingException());
    TakePendingException();
}

TEST_F(Form, CommandResultIsAMessageTheFormSendsItself) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"CommandProbe");
    ASSERT_NE(form, nullptr);
    std::vector<std::pair<WPARAM, LPARAM>> received;
    form->onMessage = [&](UINT Msg) {
        if (Msg == WM_USER + 5) received.emplace_back(0, 0);
    };
    form->onCommand = [](WORD id, WORD) { return id == 111 ? WM_USER + 5 : 0; };
    SendMessageW(form->Handle(), WM_COMMAND, 111, MAKELPARAM(0, 3));
    SendMessageW(form->Handle(), WM_COMMAND, 112, 0);
    EXPECT_TRUE(SequenceIs(log, {"HandleCommand 111/3", "0x0405", "HandleCommand 112/0"}));
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(Form, ClosingAMaximizedFormRestoresItFirstUnlessOnlyMaximized) {
    for (const bool onlyMaximized : {false, true}) {
        SCOPED_TRACE(onlyMaximized);
        ProbeForm* form = makeForm<ProbeForm>(log, u"ZoomProbe");
        ASSERT_NE(form, nullptr);
        form->onCommand = [](WORD, WORD) { return 0; };  // keeps the window
        form->SetOnlyMaximized(onlyMaximized);
        ShowWindow(form->Handle(), SW_SHOWMAXIMIZED);
        ASSERT_TRUE(IsZoomed(form->Handle()));
        SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(form->WasMaximized());
        EXPECT_EQ(IsZoomed(form->Handle()) != 0, onlyMaximized);
        DestroyWindow(form->Handle());
    }
}

TEST_F(Form, HiddenMenuStillTakesCheckMarks) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"MenuProbe", u"FWTESTMENU");
    ASSERT_NE(form, nullptr);
    HMENU const menu = ::GetMenu(form->Handle());
    ASSERT_NE(menu, nullptr);

    form->ShowMenu(false);
    form->ShowMenu(false);
    EXPECT_TRUE(form->MenuHidden());
    EXPECT_EQ(::GetMenu(form->Handle()), nullptr);
    EXPECT_EQ(form->GetMenu(), menu);
    form->MenuCheckItem(113, true);
    form->MenuEnableItem(115, false);
    EXPECT_EQ(GetMenuState(menu, 113, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, 115, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

    form->ShowMenu(true);
    EXPECT_FALSE(form->MenuHidden());
    EXPECT_EQ(::GetMenu(form->Handle()), menu);
    form->MenuCheckItem(113, false);
    EXPECT_EQ(GetMenuState(menu, 113, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(Form, MenuAddItemByTheFirstCharacter) {
    const struct {
        const char* what;
        WORD before, id;
        std::u16string text;
        const char* options;  // the "&Optionen" pop-up afterwards
    } cases[] = {
        {"plain item", 115, 200, u"Neu", "mit &Sound#113 Neu#200 &Laie#115 &Experte#116"},
        {"separator", 116, 0, u"-", "mit &Sound#113 &Laie#115 - &Experte#116"},
        {"pop-up", 116, 201, u">Mehr>Eintrag", "mit &Sound#113 &Laie#115 Mehr[Eintrag#201] &Experte#116"},
        {"\"*\" deletes", 115, 0, u"*", "mit &Sound#113 &Experte#116"},
        {"pop-up without its second \">\"", 116, 202, u">kaputt", "mit &Sound#113 &Laie#115 &Experte#116"},
        {"before an id that no item has", 999, 203, u"nirgends", "mit &Sound#113 &Laie#115 &Experte#116"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeForm* form = makeForm<ProbeForm>(log, u"MenuProbe", u"FWTESTMENU");
        ASSERT_NE(form, nullptr);
        form->MenuAddItem(c.before, c.id, c.text);
        EXPECT_EQ(describeMenu(GetSubMenu(form->GetMenu(), 1)), c.options);
        DestroyWindow(form->Handle());
    }
    ProbeForm* bare = makeForm<ProbeForm>(log, u"BareProbe");
    ASSERT_NE(bare, nullptr);
    EXPECT_NO_THROW(bare->MenuAddItem(1, 2, u"x")) << "a form without a menu has nothing to change";
}

TEST_F(Form, DeleteEmptyPopUpsTidiesEveryLevel) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"MenuProbe", u"FWTESTMENU");
    ASSERT_NE(form, nullptr);
    for (const WORD id : {113, 115, 116, 117}) form->MenuDeleteItem(id);
    form->MenuDeleteItem(101);
    form->DeleteEmptyPopUps();
    EXPECT_EQ(describeMenu(form->GetMenu()), "&Datei[&Beenden\tAlt+F4#6]");
}

TEST_F(Form, SettingTheClientSizeToItselfKeepsTheWindowSize) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"SizeProbe", u"FWTESTMENU");
    ASSERT_NE(form, nullptr);
    RECT before{}, after{};
    GetWindowRect(form->Handle(), &before);
    form->SetClientWidth(form->ClientWidth());
    form->SetClientHeight(form->ClientHeight());
    GetWindowRect(form->Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    form->SetClientWidth(321);
    form->SetClientHeight(123);
    EXPECT_EQ(form->ClientWidth(), 321);
    EXPECT_EQ(form->ClientHeight(), 123);
}

// The window's size at hold time, as the window shows it.
SIZE clientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

TEST_F(Form, HeldBoundsForetellTheClientAreaAndMoveTheWindowOnce) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"HoldProbe", u"FWTESTMENU");
    ASSERT_NE(form, nullptr);
    // The width the menu bar needs on one line, measured on the real window.
    form->SetWidth(600);
    int bar = 0;
    for (const RECT& item : form->MenuBarItemRects()) bar += item.right - item.left;
    ASSERT_GT(bar, 0);
    const int frame = form->Width() - form->ClientWidth();
    const struct {
        const char* what;
        int width, height;
    } cases[] = {
        {"menu bar on one line", frame + bar + 40, 300},
        {"menu bar wrapped", frame + bar - 10, 300},
        {"narrower than a window can be", 10, 10},
        {"the size it has", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form->SetWidth(600);
        form->SetHeight(400);
        RECT before{};
        GetWindowRect(form->Handle(), &before);
        log.clear();
        form->HoldBounds();
        if (c.width > 0) {
            form->SetWidth(c.width);
            form->SetHeight(c.height);
        }
        const SIZE foretold{form->ClientWidth(), form->ClientHeight()};
        RECT held{};
        GetWindowRect(form->Handle(), &held);
        EXPECT_TRUE(EqualRect(&before, &held)) << "the window waits for the release";
        EXPECT_EQ(log.count("WM_WINDOWPOSCHANGED"), 0);
        EXPECT_EQ(log.count("WM_SIZE"), c.width > 0 ? 2 : 0) << "each size change, as the form reckons it";
        form->ReleaseBounds();
        EXPECT_EQ(log.count("WM_WINDOWPOSCHANGED"), c.width > 0 ? 1 : 0);
        const SIZE real = clientOf(form->Handle());
        EXPECT_EQ(real.cx, foretold.cx);
        EXPECT_EQ(real.cy, foretold.cy);
    }
}

TEST_F(Form, HelpFollowsTheHighlightedMenuItem) {
    std::vector<int> asked;
    app->UserHelpContextFunc = [&](int id) {
        asked.push_back(id);
        return true;
    };
    ProbeForm* form = makeForm<ProbeForm>(log, u"HelpProbe", u"FWTESTMENU");
    ASSERT_NE(form, nullptr);
    form->SetHelpContext(100);
    const KeysDown f1({VK_F1});

    SendMessageW(form->Handle(), WM_MENUSELECT, MAKEWPARAM(113, MF_STRING), 0);
    SendMessageW(form->Handle(), WM_ENTERIDLE, MSGF_MENU, 0);
    EXPECT_EQ(form->GetText(), u"113");
    SendMessageW(form->Handle(), WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), 0);
    SendMessageW(form->Handle(), WM_ENTERIDLE, MSGF_MENU, 0);
    // The common dialogs' Help button: the form's own context after a command.
    SendMessageW(form->Handle(), WM_COMMAND, 912, 0);
    SendMessageW(form->Handle(), RegisterWindowMessageW(L"commdlg_help"), 0, 0);
    EXPECT_EQ(asked, (std::vector<int>{113, 100}));
}

TEST_F(Form, ShortcutTextOfAMenuItemChoosesItsCommand) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"ShortcutProbe", u"FWTESTMENU");
    ProbeForm* bare = makeForm<ProbeForm>(log, u"NoMenuProbe");
    ASSERT_TRUE(form && bare);
    const DefaultProcRecorder recorder(*bare, log);
    const KeysDown alt({VK_MENU});

    SendMessageW(bare->Handle(), WM_SYSKEYDOWN, VK_F4, 0);
    pumpMessagesLeavingQuit();
    EXPECT_TRUE(IsWindow(bare->Handle())) << "no item names Alt+F4";
    EXPECT_EQ(log.count("default WM_SYSKEYDOWN " + std::to_string(VK_F4)), 0);
    // Alt alone and F10 open the menu bar, which only the default procedure does.
    for (const WPARAM menuKey : {WPARAM{VK_MENU}, WPARAM{VK_F10}}) {
        SendMessageW(bare->Handle(), WM_SYSKEYDOWN, menuKey, 0);
        EXPECT_EQ(log.count("default WM_SYSKEYDOWN " + std::to_string(menuKey)), 1) << menuKey;
    }

    HWND const wnd = form->Handle();
    log.clear();
    SendMessageW(wnd, WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_EQ(log.count("HandleCommand 6/0"), 0) << "posted, not called";
    pumpMessagesLeavingQuit();
    EXPECT_TRUE(SequenceIs(log, {"wmKeyDown 115", "HandleCommand 6/0", "wmDestroy", "~ProbeForm"}));
    EXPECT_FALSE(IsWindow(wnd));
}

// F10 normally opens the menu bar; an item that names it is chosen once, and then the menu
// bar stays closed.
TEST_F(Form, F10ChoosesItsItemOnce) {
    ProbeForm* form = makeForm<ProbeForm>(log, u"F10Probe", u"FWTESTMENU");
    ASSERT_NE(form, nullptr);
    form->onCommand = [](WORD, WORD) { return 0; };
    const DefaultProcRecorder recorder(*form, log);
    log.clear();
    SendMessageW(form->Handle(), WM_SYSKEYDOWN, VK_F10, 0);
    pumpMessagesLeavingQuit();
    EXPECT_EQ(log.count("wmKeyDown " + std::to_string(VK_F10)), 1);
    EXPECT_EQ(log.count("HandleCommand 117/0"), 1);
    EXPECT_EQ(log.count("default WM_SYSKEYDOWN " + std::to_string(VK_F10)), 0);
}

class PaintedCtrl : public TSCtrl {
public:
    PaintedCtrl(TSWinCtrl* parent, MessageLog& log) : TSCtrl(parent), FLog(log) {}
    void paint(HDC dc) override {
        FLog.add("child paint");
        TSCtrl::paint(dc);
    }

private:
    MessageLog& FLog;
};

TEST_F(Form, PaintsItsVisibleWindowlessChildrenWhenThereIsSomethingToPaint) {
    ProbeForm* form = makeForm<PopupProbeForm>(log, u"PaintProbe");
    ASSERT_NE(form, nullptr);
    auto* shown = new PaintedCtrl(form, log);
    shown->Setvisible(true);
    new PaintedCtrl(form, log);  // hidden

    MemoryDC dc(CreateCompatibleDC(nullptr));
    form->paint(dc.get());
    EXPECT_EQ(log.count("child paint"), 0) << "empty update rectangle";

    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    InvalidateRect(form->Handle(), nullptr, TRUE);
    UpdateWindow(form->Handle());
    EXPECT_EQ(log.count("child paint"), 1);
}

}  // namespace
