// TSWinCtrl0: a control with a window of its own, its message dispatch, paint cycle and window services.
#include "smallib/winctrl0.h"

#include <algorithm>
#include <vector>

#include "common/exceptions.h"
#include "common/platform.h"
#include "common/wtext.h"
#include "smallib/application.h"
#include "smallib/form.h"
#include "smallib/report.h"
#include "smallib/gdi_handles.h"
#include "smallib/winctrl.h"
#include "smallib/window_proc.h"

namespace {

// x and y of a mouse message: the words of lParam taken as unsigned values.
int lowX(LPARAM lParam) { return LOWORD(lParam); }
int highY(LPARAM lParam) { return HIWORD(lParam); }

}  // namespace

TSWinCtrl0::TSWinCtrl0(TSWinCtrl* aOwner) : TSCtrl(aOwner) {
    if (aOwner) FCursor = aOwner->FCursor;
}

TSWinCtrl0::~TSWinCtrl0() {
    // Deleted while its window still exists (by its owner, not by the window): the window
    // must not reach the freed object, so it is unbound before it is destroyed.
    if (FHandle && !FWindowGone && BoundObject(FHandle) == this) {
        SetWindowLongPtrW(FHandle, ObjectSlotOffset, 0);
        if (FDCTaken && FDC) ReleaseDC(FHandle, FDC);
        DestroyWindow(FHandle);
    }
}

HDC TSWinCtrl0::getDC() {
    // GetDC of no window would be the whole screen.
    if (!FDC && FHandle && !FWindowGone) {
        FDC = GetDC(FHandle);
        FDCTaken = FDC != nullptr;
    }
    return FDC;
}

void TSWinCtrl0::invalidate() { InvalidateRect(FHandle, nullptr, FEraseBkGnd); }

void TSWinCtrl0::update() {
    invalidate();
    UpdateWindow(FHandle);
}

void TSWinCtrl0::SetLeft(int v) {
    if (v == FLeft) return;
    FLeft = v;
    updateBounds();
}

void TSWinCtrl0::SetTop(int v) {
    if (v == FTop) return;
    FTop = v;
    updateBounds();
}

void TSWinCtrl0::SetWidth(int v) {
    if (v == FWidth) return;
    FWidth = v;
    updateBounds();
}

void TSWinCtrl0::SetHeight(int v) {
    if (v == FHeight) return;
    FHeight = v;
    updateBounds();
}

int TSWinCtrl0::GetClientHeight() { return FHeight; }
int TSWinCtrl0::GetClientWidth() { return FWidth; }
void TSWinCtrl0::SetClientHeight(int v) { SetHeight(v); }
void TSWinCtrl0::SetClientWidth(int v) { SetWidth(v); }

void TSWinCtrl0::updateBounds() {
    // Before the window exists, the values are where it will be created.
    if (FHandle) MoveWindow(FHandle, FLeft, FTop, FWidth, FHeight, FVisible);
}

TSWinCtrl0::DCState TSWinCtrl0::beginMessage() noexcept {
    ++FNesting;
    return DCState{FDC, FDCTaken};
}

bool TSWinCtrl0::endMessage(DCState saved) noexcept {
    --FNesting;
    if (FWindowGone) {
        // The window's contexts went with it (WM_NCDESTROY released the one taken).
        FDC = nullptr;
        FDCTaken = false;
        return FNesting == 0;
    }
    if (FDC != saved.dc) {
        if (FDCTaken && FDC) ReleaseDC(FHandle, FDC);
        FDC = saved.dc;
        FDCTaken = saved.taken;
    }
    return false;
}

LRESULT TSWinCtrl0::DefProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(FDefaultWindowProc, FHandle, Msg, wParam, lParam);
}

LRESULT TSWinCtrl0::keyMessage(int (TSWinCtrl0::*handler)(WPARAM&), UINT Msg, WPARAM wParam, LPARAM lParam) {
    WPARAM key = wParam;
    if ((this->*handler)(key) != 0) return DefProc(Msg, key, lParam);
    return 0;
}

