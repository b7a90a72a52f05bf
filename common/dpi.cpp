// Dots per inch of windows and the system; the newer functions are looked up at run time, so that the program still starts on Windows that lack them.
#include "common/dpi.h"

#include "common/later_windows.h"

namespace {

// Own types: the program builds for the oldest Windows it supports, whose headers may not
// declare these.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();

template <class Fn>
Fn user32Function(const char* name) {
    return LaterFunction<Fn>(L"user32.dll", name);
}

int screenDpi() {
    HDC const dc = GetDC(nullptr);
    if (!dc) return BaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : BaseDpi;
}

}  // namespace

int ScaleForDpi(int size, int dpi) { return dpi == BaseDpi ? size : MulDiv(size, dpi, BaseDpi); }

int SystemDpi() {
    static const GetDpiForSystemFn getDpiForSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem) {
        if (const UINT dpi = getDpiForSystem(); dpi > 0) return static_cast<int>(dpi);
    }
    return screenDpi();
}

int WindowDpi(HWND window) {
    static const GetDpiForWindowFn getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}
