// TSWinCtrl: a window control that contains others, moves the focus among them and offers their accelerators.
#include "smallib/winctrl.h"

#include <memory>

#include "common/platform.h"
#include "common/string_list.h"
#include "common/wtext.h"
#include "smallib/form.h"

namespace {

// The names of the classes the framework registered, each once whatever its letter case.
std::unique_ptr<TStringList> classNames;

}  // namespace

TSWinCtrl::TSWinCtrl(TSWinCtrl* aOwner) : TSWinCtrl0(aOwner) {}

TSWinCtrl::~TSWinCtrl() {
    // Each child's destructor takes it off the list.
    while (FControls.Count() > 0) delete FControls.Get(FControls.Count() - 1);
}

LRESULT TSWinCtrl::wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_CREATE:
            return 0;
        case WM_MOVE:
            if (!FParent) {
                RECT r{};
                GetWindowRect(FHandle, &r);
                FLeft = r.left;
                FTop = r.top;
            }
            break;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) InvalidateRect(FHandle, nullptr, FEraseBkGnd);
            return 0;
        case WM_SETFOCUS:
            FFocused = true;
            setFocus();
            return 0;
        case WM_KILLFOCUS:
            FFocused = false;
            return 0;
        case WM_PAINT:
            if (FPaintRout) {
                FPaintRout();
                return 0;
            }
            break;
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data) wmCopyData(data->dwData, data->cbData, data->lpData);
            return 1;
        }
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return acceleratorMessage(Msg, wParam, lParam);
        default:
            break;
    }
    return TSWinCtrl0::wndProc(Msg, wParam, lParam);
}

LRESULT TSWinCtrl::acceleratorMessage(UINT Msg, WPARAM wParam, LPARAM lParam) {
    const char16_t key = platform::CharUpper(static_cast<char16_t>(LOWORD(wParam)));
    for (int i = 0; i < FControls.Count(); ++i) {
        TSCtrl* const child = FControls[i];
        if (!child->isAccelerator(key)) continue;
        // The key's WM_SYSCHAR and WM_SYSKEYUP are swallowed too, without a second call.
        if (Msg == WM_SYSKEYDOWN) child->doAccelerator();
        return 0;
    }
    return TSWinCtrl0::wndProc(Msg, wParam, lParam);
}

void TSWinCtrl::Setvisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    if (v) {
        invalidate();
        ShowWindow(FHandle, SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(FHandle, SW_HIDE);
    }
}

void TSWinCtrl::setFocus() {
    // A child removed since it was active leaves a stale index; there is nothing to activate.
    if (FActivCtrl < 0 || FActivCtrl >= FControls.Count()) return;
    TSCtrl* const child = FControls[FActivCtrl];
    if (child->IsWindowControl() && child->visible()) static_cast<TSWinCtrl0*>(child)->Activate(true);
}

void TSWinCtrl::wmCopyData(ULONG_PTR, DWORD, const void*) {}

void TSWinCtrl::FocusNext(bool backwards) {
    const int count = FControls.Count();
    if (count == 0) return;
    const int step = backwards ? -1 : 1;
    const int start = FActivCtrl;
    int i = start;
    if (i >= 0 && i < count && FControls[i]->IsWindowControl()) static_cast<TSWinCtrl0*>(FControls[i])->Activate(false);
    bool found = false;
    // At most one round: a stale start index is never met again.
    for (int n = 0; n < count && !found; ++n) {
        i += step;
        if (i < 0) i = count - 1;
        if (i >= count) i = 0;
        found = i == start || (FControls[i]->IsWindowControl() && FControls[i]->visible());
    }
    if (found && FControls[i]->IsWindowControl()) static_cast<TSWinCtrl0*>(FControls[i])->Activate(true);
}

bool TSWinCtrl::GetOwnerFormActive() {
    for (TSCtrl* c = FParent; c; c = c->Parent())
        if (auto* form = dynamic_cast<TSForm*>(c)) return form->Active();
    return false;
}

void TSWinCtrl::adjustChildren() {
    for (int i = 0; i < FControls.Count(); ++i) FControls[i]->adjustSize();
}

void RegisterWindowClass(const WNDCLASSW& wc, HICON smallIcon) {
    if (!classNames) classNames = std::make_unique<TStringList>();
    const std::u16string name = U(wc.lpszClassName);
    if (classNames->IndexOf(name) < 0) classNames->Add(name);
    WNDCLASSEXW ex{};
    ex.cbSize = sizeof ex;
    ex.style = wc.style;
    ex.lpfnWndProc = wc.lpfnWndProc;
    ex.cbClsExtra = wc.cbClsExtra;
    ex.cbWndExtra = wc.cbWndExtra;
    ex.hInstance = wc.hInstance;
    ex.hIcon = wc.hIcon;
    ex.hCursor = wc.hCursor;
    ex.hbrBackground = wc.hbrBackground;
    ex.lpszMenuName = wc.lpszMenuName;
    ex.lpszClassName = wc.lpszClassName;
    ex.hIconSm = smallIcon;
    // A class that exists already makes this fail; that is fine.
    RegisterClassExW(&ex);
}

void UnregisterWindowClasses() {
    if (!classNames) return;
    HINSTANCE const module = GetModuleHandleW(nullptr);
    for (int i = 0; i < classNames->Count(); ++i) UnregisterClassW(W(classNames->Strings(i)), module);
    classNames.reset();
}

int RegisteredClassCount() { return classNames ? classNames->Count() : 0; }
