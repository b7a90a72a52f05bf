// TSWinCtrl: a window control that contains others, moves the focus among them and offers their accelerators.
#pragma once

#include <windows.h>

#include <functional>

#include "smallib/slist.h"
#include "smallib/winctrl0.h"

// A paint routine that takes over WM_PAINT completely, BeginPaint and EndPaint included.
using TPaintRout = std::function<int()>;

// Children register themselves (TSCtrl's constructor) and leave at destruction; the list does
// not own them, the container frees its windowless children in its destructor. Children with
// windows are destroyed with their windows, before the container's own window goes.
class TSWinCtrl : public TSWinCtrl0 {
public:
    explicit TSWinCtrl(TSWinCtrl* aOwner);
    ~TSWinCtrl() override;

    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;
    // Shows the window without activating it, or hides it.
    void Setvisible(bool v) override;

    // Activates the child that was active last, when it is a visible window control.
    virtual void setFocus();
    // Data sent with WM_COPYDATA (and routed by the application object). The base ignores it.
    // cbData is the size of the block at lpData; lpData is valid only during the call.
    virtual void wmCopyData(ULONG_PTR dwData, DWORD cbData, const void* lpData);

    // Activates the next (or previous) visible window child, wrapping around; with no other
    // candidate the active child is activated again.
    void FocusNext(bool backwards);

    bool Focused() const noexcept { return FFocused; }
    // Whether the first form above this container (not the container itself) is active.
    bool GetOwnerFormActive();
    bool OwnerFormActive() { return GetOwnerFormActive(); }

    TSCtrlList FControls;
    bool FFocused = false;
    TPaintRout FPaintRout;

protected:
    void adjustChildren() override;

private:
    LRESULT acceleratorMessage(UINT Msg, WPARAM wParam, LPARAM lParam);
};

// Registers a window class and remembers its name (once, whatever its letter case) so that
// UnregisterWindowClasses can unregister it at exit. A class that exists already is not an
// error. smallIcon is the class's small icon; without one, the system makes it from the icon,
// which costs the start milliseconds.
void RegisterWindowClass(const WNDCLASSW& wc, HICON smallIcon = nullptr);
// Unregisters every remembered class of the program's module and forgets them.
void UnregisterWindowClasses();
// The number of remembered class names.
int RegisteredClassCount();