LRESULT TSWinCtrl0::mouseMessage(int result, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (result != 0) return DefProc(Msg, wParam, lParam);
    return 0;
}

LRESULT TSWinCtrl0::wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_ACTIVATE:
            // The high word carries the minimized state; only the low word tells activation.
            if (LOWORD(wParam) == WA_INACTIVE)
                wmDeactivate();
            else
                wmActivate();
            return DefProc(Msg, wParam, lParam);
        case WM_PAINT:
            paintCycle();
            return 0;
        case WM_ERASEBKGND:
            return FEraseBkGnd ? DefProc(Msg, wParam, lParam) : 0;
        case WM_SETCURSOR: {
            if (reinterpret_cast<HWND>(wParam) != FHandle) return 0;
            if (LOWORD(lParam) != HTCLIENT) return DefProc(Msg, wParam, lParam);
            const HCURSOR screenCursor = Screen ? Screen->FCursor : nullptr;
            ::SetCursor(screenCursor ? screenCursor : FCursor);
            return 0;
        }
        case WM_NCDESTROY: {
            // A context taken with GetDC belongs to the window and goes with it.
            if (FDCTaken && FDC) ReleaseDC(FHandle, FDC);
            FDC = nullptr;
            FDCTaken = false;
            const LRESULT r = DefProc(Msg, wParam, lParam);
            // The window procedure frees the object once no handler of it is running.
            SetWindowLongPtrW(FHandle, ObjectSlotOffset, 0);
            FWindowGone = true;
            return r;
        }
        case WM_KEYDOWN:
            return keyMessage(&TSWinCtrl0::wmKeyDown, Msg, wParam, lParam);
        case WM_KEYUP:
            return keyMessage(&TSWinCtrl0::wmKeyUp, Msg, wParam, lParam);
        case WM_CHAR:
            return keyMessage(&TSWinCtrl0::wmChar, Msg, wParam, lParam);
        case WM_SYSKEYDOWN:
            return wmSysKeyDown(wParam) != 0 ? DefProc(Msg, wParam, lParam) : 0;
        case WM_COMMAND:
            return HandleCommand(LOWORD(wParam), HIWORD(lParam));
        case WM_VSCROLL:
            // The thumb position is where Windows puts it, in the high word of wParam.
            wmVScroll(LOBYTE(LOWORD(wParam)), HIWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            wmInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
            return 0;
        case WM_MOUSEMOVE:
            FMouseAt = POINT{lowX(lParam), highY(lParam)};
            return mouseMessage(wmMouseMove(LOWORD(wParam), lowX(lParam), highY(lParam)), Msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            return mouseMessage(wmLButtonDown(LOWORD(wParam), lowX(lParam), highY(lParam)), Msg, wParam, lParam);
        case WM_LBUTTONUP:
            return mouseMessage(wmLButtonUp(LOWORD(wParam), lowX(lParam), highY(lParam)), Msg, wParam, lParam);
        case WM_LBUTTONDBLCLK:
            return mouseMessage(wmLButtonDblClk(LOWORD(wParam), lowX(lParam), highY(lParam)), Msg, wParam, lParam);
        case WM_RBUTTONDOWN:
            FMouseAtClick = POINT{lowX(lParam), highY(lParam)};
            return mouseMessage(wmRButtonDown(LOWORD(wParam), lowX(lParam), highY(lParam)), Msg, wParam, lParam);
        case WM_MOUSEWHEEL: {
            const LRESULT r = wmMouseWheel(wParam, wParam, lowX(lParam), highY(lParam));
            return r == 0 ? DefProc(Msg, wParam, lParam) : r;
        }
        default:
            return DefProc(Msg, wParam, lParam);
    }
}

