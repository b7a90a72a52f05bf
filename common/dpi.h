// Dots per inch: the DPI a window is shown at, and the scaling of the program's sizes, which are all given for 96 dpi.
#pragma once

#include <windows.h>

// The DPI that every pixel size written in the program is meant for (100 %).
inline constexpr int BaseDpi = 96;

// WM_DPICHANGED: wParam holds the new DPI (twice), lParam the RECT Windows suggests.
inline constexpr UINT WmDpiChanged = 0x02E0;

// size pixels at 96 dpi, at dpi: MulDiv(size, dpi, 96), rounded. One-pixel lines are not
// scaled with this; they stay one pixel at any DPI.
int ScaleForDpi(int size, int dpi);

// The DPI of window: that of its monitor where Windows scales per monitor (GetDpiForWindow,
// Windows 10 1607 and later), else the system's. A null window gives SystemDpi().
int WindowDpi(HWND window);

// The system DPI, that of the primary monitor when the user logged on: GetDpiForSystem where
// Windows has it, else LOGPIXELSY of the screen; 96 when neither answers.
int SystemDpi();
