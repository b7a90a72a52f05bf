// Tests of the application object: the message loop and its reports, the hidden window, Cyrillic keys and the sounds.
#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "common/wtext.h"
#include "smallib/application.h"
#include "smallib/dialogs.h"
#include "smallib/form.h"
#include "smallib/window_proc.h"
#include "tests/smallib/app_test_support.h"

using namespace apptest;

namespace {

constexpr const char16_t* AppName = u"S-AppTest_";

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartFramework();
        app = std::make_unique<TSApplication>(AppName, u"", u"C:\\apptest.hlp");
        ASSERT_NE(app->Handle(), nullptr);
    }

    void TearDown() override {
        app.reset();
        EndFramework();
        discardMessages();
        EXPECT_FALSE(watchdog.fired()) << "a loop or a box did not end";
    }

    std::unique_ptr<TSApplication> app;
    Watchdog watchdog;
};

TEST_F(ApplicationTest, HiddenWindowIsNeitherMainFormNorLeftBehind) {
    EXPECT_EQ(Application, app.get());
    EXPECT_EQ(app->MainForm(), nullptr);
    EXPECT_EQ(MainWnd, nullptr);
    EXPECT_EQ(app->Helpfilename(), u"C:\\apptest.hlp");
    // Other programs find the window by its fixed class name.
    EXPECT_EQ(FindWindowW(W(std::u16string(AppName)), nullptr), app->Handle());

    auto* form = makeForm<HookForm>(u"First");
    EXPECT_EQ(app->MainForm(), form);
    EXPECT_EQ(MainWnd, form->Handle());
    ASSERT_EQ(app->FormList().Count(), 2);
    EXPECT_EQ(app->GetForm(form->Handle()), form);

    HWND const hidden = app->Handle();
    HWND const main = form->Handle();
    app.reset();
    EXPECT_EQ(Application, nullptr);
    EXPECT_FALSE(IsWindow(hidden));
    EXPECT_FALSE(IsWindow(main));
}

// The whole loop: a failing click is reported and the loop goes on, "Stopped" is silent, and
// the menu shortcut Alt+F4, typed on the keyboard, closes the main form and ends Run.
TEST_F(ApplicationTest, RunReportsExceptionsGoesOnAndEndsWhenAShortcutClosesTheMainForm) {
    auto* form = makeForm<HookForm>(u"LoopForm", u"APPTESTMENU");
    ASSERT_EQ(app->MainForm(), form);
    HWND const wnd = form->Handle();
    int clicks = 0;
    form->onLButtonDown = [&](int, int) -> int {
        ++clicks;
        if (clicks == 1) throw Exception(u"boom");
        if (clicks == 2) throw Exception(u"Stopped");
        return 0;
    };
    form->onCommand = [&](WORD id, WORD) -> std::optional<int> {
        if (id != 101) return std::nullopt;
        SetForegroundWindow(wnd);
        SetFocus(wnd);
        typeKeys({VK_MENU}, VK_F4);
        return 0;
    };
    PostMessageW(wnd, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    PostMessageW(wnd, WM_LBUTTONDOWN, 0, MAKELPARAM(6, 6));
    PostMessageW(wnd, WM_COMMAND, 101, 0);

    const BoxCapture boxes;
    EXPECT_EQ(app->Run(), 0);

    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, u"S-AppTest_:...\rMessage 201\r(boom)");
    EXPECT_EQ(boxes.boxes()[0].owner, app->Handle());
    EXPECT_EQ(boxes.boxes()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(app->MainForm(), nullptr);
    EXPECT_EQ(MainWnd, nullptr);
}

// Another program closing the hidden window (found by its class name) must neither end it
// nor leave the reports and the notification check without their window.
TEST_F(ApplicationTest, HiddenWindowOutlivesACloseFromOutsideAndStillReports) {
    auto* form = makeForm<HookForm>(u"Reporter");
    HWND const hidden = app->Handle();
    form->onLButtonDown = [](int, int) -> int { throw Exception(u"late"); };
    SendMessageW(hidden, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(hidden));
    ASSERT_EQ(app->ApplicationForm(), app->GetForm(hidden));

    std::vector<LPARAM> notified;
    app->SetNotificationProc([&](LPARAM l) { notified.push_back(l); });
    PostMessageW(form->Handle(), WM_LBUTTONDOWN, 0, 0);
    PostMessageW(hidden, WM_COMMAND, cmNotificationProc, 5);
    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
    const BoxCapture boxes;
    EXPECT_EQ(app->Run(), 0);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, u"S-AppTest_:...\rMessage 201\r(late)");
    EXPECT_EQ(boxes.boxes()[0].owner, hidden);
    EXPECT_EQ(notified, std::vector<LPARAM>{5});
}