void TSWinCtrl0::paintCycle() {
    // Restores the cached context after EndPaint, also when paint throws.
    struct PaintScope {
        TSWinCtrl0& ctrl;
        PAINTSTRUCT ps{};
        HDC savedDC;
        bool savedTaken;
        explicit PaintScope(TSWinCtrl0& c)
            : ctrl(c), savedDC(c.FDC), savedTaken(c.FDCTaken) {
            BeginPaint(ctrl.FHandle, &ps);
            ctrl.FDC = ps.hdc;
            ctrl.FDCTaken = false;
            ctrl.upDateRect = ps.rcPaint;
        }
        ~PaintScope() {
            EndPaint(ctrl.FHandle, &ps);
            ctrl.FDC = savedDC;
            ctrl.FDCTaken = savedTaken;
        }
        PaintScope(const PaintScope&) = delete;
        PaintScope& operator=(const PaintScope&) = delete;
    };

    // BeginPaint validates the update region also for a hidden control: otherwise WM_PAINT
    // would come back at once, for ever.
    PaintScope scope(*this);
    if (!FVisible || !scope.ps.hdc) return;
    adjustChildren();
    HDC const dc = getDC();
    ::SetTextColor(dc, FTextColor);
    ::SetBkColor(dc, GetColor());
    paint(FDC);
}

int TSWinCtrl0::HandleCommand(WORD id, WORD NotifyCode) {
    if (NotifyCode == 0 || NotifyCode == 5) {
        const std::u16string text = U(FWndClass.lpszClassName) + u": Command " + DecimalText(id) + u" Notify: " +
                                    HexText(NotifyCode, 2);
        ShowInformation(MainWnd, text);
    }
    return 0;
}

int TSWinCtrl0::wmInitMenuPopup(HMENU, int, bool) { return 1; }
int TSWinCtrl0::wmLButtonDown(WORD, int, int) { return 1; }
int TSWinCtrl0::wmLButtonUp(WORD, int, int) { return 1; }
int TSWinCtrl0::wmLButtonDblClk(WORD, int, int) { return 1; }
int TSWinCtrl0::wmMouseMove(WORD, int, int) { return 1; }
int TSWinCtrl0::wmKeyUp(WPARAM&) { return 1; }
int TSWinCtrl0::wmSysKeyDown(WPARAM) { return 1; }
int TSWinCtrl0::wmChar(WPARAM&) { return 1; }
LRESULT TSWinCtrl0::wmMouseWheel(WPARAM, WPARAM, int, int) { return 0; }

int TSWinCtrl0::wmRButtonDown(WORD, int x, int y) {
    if (!ContextMenu.empty() && popUpMenu(x, y, FHideCommands, ContextMenu)) return 0;
    return 1;
}

int TSWinCtrl0::wmKeyDown(WPARAM& vKey) {
    switch (vKey) {
        case VK_TAB:
            if (CtrlDown()) break;
            if (FParent)
                FParent->FocusNext(ShiftDown());
            else if (auto* container = dynamic_cast<TSWinCtrl*>(this))
                container->FocusNext(ShiftDown());
            return 0;
        case VK_PRIOR:
            wmVScroll(SB_PAGEUP, 0);
            return 0;
        case VK_NEXT:
            wmVScroll(SB_PAGEDOWN, 0);
            return 0;
        case VK_END:
            if (!CtrlDown() || AltDown()) break;
            wmVScroll(SB_BOTTOM, 0);
            return 0;
        case VK_HOME:
            if (!CtrlDown() || AltDown()) break;
            wmVScroll(SB_TOP, 0);
            return 0;
        case VK_UP:
            wmVScroll(SB_LINEUP, 0);
            return 0;
        case VK_DOWN:
            wmVScroll(SB_LINEDOWN, 0);
            return 0;
        case VK_F1:
            if (CtrlDown() || ShiftDown()) break;
            if (Application) Application->HelpContext(FHelpContext);
            return 0;
        default:
            break;
    }
    if (FParent) return FParent->wmKeyDown(vKey);
    return (vKey >= VK_SHIFT && vKey <= VK_MENU) ? 0 : 1;
}

