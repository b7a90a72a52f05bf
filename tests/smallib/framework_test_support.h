// Test helpers for the window framework: a message log with expected sequences, a probe form, message pumping, box capture, GDI counting.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/message_box.h"
#include "smallib/application.h"
#include "smallib/form.h"

namespace fwtest {

// What reached an object, in order: window messages by name ("WM_PAINT") and handler calls as
// the handlers spell them ("HandleCommand 6/0", "~ProbeForm").
class MessageLog {
public:
    void add(std::string entry) { FEntries.push_back(std::move(entry)); }
    void addMessage(UINT Msg);
    void clear() { FEntries.clear(); }
    const std::vector<std::string>& entries() const { return FEntries; }
    int count(const std::string& entry) const;

private:
    std::vector<std::string> FEntries;
};

// The entries of log that occur in expected, compared in order with expected; on a mismatch
// both lists are printed, one name a line. Entries that expected does not name are ignored,
// so a table states the order of what it is about and nothing else.
::testing::AssertionResult SequenceIs(const MessageLog& log, const std::vector<std::string>& expected);
inline ::testing::AssertionResult SequenceIs(const MessageLog& log, std::initializer_list<const char*> expected) {
    return SequenceIs(log, std::vector<std::string>(expected.begin(), expected.end()));
}

// A form that logs every message and handler call, with handlers a test can replace.
class ProbeForm : public TSForm {
public:
    ProbeForm(MessageLog& log, const std::u16string& name, const std::u16string& menu = u"",
              int brush = WHITE_BRUSH);
    ~ProbeForm() override;

    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;
    int HandleCommand(WORD id, WORD NotifyCode) override;
    int wmLButtonDown(WORD SHift, int x, int y) override;
    int wmRButtonDown(WORD keys, int x, int y) override;
    int wmKeyDown(WPARAM& vKey) override;
    int wmInitMenuPopup(HMENU menu, int position, bool isSystemMenu) override;
    LRESULT wmMouseWheel(WPARAM keys, WPARAM delta, int x, int y) override;
    void wmDestroy() override;
    int wmGetMinMaxInfo(LPARAM lParam) override;
    void wmCopyData(ULONG_PTR dwData, DWORD cbData, const void* lpData) override;
    void paint(HDC dc) override;

    // Replacements; when empty the form's own handler runs (and is logged).
    std::function<int(WORD id, WORD NotifyCode)> onCommand;
    std::function<int(WORD keys, int x, int y)> onLButtonDown;
    std::function<int(WPARAM& vKey)> onKeyDown;
    std::function<int(HMENU menu)> onInitMenuPopup;
    std::function<LRESULT(WPARAM keys)> onMouseWheel;
    std::function<int(MINMAXINFO* info)> onGetMinMaxInfo;
    std::function<void(HDC dc)> onPaint;
    std::function<void(UINT Msg)> onMessage;

    std::vector<std::string> copiedData;

private:
    MessageLog& FLog;
};

// A probe form without caption and frame, for tests that show a window but are not about its
// frame: Wine's X11 driver leaves such windows unmanaged, so hiding one does not wait for a
// window manager that is not there.
class PopupProbeForm : public ProbeForm {
public:
    using ProbeForm::ProbeForm;
    void atCreate() override { Style = WS_POPUP | WS_CLIPCHILDREN; }
};

// A form of class F, created as the program creates its forms; the test fails when the window
// cannot be created.
template <class F, class... Args>
F* makeForm(Args&&... args) {
    F* form = TSForm::CreateForm<F>(std::forward<Args>(args)...);
    EXPECT_NE(form, nullptr);
    return form;
}

// A default window procedure that logs "default <message> <wParam>" into log before
// DefWindowProcW; installed in a control's FDefaultWindowProc (for the rest of the control's
// life) to see what the dispatch passes on. Logging stops with the recorder.
class DefaultProcRecorder {
public:
    DefaultProcRecorder(TSWinCtrl0& ctrl, MessageLog& log);
    ~DefaultProcRecorder();
    DefaultProcRecorder(const DefaultProcRecorder&) = delete;
    DefaultProcRecorder& operator=(const DefaultProcRecorder&) = delete;
};

// Sets the thread's key state of the given virtual keys to "down" for its lifetime.
class KeysDown {
public:
    explicit KeysDown(std::initializer_list<int> keys);
    ~KeysDown();
    KeysDown(const KeysDown&) = delete;
    KeysDown& operator=(const KeysDown&) = delete;

private:
    BYTE FSaved[256] = {};
};

// Dispatches every message waiting in this thread's queue.
void pumpMessages();
// Whether a WM_QUIT is waiting (and takes it out of the queue).
bool takeQuitMessage();

// A box shown through the program's modal-box gate.
struct ShownBox {
    HWND owner;
    std::u16string text;
    UINT style;
};

// Captures every modal box for its lifetime and answers each with answer.
class BoxCapture {
public:
    explicit BoxCapture(int answer = IDOK);
    const std::vector<ShownBox>& boxes() const { return *FBoxes; }

private:
    std::shared_ptr<std::vector<ShownBox>> FBoxes = std::make_shared<std::vector<ShownBox>>();
    ScopedModalBoxFunction FScope;
};

// How many more solid brushes GDI would hand out to this process: the GDI handle table is
// finite, so a lower count after a run means the run leaked handles. (GetGuiResources is a
// stub under Wine.)
int creatableBrushes();

// The framework started, an application object and a clean queue for each test; every form
// window still open at the end is destroyed.
class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    MessageLog log;
    std::unique_ptr<TSApplication> app;
};

}  // namespace fwtest
