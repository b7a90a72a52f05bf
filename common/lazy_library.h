// Functions of system libraries that the program loads at their first use rather than at start.
#pragma once

#include <windows.h>

#include <string>

#include "common/later_windows.h"

// The function name of the system library dll (a file name such as L"winmm.dll"), as a pointer
// of type Fn, loading the library at the first call; null when it cannot be loaded or lacks
// the function. What the program needs only when the player asks for it (the font dialog,
// sounds) stays out of its imports, so that the loader does not map those libraries, and the
// ones they import in turn, before the first window shows. The library comes from the system
// folder only, never from beside the program, and stays loaded until the process ends, as an
// imported one would.
template <class Fn>
Fn LazyFunction(const wchar_t* dll, const char* name) {
    if (!GetModuleHandleW(dll)) {
        wchar_t folder[MAX_PATH];
        const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return nullptr;
        const std::wstring path = std::wstring(folder, n) + L'\\' + dll;
        if (!LoadLibraryW(path.c_str())) return nullptr;
    }
    return LaterFunction<Fn>(dll, name);
}