// Should the hidden window go all the same, the application forgets it at once and reports
// through the main form.
TEST_F(ApplicationTest, ADestroyedHiddenWindowIsForgotten) {
    auto* form = makeForm<HookForm>(u"Survivor");
    form->onLButtonDown = [](int, int) -> int { throw Exception(u"alone"); };
    DestroyWindow(app->Handle());
    EXPECT_EQ(app->ApplicationForm(), nullptr);
    EXPECT_EQ(app->Handle(), nullptr);
    EXPECT_EQ(app->MainForm(), form);

    PostMessageW(form->Handle(), WM_LBUTTONDOWN, 0, 0);
    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
    const BoxCapture boxes;
    EXPECT_EQ(app->Run(), 0);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, u":...\rMessage 201\r(alone)");
}

// A form whose handler fails once for one message of its creation.
class FailingCreationForm : public TSForm {
public:
    explicit FailingCreationForm(UINT failAt) : TSForm(nullptr, u"FailingCreation", u"", u"", WHITE_BRUSH), FFailAt(failAt) {}
    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override {
        if (Msg == FFailAt && !FFailed) {
            FFailed = true;
            throw Exception(u"creation failed");
        }
        return TSForm::wndProc(Msg, wParam, lParam);
    }
    int HandleCommand(WORD id, WORD NotifyCode) override {
        return id == cmStart ? 0 : TSForm::HandleCommand(id, NotifyCode);
    }

private:
    UINT FFailAt;
    bool FFailed = false;
};

// Creation completes whatever its handlers raise, silently; what fails while the main form
// first shows itself is reported as in the loop. Either way the program comes up and runs.
TEST_F(ApplicationTest, AFailureWhileTheMainFormStartsDoesNotStopTheProgram) {
    const struct {
        UINT failAt;
        const char16_t* report;  // null: none
    } cases[] = {
        {WM_NCCREATE, nullptr},
        {WM_CREATE, nullptr},
        {WM_SIZE, u"S-AppTest_:...\rMessage 18\r(creation failed)"},
        {WM_PAINT, u"S-AppTest_:...\rMessage 0F\r(creation failed)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failAt);
        auto* form = TSForm::CreateForm<FailingCreationForm>(c.failAt);
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(IsWindow(form->Handle()));
        EXPECT_EQ(app->MainForm(), form);
        EXPECT_FALSE(HasPendingException());

        PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
        const BoxCapture boxes;
        EXPECT_EQ(app->Run(), 0);
        EXPECT_EQ(app->MainForm(), nullptr);
        std::vector<std::u16string> texts;
        for (const ShownBox& box : boxes.boxes()) texts.push_back(box.text);
        EXPECT_EQ(texts, c.report ? std::vector<std::u16string>{c.report} : std::vector<std::u16string>{});
    }
}

TEST_F(ApplicationTest, WhatIsNoStdExceptionLeavesRun) {
    auto* form = makeForm<HookForm>(u"ThrowForm");
    form->onLButtonDown = [](int, int) -> int { throw 42; };
    PostMessageW(form->Handle(), WM_LBUTTONDOWN, 0, 0);
    const BoxCapture boxes;
    EXPECT_THROW(app->Run(), int);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ApplicationTest, QuitCodeReachesRunThroughNestedLoops) {
    // No main form: Run shows nothing and waits for the quit message; its low word comes back.
    PostQuitMessage(0x12345);
    app->ProcessMessages();
    app->ProcessMessagesDDE();
    EXPECT_EQ(app->Run(), 0x2345);
}

TEST_F(ApplicationTest, HiddenWindowTakesNotificationsAndPassesCommandsToTheMainForm) {
    auto* form = makeForm<HookForm>(u"MainForm");
    std::vector<LPARAM> notified;
    app->SetNotificationProc([&](LPARAM l) { notified.push_back(l); });
    HWND const hidden = app->Handle();
    PostMessageW(hidden, WM_COMMAND, cmNotificationProc, 77);
    PostMessageW(hidden, WM_COMMAND, 123, MAKELPARAM(0, 9));
    PostMessageW(hidden, WM_COMMAND, cmNotification, 0);
    PostQuitMessage(0);
    const BoxCapture boxes;
    EXPECT_EQ(app->Run(), 0);

    EXPECT_EQ(notified, std::vector<LPARAM>{77});
    // 20 is the start command of Run; 3000 never reaches a HandleCommand.
    EXPECT_EQ(form->commands, (std::vector<std::pair<WORD, WORD>>{{cmStart, 0}, {123, 9}}));
    EXPECT_TRUE(app->Notification);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ApplicationTest, Wait4NotificationEndsAtTheNotificationOrWithTimeOut) {
    const BoxCapture boxes;
    PostMessageW(app->Handle(), WM_COMMAND, cmNotification, 0);
    app->Wait4Notification(30);
    EXPECT_TRUE(app->Notification);
    app->Wait4Notification(30);  // stays set: returns at once
    EXPECT_TRUE(boxes.boxes().empty());

    app->Notification = false;
    app->Wait4Notification(0);
    EXPECT_FALSE(app->Notification);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, u"timeOut");
    EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
    EXPECT_EQ(boxes.boxes()[0].caption, u"???");
}

