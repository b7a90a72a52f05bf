// Test helpers for the window framework: a message log with expected sequences, a probe form, a default-procedure recorder, GDI counting.
#include "tests/smallib/framework_test_support.h"

#include <algorithm>

#include "common/platform.h"
#include "smallib/gdi_handles.h"
#include "smallib/message_names.h"
#include "smallib/window_proc.h"

namespace fwtest {

void MessageLog::addMessage(UINT Msg) { add(DescribeMessage(Msg)); }

int MessageLog::count(const std::string& entry) const {
    return static_cast<int>(std::count(FEntries.begin(), FEntries.end(), entry));
}

::testing::AssertionResult SequenceIs(const MessageLog& log, const std::vector<std::string>& wanted) {
    std::vector<std::string> seen;
    for (const std::string& e : log.entries())
        if (std::find(wanted.begin(), wanted.end(), e) != wanted.end()) seen.push_back(e);
    if (seen == wanted) return ::testing::AssertionSuccess();
    auto result = ::testing::AssertionFailure();
    result << "\nexpected:";
    for (const std::string& e : wanted) result << "\n  " << e;
    result << "\nseen (filtered to the names above):";
    for (const std::string& e : seen) result << "\n  " << e;
    result << "\nfull log:";
    for (const std::string& e : log.entries()) result << " " << e;
    return result;
}

ProbeForm::ProbeForm(MessageLog& log, const std::u16string& name, const std::u16string& menu, int brush)
    : TSForm(nullptr, name, menu, u"", brush), FLog(log) {}

ProbeForm::~ProbeForm() { FLog.add("~ProbeForm"); }

LRESULT ProbeForm::wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    FLog.addMessage(Msg);
    if (onMessage) onMessage(Msg);
    return TSForm::wndProc(Msg, wParam, lParam);
}

int ProbeForm::HandleCommand(WORD id, WORD NotifyCode) {
    FLog.add("HandleCommand " + std::to_string(id) + "/" + std::to_string(NotifyCode));
    if (onCommand) return onCommand(id, NotifyCode);
    return TSForm::HandleCommand(id, NotifyCode);
}

int ProbeForm::wmLButtonDown(WORD SHift, int x, int y) {
    FLog.add("wmLButtonDown " + std::to_string(SHift) + " " + std::to_string(x) + "," + std::to_string(y));
    if (onLButtonDown) return onLButtonDown(SHift, x, y);
    return TSForm::wmLButtonDown(SHift, x, y);
}

int ProbeForm::wmRButtonDown(WORD keys, int x, int y) {
    FLog.add("wmRButtonDown " + std::to_string(x) + "," + std::to_string(y));
    return TSForm::wmRButtonDown(keys, x, y);
}

int ProbeForm::wmKeyDown(WPARAM& vKey) {
    FLog.add("wmKeyDown " + std::to_string(vKey));
    if (onKeyDown) return onKeyDown(vKey);
    return TSForm::wmKeyDown(vKey);
}

int ProbeForm::wmInitMenuPopup(HMENU menu, int position, bool isSystemMenu) {
    FLog.add("wmInitMenuPopup");
    if (onInitMenuPopup) return onInitMenuPopup(menu);
    return TSForm::wmInitMenuPopup(menu, position, isSystemMenu);
}

LRESULT ProbeForm::wmMouseWheel(WPARAM keys, WPARAM delta, int x, int y) {
    FLog.add("wmMouseWheel");
    if (onMouseWheel) return onMouseWheel(keys);
    return TSForm::wmMouseWheel(keys, delta, x, y);
}

void ProbeForm::wmDestroy() {
    FLog.add("wmDestroy");
    if (onDestroy) onDestroy();
}

int ProbeForm::wmGetMinMaxInfo(LPARAM lParam) {
    FLog.add("wmGetMinMaxInfo");
    if (onGetMinMaxInfo) return onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    return TSForm::wmGetMinMaxInfo(lParam);
}

void ProbeForm::wmCopyData(ULONG_PTR dwData, DWORD cbData, const void* lpData) {
    FLog.add("wmCopyData " + std::to_string(dwData));
    copiedData.emplace_back(static_cast<const char*>(lpData), cbData);
}

void ProbeForm::paint(HDC dc) {
    FLog.add("paint");
    TSForm::paint(dc);
    if (onPaint) onPaint(dc);
}

namespace {

thread_local MessageLog* defaultProcLog = nullptr;

LRESULT CALLBACK recordingDefaultProc(HWND hwnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (defaultProcLog) defaultProcLog->add("default " + DescribeMessage(Msg) + " " + std::to_string(wParam));
    return DefWindowProcW(hwnd, Msg, wParam, lParam);
}

}  // namespace

DefaultProcRecorder::DefaultProcRecorder(TSWinCtrl0& ctrl, MessageLog& log) {
    defaultProcLog = &log;
    ctrl.FDefaultWindowProc = recordingDefaultProc;
}

DefaultProcRecorder::~DefaultProcRecorder() { defaultProcLog = nullptr; }

int creatableBrushes() {
    std::vector<BrushHandle> brushes;
    brushes.reserve(70000);
    for (;;) {
        BrushHandle b(CreateSolidBrush(RGB(1, 2, 3)));
        if (!b) break;
        brushes.push_back(std::move(b));
    }
    return static_cast<int>(brushes.size());
}

void FrameworkTest::SetUp() {
    StartFramework();
    app = std::make_unique<TSApplication>();
    pumpMessagesLeavingQuit();
    takeQuitMessage();
    while (HasPendingException()) TakePendingException();
}

void FrameworkTest::TearDown() {
    app.reset();  // destroys the windows of the forms that are left
    pumpMessagesLeavingQuit();
    takeQuitMessage();
    EXPECT_FALSE(HasPendingException()) << "an exception of a handler was not looked at";
    while (HasPendingException()) TakePendingException();
    EndFramework();
}

}  // namespace fwtest
