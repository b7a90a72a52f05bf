// Owners of Win32 handles: device contexts, GDI objects, menus and registry keys (icons: common/resource_modules.h).
#pragma once

#include <windows.h>

#include <utility>

// A move-only owner of one handle; Traits::Close releases it. A null handle owns nothing.
template <class Handle, class Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : FHandle(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != nullptr; }

    // Gives the handle up without releasing it.
    Handle release() noexcept { return std::exchange(FHandle, nullptr); }

    // Releases the handle held so far and takes h.
    void reset(Handle h = nullptr) noexcept {
        Handle old = std::exchange(FHandle, h);
        if (old && old != h) Traits::Close(old);
    }

private:
    Handle FHandle = nullptr;
};

struct GdiObjectTraits {
    static void Close(HGDIOBJ h) noexcept { DeleteObject(h); }
};
struct MenuTraits {
    static void Close(HMENU h) noexcept { DestroyMenu(h); }
};
struct MemoryDCTraits {
    static void Close(HDC h) noexcept { DeleteDC(h); }
};
struct RegKeyTraits {
    static void Close(HKEY h) noexcept { RegCloseKey(h); }
};

template <class H>
using GdiObject = UniqueHandle<H, GdiObjectTraits>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using BitmapHandle = GdiObject<HBITMAP>;
using RegionHandle = GdiObject<HRGN>;
using MenuHandle = UniqueHandle<HMENU, MenuTraits>;
// A device context from CreateCompatibleDC or CreateDC.
using MemoryDC = UniqueHandle<HDC, MemoryDCTraits>;
using RegKeyHandle = UniqueHandle<HKEY, RegKeyTraits>;

// A device context of a window (or of the screen for a null window), from GetDC to ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : FWindow(window), FDC(GetDC(window)) {}
    ~WindowDC() {
        if (FDC) ReleaseDC(FWindow, FDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return FDC; }
    explicit operator bool() const noexcept { return FDC != nullptr; }

private:
    HWND FWindow;
    HDC FDC;
};

// Selects an object into a device context and puts the previous one back at the end of the
// scope, so that the object can be deleted afterwards.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : FDC(dc), FOld(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectObjectScope() {
        if (FOld && FOld != HGDI_ERROR) SelectObject(FDC, FOld);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};
