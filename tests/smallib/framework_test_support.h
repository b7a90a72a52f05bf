// Test helpers for the window framework: a message log with expected sequences, a probe form, a default-procedure recorder, GDI counting.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "smallib/application.h"
#include "smallib/form.h"
#include "tests/support/win_test_support.h"

namespace fwtest {

using wintest::BoxCapture;
using wintest::KeysDown;
using wintest::makeForm;
using wintest::pumpMessagesLeavingQuit;
using wintest::ShownBox;
using wintest::takeQuitMessage;

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
    std::function<void()> onDestroy;

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
