// TSWinCtrl0: a control with a window of its own, its message dispatch, paint cycle and window services.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <exception>
#include <string>

#include "smallib/ctrl.h"

class TSForm;

// A window procedure.
using TWindowProc = WNDPROC;

// Command ids, ending at the first 0 entry.
using TIDarray = std::array<std::int32_t, 1001>;
using PIDArray = const std::int32_t*;

// The window owns its object: the object is bound to the window at WM_NCCREATE (by SWndProc,
// window_proc.h) and frees itself when the window has received WM_NCDESTROY, as soon as no
// handler of that window is running any more. Messages reach wndProc, whose dispatch turns
// them into calls of the virtual handlers below; a descendant handles its own messages in its
// own wndProc and passes the rest to its base class.
//
// Mouse and key handlers return 0 when they handled the message; any other value sends the
// message on to the default window procedure (the mouse-wheel hook has the opposite sense).
// Mouse positions are the low and high words of lParam taken as unsigned values.
class TSWinCtrl0 : public TSCtrl {
public:
    explicit TSWinCtrl0(TSWinCtrl* aOwner);
    ~TSWinCtrl0() override;

    // --- TSCtrl ---------------------------------------------------------------------------

    // The window's cached device context (null while there is no window): taken with GetDC
    // when none is cached and released by the window procedure at the end of the message
    // during which it was taken.
    HDC getDC() override;
    // Invalidates the whole client area, erasing when FEraseBkGnd is set.
    void invalidate() override;
    void update() override;
    bool IsWindowControl() const noexcept override { return true; }
    // Store and move the window (updateBounds) when the value changes.
    void SetLeft(int v) override;
    void SetTop(int v) override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;

    // --- Virtual operations of the window classes ------------------------------------------