void TSWinCtrl0::wmVScroll(int code, int pos) {
    const int p = GetVScrollPos();
    const int r = GetVScrollRange();
    const int h = GetClientHeight();
    const int l = FLineHeight;
    int n = p;
    switch (code) {
        case SB_LINEUP: n = std::max(0, p - l); break;
        case SB_LINEDOWN: n = std::min(p + l, r); break;
        case SB_PAGEUP: n = std::max(0, p - h + l); break;
        case SB_PAGEDOWN: n = std::min(p + h - l, r); break;
        case SB_THUMBTRACK: n = pos; break;
        case SB_TOP: n = 0; break;
        case SB_BOTTOM: n = r; break;
        default: break;  // SB_THUMBPOSITION and above: no change
    }
    SetVScrollPos(n);
}

void TSWinCtrl0::wmDeactivate() { FActive = false; }
void TSWinCtrl0::wmActivate() { FActive = true; }
void TSWinCtrl0::wmPaletteChanged() { invalidate(); }

LRESULT TSWinCtrl0::perform(WORD Msg, WORD wParam, LPARAM lParam) { return SendMessageW(FHandle, Msg, wParam, lParam); }

void TSWinCtrl0::Activate(bool value) {
    SendMessageW(FHandle, WM_ACTIVATE, value ? WA_ACTIVE : WA_INACTIVE, 0);
    if (value && FParent) FParent->FActivCtrl = FParent->FControls.IndexOf(this);
}

void TSWinCtrl0::CursorToXY(int x, int y) {
    POINT p{x, y};
    ClientToScreen(FHandle, &p);
    SetCursorPos(p.x, p.y);
}

void TSWinCtrl0::SetCursor(HCURSOR cursor) {
    FCursor = cursor;
    if (!Screen || !Screen->FCursor) ::SetCursor(cursor);
}

std::u16string TSWinCtrl0::GetText() {
    wchar_t buf[255] = {};
    SendMessageW(FHandle, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(buf));
    buf[254] = 0;
    return U(buf);
}

void TSWinCtrl0::SetText(const std::u16string& s) {
    if (s != GetText()) SendMessageW(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W(s)));
}

std::u16string TSWinCtrl0::GetLongText() {
    const LRESULT n = SendMessageW(FHandle, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buf(static_cast<std::size_t>(std::max<LRESULT>(n, 0)) + 1, 0);
    const LRESULT got = SendMessageW(FHandle, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    buf.back() = 0;
    return U(buf.data(), static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, n)));
}

void TSWinCtrl0::SetLongText(const std::u16string& s) {
    if (s == GetLongText()) return;
    SendMessageW(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W(s)));
    if (static_cast<std::size_t>(GetWindowTextLengthW(FHandle)) != s.size()) throw Exception(u"setText failed");
}

int TSWinCtrl0::GetVScrollPos() { return GetScrollPos(FHandle, SB_VERT); }

int TSWinCtrl0::GetVScrollRange() {
    int lo = 0, hi = 0;
    GetScrollRange(FHandle, SB_VERT, &lo, &hi);
    return hi;
}

void TSWinCtrl0::SetVScrollPos(int v) {
    // Scroll positions of 32767 and above do not fit the 16-bit thumb position of WM_VSCROLL.
    if (v < 32760) {
        const int old = SetScrollPos(FHandle, SB_VERT, v, TRUE);
        ScrollWindow(FHandle, 0, old - v, nullptr, nullptr);
    } else {
        SetScrollRange(FHandle, SB_VERT, 0, v, FALSE);
        SetScrollPos(FHandle, SB_VERT, v, TRUE);
    }
}

