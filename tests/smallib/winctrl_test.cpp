// Tests of containers: focus movement among window children, Alt accelerators, copied data, resizing, the class-name registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/wtext.h"
#include "smallib/window_proc.h"
#include "tests/smallib/framework_test_support.h"

namespace {

using namespace fwtest;

// Creates the child window of a window control the way the framework binds its windows.
void createChildWindow(TSWinCtrl0* ctrl, TSWinCtrl* parent, int x) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = SWndProc;
    wc.cbWndExtra = WindowExtraBytes;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"FwTestChild";
    RegisterWindowClass(wc);
    HWND const wnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, x, 0, 30, 30, parent->Handle(),
                                     nullptr, wc.hInstance, ctrl);
    ASSERT_NE(wnd, nullptr);
    ASSERT_EQ(ctrl->Handle(), wnd);
    ctrl->Setvisible(true);
}

class ChildCtrl : public TSWinCtrl0 {
public:
    ChildCtrl(TSWinCtrl* parent, MessageLog& log, std::string name) : TSWinCtrl0(parent), FLog(log), FName(std::move(name)) {
        createChildWindow(this, parent, 40 * parent->FControls.IndexOf(this));
    }
    void wmActivate() override {
        FLog.add("activate " + FName);
        TSWinCtrl0::wmActivate();
    }
    void wmDeactivate() override {
        FLog.add("deactivate " + FName);
        TSWinCtrl0::wmDeactivate();
    }

private:
    MessageLog& FLog;
    std::string FName;
};

class ChildContainer : public TSWinCtrl {
public:
    explicit ChildContainer(TSWinCtrl* parent) : TSWinCtrl(parent) { createChildWindow(this, parent, 0); }
};

class AcceleratorCtrl : public TSCtrl {
public:
    AcceleratorCtrl(TSWinCtrl* parent, MessageLog& log) : TSCtrl(parent), FLog(log) {}
    bool isAccelerator(char16_t key) override { return key == u'S'; }
    void doAccelerator() override { FLog.add("doAccelerator"); }

private:
    MessageLog& FLog;
};

class Container : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        form = makeForm<PopupProbeForm>(log, u"ContainerProbe");
        ASSERT_NE(form, nullptr);
        ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    }
    ProbeForm* form = nullptr;
};

TEST_F(Container, TabMovesTheActivationAmongVisibleWindowChildren) {
    ChildCtrl* children[] = {new ChildCtrl(form, log, "a"), new ChildCtrl(form, log, "b"),
                             new ChildCtrl(form, log, "c")};
    const struct {
        const char* what;
        int from;
        bool shift;
        bool othersHidden;
        const char* deactivated;
        const char* activated;
        int to;
    } cases[] = {
        {"Tab from the second", 1, false, false, "deactivate b", "activate c", 2},
        {"Tab from the last wraps", 2, false, false, "deactivate c", "activate a", 0},
        {"Shift+Tab from the first", 0, true, false, "deactivate a", "activate c", 2},
        {"Tab with all others hidden", 1, false, true, "deactivate b", "activate b", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form->FActivCtrl = c.from;
        children[0]->Setvisible(!c.othersHidden);
        children[2]->Setvisible(!c.othersHidden);
        log.clear();
        const KeysDown shift(c.shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
        SendMessageW(form->Handle(), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_TRUE(SequenceIs(log, {c.deactivated, c.activated}));
        EXPECT_EQ(form->FActivCtrl, c.to);
    }
}

TEST_F(Container, AltKeyGoesToTheChildThatClaimsItOnce) {
    ChildContainer* panel = new ChildContainer(form);
    new AcceleratorCtrl(panel, log);
    const DefaultProcRecorder recorder(*panel, log);
    const struct {
        UINT msg;
        WPARAM key;
    } claimed[] = {{WM_SYSKEYDOWN, 'S'}, {WM_SYSCHAR, 's'}, {WM_SYSKEYUP, 'S'}};
    for (const auto& c : claimed) {
        SCOPED_TRACE(c.msg);
        EXPECT_EQ(SendMessageW(panel->Handle(), c.msg, c.key, 0), 0);
    }
    EXPECT_EQ(log.count("doAccelerator"), 1);
    EXPECT_TRUE(SequenceIs(log, {"doAccelerator"})) << "the default procedure saw none of them";

    SendMessageW(panel->Handle(), WM_SYSKEYDOWN, 'X', 0);
    EXPECT_EQ(log.count("default WM_SYSKEYDOWN 88"), 1);
    EXPECT_EQ(log.count("doAccelerator"), 1);
}

TEST_F(Container, CopiedDataReachesTheFormItWasSentTo) {
    ProbeForm* other = makeForm<ProbeForm>(log, u"ContainerProbe2");
    ASSERT_NE(other, nullptr);
    const char hallo[] = "hallo";
    const char welt[] = "welt!";
    COPYDATASTRUCT first{7, 5, const_cast<char*>(hallo)};
    COPYDATASTRUCT second{8, 5, const_cast<char*>(welt)};
    EXPECT_EQ(SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&first)), 1);
    EXPECT_EQ(SendMessageW(other->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&second)), 1);
    EXPECT_EQ(form->copiedData, std::vector<std::string>{"hallo"});
    EXPECT_EQ(other->copiedData, std::vector<std::string>{"welt!"});
    EXPECT_TRUE(SequenceIs(log, {"wmCopyData 7", "wmCopyData 8"}));

    EXPECT_EQ(app->FFormList.FindByHandle(other->Handle()), other);
    EXPECT_EQ(app->FFormList.FindByHandle(form->Handle()), form);
    EXPECT_EQ(app->FFormList.FindByHandle(GetDesktopWindow()), nullptr);
}

TEST_F(Container, AMinimizedContainerIsNotRepainted) {
    ChildContainer* panel = new ChildContainer(form);
    const struct {
        WPARAM sizeType;
        bool repaint;
    } cases[] = {{SIZE_MINIMIZED, false}, {SIZE_RESTORED, true}, {SIZE_MAXIMIZED, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizeType);
        UpdateWindow(form->Handle());
        ValidateRect(panel->Handle(), nullptr);
        SendMessageW(panel->Handle(), WM_SIZE, c.sizeType, MAKELPARAM(30, 30));
        EXPECT_EQ(GetUpdateRect(panel->Handle(), nullptr, FALSE) != 0, c.repaint);
    }
}

TEST_F(Container, OwnerFormActiveLooksAboveTheContainer) {
    ChildContainer* panel = new ChildContainer(form);
    EXPECT_FALSE(form->GetOwnerFormActive()) << "a form has no form above it";
    SendMessageW(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(form->Active());
    EXPECT_TRUE(panel->GetOwnerFormActive());
    EXPECT_FALSE(form->GetOwnerFormActive());
}

TEST_F(Container, RegistersEachClassNameOnceWhateverItsCase) {
    const int before = RegisteredClassCount();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    for (const wchar_t* name : {L"FwRegistryProbe", L"FwRegistryProbe", L"FWREGISTRYPROBE"}) {
        wc.lpszClassName = name;
        RegisterWindowClass(wc);
    }
    EXPECT_EQ(RegisteredClassCount(), before + 1);
    WNDCLASSW found{};
    EXPECT_TRUE(GetClassInfoW(wc.hInstance, L"FwRegistryProbe", &found));
}

}  // namespace