TEST_F(ApplicationTest, CopiedDataGoesToTheFormNamedInTheUpperHalfOfDwData) {
    auto* second = makeForm<HookForm>(u"Second");
    auto* third = makeForm<HookForm>(u"Third");
    app->SetMainForm(third);
    const auto address = [](HWND target) {
        return (static_cast<ULONG_PTR>(reinterpret_cast<UINT_PTR>(target)) << (sizeof(ULONG_PTR) * 4)) | 7;
    };
    struct Case {
        const char* what;
        HWND target;
        HookForm* receiver;
    } const cases[] = {
        {"the application's own window means the program's first form", app->Handle(), second},
        {"a form's window", second->Handle(), second},
        {"the main form's window", third->Handle(), third},
        {"a window no form has means the main form", reinterpret_cast<HWND>(0x1234), third},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        second->copiedData.clear();
        third->copiedData.clear();
        char data[] = "data";
        COPYDATASTRUCT cds{address(c.target), sizeof data, data};
        EXPECT_EQ(SendMessageW(app->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), 1);
        EXPECT_EQ(c.receiver->copiedData, std::vector<ULONG_PTR>{cds.dwData});
        EXPECT_EQ((c.receiver == second ? third : second)->copiedData.size(), 0u);
    }
}

// An edit field in a Cyrillic font: the key that types "^" on a German keyboard types "^", the
// one that types "]" types nothing, whatever the keyboard layout makes of them.
TEST_F(ApplicationTest, CyrillicEditFieldsGetTheCaretAndNoBracket) {
    auto* form = makeForm<HookForm>(u"EditForm");
    HWND const edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30, form->Handle(), nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    HFONT const cyrillic = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Tahoma");
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(cyrillic), FALSE);

    struct Case {
        const char* what;
        WORD key;
        bool shift;
        std::u16string text;
    } const cases[] = {
        {"VK_OEM_5 gives the caret", VK_OEM_5, false, u"^"},
        {"VK_OEM_6 gives nothing", VK_OEM_6, false, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetWindowTextW(edit, L"");
        const UINT scan = MapVirtualKeyW(c.key, MAPVK_VK_TO_VSC);
        PostMessageW(edit, WM_KEYDOWN, c.key, static_cast<LPARAM>(1 | (scan << 16)));
        PostMessageW(edit, WM_KEYUP, c.key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
        PostQuitMessage(0);
        app->Run();
        wchar_t text[16] = {};
        GetWindowTextW(edit, text, 16);
        EXPECT_EQ(U(text), c.text);
    }
    DestroyWindow(edit);
    DeleteObject(cyrillic);
}

TEST_F(ApplicationTest, SoundsArePlayedFromResourcesAsTheBytesWrittenShow) {
    const std::u16string raw = audioFile();
    if (raw.empty()) GTEST_SKIP() << "TESS_AUDIO_RAW is not set: sound is not captured";
    constexpr std::int64_t toneSamples = 5000;
    constexpr std::int64_t longToneSamples = 40000;
    // The samples of the sound that the audio output has written when the call returns.
    const auto played = [&](const std::u16string& name) {
        DeleteFileW(W(raw));
        app->playSound(name);
        return soundSamples(raw);
    };

    // "!" waits: the whole sound has been written when the call returns. Names are found in
    // any letter case, also when the same sound is asked for again in another case.
    EXPECT_EQ(played(u"!tone"), toneSamples);
    EXPECT_EQ(played(u"!TONE"), toneSamples);
    EXPECT_EQ(played(u"!tone"), toneSamples);

    app->withSound = false;
    EXPECT_EQ(played(u"!longtone"), 0);
    app->withSound = true;
    // A sound that was asked for while sounds were off is loaded when they are on again.
    EXPECT_EQ(played(u"!longtone"), longToneSamples);

    EXPECT_NO_THROW(EXPECT_EQ(played(u"!nosuchsound"), 0));

    // Without "!" the call returns while the sound still plays.
    EXPECT_LT(played(u"longtone"), longToneSamples);
    std::int64_t samples = 0;
    for (int i = 0; i < 3000 && samples < longToneSamples; ++i) {
        Sleep(10);
        samples = soundSamples(raw);
    }
    EXPECT_EQ(samples, longToneSamples);
}

}  // namespace

namespace {

// The shell's functions need COM on the thread that calls them. The start of the framework
// leaves it to the first shell call, which initialises it for good.
TEST(FrameworkStart, InitialisesComForTheFirstShellCallAndReleasesItAtTheEnd) {
    StartFramework();
    const HRESULT before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(before, S_OK) << "not initialised by the start alone";
    if (SUCCEEDED(before)) CoUninitialize();
    const ShellOpenFunction saved = setShellOpenFunction([](HWND, const std::u16string&) {});
    ShellOpen(nullptr, u"zib.htm");
    ShellOpen(nullptr, u"zib.htm");
    setShellOpenFunction(saved);
    const HRESULT inside = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(inside, S_FALSE) << "already initialised, apartment-threaded";
    if (SUCCEEDED(inside)) CoUninitialize();
    EndFramework();
    // Released: the thread is free to choose another model now.
    const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(after, S_OK);
    if (SUCCEEDED(after)) CoUninitialize();
}

}  // namespace