void TSWinCtrl0::SetVScrollRange(int v) {
    SetScrollRange(FHandle, SB_VERT, 0, v, TRUE);
    if (GetVScrollPos() > v) SetVScrollPos(v);
}

TSForm* TSWinCtrl0::OwnerForm() {
    for (TSCtrl* c = this; c; c = c->Parent())
        if (auto* form = dynamic_cast<TSForm*>(c)) return form;
    return nullptr;
}

bool TSWinCtrl0::popUpMenu(int x, int y, PIDArray deleted, const std::u16string& menuRes) {
    TSForm* const form = OwnerForm();
    if (!form) return false;
    const std::u16string name = menuRes + u"_" + LanguageCodeText(static_cast<TLanguages>(form->MenuLanguage()));
    const MenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), W(name)));
    if (!menu) return false;
    DeleteMenuItems(menu.get(), deleted);
    POINT p{x, y};
    ClientToScreen(FHandle, &p);
    struct TrackingScope {
        HMENU& current;
        ~TrackingScope() { current = nullptr; }
    } tracking{CurPopupMenu};
    CurPopupMenu = GetSubMenu(menu.get(), 0);
    return TrackPopupMenu(CurPopupMenu, TPM_RIGHTBUTTON, p.x, p.y, 0, form->Handle(), nullptr) != 0;
}

int TSWinCtrl0::ExceptionMsg(const std::u16string& Msg, const std::exception& E) {
    std::u16string s;
    if (Application && Application->FApplicationForm) s = Application->FApplicationForm->formName();
    s += u":...\r" + Msg;
    const std::u16string message = ExceptionText(E);
    if (!Msg.empty())
        s += u"\r(" + message + u")";
    else
        s += message;
    return ShowInformation(FHandle, s);
}

namespace {

bool isSeparator(HMENU menu, int pos) { return GetMenuItemID(menu, pos) == 0; }
bool isPopup(HMENU menu, int pos) { return LOWORD(GetMenuItemID(menu, pos)) == 0xFFFF; }

bool hasText(HMENU menu, int pos) {
    wchar_t buf[200] = {};
    return GetMenuStringW(menu, static_cast<UINT>(pos), buf, 200, MF_BYPOSITION) > 0 && buf[0] != 0;
}

}  // namespace

void TidyMenu(HMENU menu) {
    if (!menu) return;
    // Separators at either end, and pop-ups left empty after their own tidying.
    for (int pos = 0; pos < GetMenuItemCount(menu);) {
        const int last = GetMenuItemCount(menu) - 1;
        bool remove = false;
        if (isSeparator(menu, pos)) {
            remove = pos == 0 || pos == last;
        } else if (isPopup(menu, pos)) {
            HMENU const sub = GetSubMenu(menu, pos);
            TidyMenu(sub);
            remove = GetMenuItemCount(sub) == 0;
        }
        if (remove)
            DeleteMenu(menu, static_cast<UINT>(pos), MF_BYPOSITION);
        else
            ++pos;
    }
    // Trailing separators and items without text.
    for (int pos = GetMenuItemCount(menu) - 1; pos >= 1; --pos) {
        if (!isSeparator(menu, pos) && hasText(menu, pos)) break;
        DeleteMenu(menu, static_cast<UINT>(pos), MF_BYPOSITION);
    }
    // A separator at the top, or right below another one.
    for (int pos = GetMenuItemCount(menu) - 1; pos >= 0; --pos) {
        if (isSeparator(menu, pos) && (pos == 0 || isSeparator(menu, pos - 1)))
            DeleteMenu(menu, static_cast<UINT>(pos), MF_BYPOSITION);
    }
}

void DeleteMenuItems(HMENU menu, PIDArray ids) {
    if (ids)
        for (PIDArray id = ids; *id != 0; ++id) DeleteMenu(menu, static_cast<UINT>(*id), MF_BYCOMMAND);
    TidyMenu(menu);
}