    virtual int GetClientHeight();
    virtual int GetClientWidth();
    virtual void SetClientHeight(int v);
    virtual void SetClientWidth(int v);
    // MoveWindow to the stored geometry, repainting while visible.
    virtual void updateBounds();
    // The dispatch; what it does not consume goes to the default procedure (DefProc).
    virtual LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: id is the low word of wParam and NotifyCode the high word of lParam (not of
    // wParam): the program posts commands that carry a value there. The end of the chain shows
    // a diagnostic box for notification codes 0 and 5 and returns 0.
    virtual int HandleCommand(WORD id, WORD NotifyCode);
    virtual int wmInitMenuPopup(HMENU menu, int position, bool isSystemMenu);
    virtual int wmLButtonDown(WORD SHift, int x, int y);
    virtual int wmLButtonUp(WORD keys, int x, int y);
    // Shows the context menu ContextMenu when there is one.
    virtual int wmRButtonDown(WORD keys, int x, int y);
    virtual int wmLButtonDblClk(WORD keys, int x, int y);
    virtual int wmMouseMove(WORD keys, int x, int y);
    // The keyboard rules: Tab moves the focus, the page and arrow keys and Ctrl+Home/End
    // scroll, F1 asks for help; everything else goes to the parent's wmKeyDown. A handler may
    // change vKey; the default procedure then sees the changed key.
    virtual int wmKeyDown(WPARAM& vKey);
    virtual int wmKeyUp(WPARAM& vKey);
    virtual int wmSysKeyDown(WPARAM vKey);
    virtual int wmChar(WPARAM& ch);
    // The scroll rules for the vertical scroll bar; pos is the thumb position.
    virtual void wmVScroll(int code, int pos);
    virtual void wmDeactivate();
    virtual void wmActivate();
    virtual void wmPaletteChanged();
    // WM_MOUSEWHEEL: 0 lets the default procedure handle the wheel; any other value is the
    // message's result.
    virtual LRESULT wmMouseWheel(WPARAM keys, WPARAM delta, int x, int y);

    // --- Services -------------------------------------------------------------------------

    // SendMessageW to the window with a 16-bit message number and wParam.
    LRESULT perform(WORD Msg, WORD wParam, LPARAM lParam);
    // Sends WM_ACTIVATE; activating also makes this the parent's active child.
    void Activate(bool value);
    // Moves the mouse pointer to the client point (x, y).
    void CursorToXY(int x, int y);

    bool Active() const noexcept { return FActive; }
    HCURSOR Cursor() const noexcept { return FCursor; }
    // Shows the cursor at once unless the screen object's cursor overrides every window's.
    void SetCursor(HCURSOR cursor);
    HWND Handle() const noexcept { return FHandle; }
    int HelpContext() const noexcept { return FHelpContext; }
    void SetHelpContext(int v) noexcept { FHelpContext = v; }
    const WNDCLASSW& WndClass() const noexcept { return FWndClass; }
    RECT GetScreenRect() const noexcept { return BoundsRect(); }
    POINT MouseAtClick() const noexcept { return FMouseAtClick; }
    POINT MouseAt() const noexcept { return FMouseAt; }

    // The window text, at most 254 characters.
    std::u16string GetText();
    // Sets the window text when it differs.
    void SetText(const std::u16string& s);
    // The whole window text.
    std::u16string GetLongText();
    // Sets the whole window text when it differs; raises Exception "setText failed" when the
    // window does not take all of it.
    void SetLongText(const std::u16string& s);

    int GetVScrollPos();
    int GetVScrollRange();
    // Below 32760 the content scrolls with the bar; from 32760 on the range grows to v and
    // only the bar moves.
    void SetVScrollPos(int v);
    void SetVScrollRange(int v);
    int ClientHeight() { return GetClientHeight(); }
    int ClientWidth() { return GetClientWidth(); }

    // Shows the menu resource menuRes + "_" + the code of the form's menu language at the
    // client point (x, y), without the commands in deleted; the chosen command reaches the
    // form as WM_COMMAND. False when no form is above this control or there is no such menu.
    bool popUpMenu(int x, int y, PIDArray deleted, const std::u16string& menuRes);

    // Reports an exception in an information box owned by this window and returns the box's
    // result. The text names the program's hidden form, then Msg and the exception's message.
    int ExceptionMsg(const std::u16string& Msg, const std::exception& E);

    // The form this control belongs to: itself or the first form above it; null when none.
    TSForm* OwnerForm();

    // Exposed for the window procedure and the handlers' tests.
    LRESULT DefProc(UINT Msg, WPARAM wParam, LPARAM lParam);

    // --- Fields of the window classes -------------------------------------------------------

    bool FEraseBkGnd = false;
    TWindowProc FDefaultWindowProc = DefWindowProcW;
    bool FActive = false;
    int FActivCtrl = 0;
    WNDCLASSW FWndClass{};
    HCURSOR FCursor = nullptr;
    int FHelpContext = 0;
    int FLineHeight = 20;
    POINT FMouseAtClick{0, 0};

    HDC FDC = nullptr;
    HMENU CurPopupMenu = nullptr;
    std::u16string ContextMenu;
    PIDArray FHideCommands = nullptr;

protected:
    // Container hook of the paint cycle: a container lets its children adjust their size.
    virtual void adjustChildren() {}

    HWND FHandle = nullptr;
    POINT FMouseAt{0, 0};
    RECT upDateRect{0, 0, 0, 0};

private:
    friend LRESULT CALLBACK SWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class TSForm;

    // The cached context at the start of a message.
    struct DCState {
        HDC dc;
        bool taken;
    };
    // Counts the window procedure's frames for this object.
    DCState beginMessage() noexcept;
    // Releases a context taken with GetDC during the message and restores the one cached
    // before; true when the window is gone and no frame is left, so the object is to be freed.
    bool endMessage(DCState saved) noexcept;

    void paintCycle();
    LRESULT keyMessage(int (TSWinCtrl0::*handler)(WPARAM&), UINT Msg, WPARAM wParam, LPARAM lParam);
    LRESULT mouseMessage(int result, UINT Msg, WPARAM wParam, LPARAM lParam);

    // Bookkeeping of the window procedure: how many of its frames for this object are on the
    // stack, whether the window is gone (free at the outermost frame), and whether FDC came
    // from GetDC (only such a context is released; a paint context belongs to EndPaint).
    int FNesting = 0;
    bool FWindowGone = false;
    bool FDCTaken = false;
};

// Removes empty pop-ups and superfluous separators (at the start, at the end, doubled) from
// menu and, recursively, its pop-ups; trailing items without text go too.
void TidyMenu(HMENU menu);
// Deletes the commands of the zero-terminated ids (none for null) from menu, then TidyMenu.
void DeleteMenuItems(HMENU menu, PIDArray ids);
