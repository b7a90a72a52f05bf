// The application's message loops: Run with its key rules and exception reports, and the nested loops.
#include "smallib/application.h"

#include <chrono>
#include <exception>

#include "common/drawing.h"
#include "common/message_box.h"
#include "common/startup_trace.h"
#include "smallib/fonts.h"
#include "smallib/form.h"
#include "smallib/gdi_handles.h"
#include "smallib/report.h"
#include "smallib/window_proc.h"

namespace {

// The range of the DDE messages.
constexpr UINT DdeFirst = 0x03E0;
constexpr UINT DdeLast = 0x03E8;

// A message that aborts a handler without anyone being told.
constexpr std::u16string_view SilentAbort = u"Stopped";

// The show command the program was started with.
int startupShowCommand() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    GetStartupInfoW(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
}

// Whether a window shows its text in a Cyrillic font. The framework's own windows answer
// WM_GETFONT with none, so this concerns standard controls such as edit fields.
bool usesCyrillicFont(HWND wnd) {
    HGDIOBJ const font = reinterpret_cast<HGDIOBJ>(SendMessageW(wnd, WM_GETFONT, 0, 0));
    if (!font) return false;
    const WindowDC screen(nullptr);
    const SelectObjectScope selected(screen.get(), font);
    return DCCharSet(screen.get()) == RUSSIAN_CHARSET;
}

bool isKeyMessage(const MSG& msg) { return msg.message == WM_KEYDOWN || msg.message == WM_KEYUP; }

}  // namespace

WORD TSApplication::Run() {
    if (FMainForm) {
        HWND const main = FMainForm->Handle();
        // What fails while the main form starts and first shows itself is reported as in the
        // loop: the program must come up all the same.
        SendMessageW(main, WM_COMMAND, cmStart, 0);
        reportPendingExceptions(WM_COMMAND);
        if (FMainForm) {
            TraceStartup("show window");
            ShowWindow(main, FMainForm->WasMaximized() ? SW_SHOWMAXIMIZED : startupShowCommand());
            reportPendingExceptions(WM_SHOWWINDOW);
            TraceStartup("update window");
            UpdateWindow(main);
            TraceStartup("first paint done");
            reportPendingExceptions(WM_PAINT);
        }
    }
    MSG msg{};
    // GetMessageW answers -1 on failure; that must end the loop as well.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        try {
            runMessage(msg);
        } catch (const std::exception& E) {
            reportException(E, msg.message);
        }
        reportPendingExceptions(msg.message);
    }
    return LOWORD(msg.wParam);
}

void TSApplication::runMessage(const MSG& msg) {
    // A Russian keyboard layout has no key for "^" and "]": the two keys that carry them on a
    // German keyboard type "^" and nothing in a Cyrillic edit field, without the layout's
    // own character.
    if (isKeyMessage(msg) && msg.wParam == VK_OEM_5 && usesCyrillicFont(msg.hwnd) && !ShiftDown()) {
        DispatchMessageW(&msg);
        if (msg.message == WM_KEYDOWN) {
            MSG ch = msg;
            ch.message = WM_CHAR;
            ch.wParam = u'^';
            DispatchMessageW(&ch);
        }
        return;
    }
    if (isKeyMessage(msg) && msg.wParam == VK_OEM_6 && usesCyrillicFont(msg.hwnd)) {
        DispatchMessageW(&msg);
        return;
    }
    if (msg.message == WM_COMMAND && msg.wParam == cmNotificationProc && msg.hwnd && msg.hwnd == Handle()) {
        if (FNotificationProc) FNotificationProc(msg.lParam);
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void TSApplication::reportPendingExceptions(UINT msg) {
    while (std::exception_ptr pending = TakePendingException()) {
        try {
            std::rethrow_exception(pending);
        } catch (const std::exception& E) {
            reportException(E, msg);
        }
    }
}

void TSApplication::reportException(const std::exception& E, UINT msg) {
    if (ExceptionText(E) == SilentAbort) return;
    const std::u16string where = u"Message " + HexText(msg, 2);
    if (FApplicationForm)
        FApplicationForm->ExceptionMsg(where, E);
    else if (FMainForm)
        FMainForm->ExceptionMsg(where, E);
    else
        ShowInformation(nullptr, u":...\r" + where + u"\r(" + ExceptionText(E) + u")");
}

void TSApplication::pumpMessages(UINT first, UINT last, bool keepQuit, bool rethrow) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Taken by a nested loop, the quit message would never reach Run, which would then
            // wait for ever with no window left.
            if (keepQuit) PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (rethrow) RethrowPendingException();
    }
}

void TSApplication::ProcessMessages() { pumpMessages(0, 0, true, true); }

void TSApplication::ProcessMessagesDDE() { pumpMessages(DdeFirst, DdeLast, true, true); }

void TSApplication::Wait4Notification(double seconds) {
    // A steady clock: the wall clock may pass midnight or be set while the program waits.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point limit = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                      std::chrono::duration<double>(seconds < 0 ? 0 : seconds));
    for (;;) {
        ProcessMessages();
        if (Notification) return;
        const Clock::time_point now = Clock::now();
        if (now >= limit) break;
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(limit - now).count();
        // Sleeps until a message arrives or the time is up, instead of spinning.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(remaining) + 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    InfoBox(nullptr, u"timeOut");
}
