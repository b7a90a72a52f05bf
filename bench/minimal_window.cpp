// The start-up benchmark's yardstick: the smallest Win32 program that shows a window and paints it.
//
// With TESS_STARTUP_MARK naming a file, it writes the time of its first paint there (Unix time
// in nanoseconds) and closes, exactly as tessarino.exe does, so that both are timed alike;
// TESS_STARTUP_TRACE records the steps that both programs share.
#include <windows.h>

#include <cstdio>

#include "common/later_windows.h"
#include "common/startup_trace.h"

namespace {

constexpr UINT WM_STARTUP_MARK = WM_APP + 1;
wchar_t MarkFile[MAX_PATH] = {};

void writeMark() {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%lld\n", static_cast<long long>(UnixTimeNs()));
    const HANDLE h = CreateFileW(MarkFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(h, text, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(h);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC const dc = BeginPaint(hwnd, &ps);
            RECT r{10, 10, 110, 60};
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            DrawTextW(dc, L"1", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_STARTUP_MARK:
            UpdateWindow(hwnd);  // as tessarino.exe does; here nothing is ever pending
            TraceStartup("board settled");
            EndStartupTrace();
            writeMark();
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    TraceStartup("main block");
    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = L"MinimalWindow";
    if (!RegisterClassW(&wc)) return 1;
    TraceStartup("class registered");
    HWND const hwnd = CreateWindowExW(0, wc.lpszClassName, L"Minimal", WS_OVERLAPPEDWINDOW, 10, 10, 300, 300,
                                      nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    TraceStartup("window created");
    TraceStartup("show window");
    ShowWindow(hwnd, show);
    TraceStartup("update window");
    UpdateWindow(hwnd);
    TraceStartup("first paint done");
    const DWORD n = GetEnvironmentVariableW(L"TESS_STARTUP_MARK", MarkFile, MAX_PATH);
    if (n > 0 && n < MAX_PATH) PostMessageW(hwnd, WM_STARTUP_MARK, 0, 0);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
