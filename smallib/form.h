// TSForm: the framework's top-level window with its own class, menu bar, icon and close protocol.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/resource_modules.h"
#include "langua/languages.h"
#include "smallib/gdi_handles.h"
#include "smallib/winctrl.h"

struct TAboutInfo;  // the about-box record, declared with the dialogs

// The program's about-box record, shown by the form command 100; null until the program
// fills it.
extern TAboutInfo* AboutInfo;
// The about box; installed by the dialogs unit, so that the form needs no dialog code. While
// it is null, command 100 does nothing.
extern void (*AboutBoxProc)(TSForm& form, TAboutInfo* aboutInfo);

// Framework command ids.
inline constexpr WORD cmClose = 6;
inline constexpr WORD cmAbout = 100;
inline constexpr WORD cmIgnored = 912;

// A form registers a window class named after it and creates an overlapped window with the
// class menu and icon. Create one with CreateForm; the window then owns the object, which
// frees itself when the window is destroyed. Its first place and size, (10, 10) and 140 x 100
// pixels at 96 dpi, grow with the system's DPI.
//
// The first form created while the application object has no main form becomes its main form:
// destroying it posts the quit message that ends the message loop.
class TSForm : public TSWinCtrl {
public:
    // Creates a form of class F (constructed with args) and its window. All messages of the
    // window's creation reach F's handlers, and atCreate of F runs before the window is
    // created. Returns null, with the object freed, when the window could not be created.
    template <class F, class... Args>
    static F* CreateForm(Args&&... args) {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        if (!form->CreateWnd()) return nullptr;
        return form.release();  // the window owns it now
    }

    // Fills and registers the window class, sets the defaults; the window comes with
    // CreateWnd (CreateForm calls it). The class name is formName followed by the decimal
    // module instance handle, unless formName ends in "_"; formName is also the caption and
    // must not be empty (Exception otherwise). menuName and IconName name resources of the
    // program (empty: none); BGBrush is a stock-object index such as WHITE_BRUSH or LTGRAY_BRUSH.
    TSForm(TSWinCtrl* aOwner, const std::u16string& formName, const std::u16string& menuName,
           const std::u16string& IconName, int BGBrush);
    ~TSForm() override;

    // --- Overrides ------------------------------------------------------------------------

    // Paints the windowless children, in list order, when the update rectangle is not empty.
    void paint(HDC dc) override;
    int GetClientHeight() override;
    int GetClientWidth() override;
    // Changes the outer size so that the client area gets the value.
    void SetClientHeight(int v) override;
    void SetClientWidth(int v) override;
    // The outer width of the window rectangle.
    int Width() const override;
    void Setvisible(bool v) override;
    void updateBounds() override;
    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;
    // Commands 6 (destroy the window), 100 (about box) and 912 (nothing); the rest goes to the
    // base. A nonzero result is a message number that the form sends itself with the
    // command's wParam and lParam (16 = WM_CLOSE).
    int HandleCommand(WORD id, WORD NotifyCode) override;
    // Looks the key up among the menu's shortcut texts (not for Ctrl or Shift alone);
    // otherwise the keyboard rules of the base.
    int wmKeyDown(WPARAM& vKey) override;
    int wmSysKeyDown(WPARAM vKey) override;

    // --- Hooks of the form ----------------------------------------------------------------

    virtual void wmDestroy() {}
    virtual void wmMove(int /*x*/, int /*y*/) {}
    virtual void wmSize(WORD /*sizeType*/, int /*width*/, int /*height*/) {}
    virtual int wmBringToFront() { return 0; }
    virtual int wmCustomMsg1(WORD /*wLow*/, LPARAM /*lParam*/) { return 0; }
    virtual int wmWinIniChange(LPARAM /*lParam*/) { return 0; }
    // The window went to a monitor of another scale (WM_DPICHANGED; dpi is the new one):
    // takes the rectangle Windows suggests, which keeps the window's size for the eye. A
    // form whose sizes depend on the DPI recomputes them here or in wmSize.
    virtual void wmDpiChanged(int dpi, const RECT& suggested);
    // Nonzero lets the default procedure fill the MINMAXINFO at lParam as well.
    virtual int wmGetMinMaxInfo(LPARAM /*lParam*/) { return 1; }
    virtual int wmCustomMsg2(WORD /*wLow*/, LPARAM /*lParam*/) { return 0; }
    virtual int wmCustomMsg3(WORD /*wLow*/, LPARAM /*lParam*/) { return 0; }
    virtual int wmMenuSelect(WORD /*helpId*/) { return 1; }
    // A character typed in an open menu that matched no mnemonic: translated like a key
    // stroke; 0x00010000 (close the menu) on a hit, 0 otherwise.
    virtual LRESULT wmMenuChar(WPARAM wParam, WORD flags, WORD menuLow);
    virtual bool realizePalette() { return false; }
    // Runs before the window is created: a descendant may change Style, geometry or
    // FEraseBkGnd here.
    virtual void atCreate() {}

    // --- Held bounds ----------------------------------------------------------------------
    // Every change of a window's place or size costs a round trip to the window system, also
    // while it is hidden. While the bounds are held, the setters only record the new place and
    // size, and a size change reaches wmSize (as WM_SIZE) as if the window had taken it: no
    // smaller than the system's smallest, the client area what the frame and the menu bar,
    // wrapped to that width, leave. ReleaseBounds moves the window once to what was recorded;
    // the WM_SIZE of the real window follows as usual. Holding needs the window; holding
    // twice is holding once.
    void HoldBounds();
    void ReleaseBounds();

    // --- Menu -----------------------------------------------------------------------------
    // The screen rectangles of the menu bar's items as the window lays them out now; empty
    // while the form shows no menu bar.
    std::vector<RECT> MenuBarItemRects() const;
    // Every menu operation works on the hidden menu while the bar is hidden, and does nothing
    // when the form has no menu.

    HMENU GetMenu();
    void SetMenu(HMENU aMenu);
    // Hides the menu bar (keeping the menu) or shows it again.
    void ShowMenu(bool show);
    void MenuEnableItem(WORD id, bool enable);
    void MenuCheckItem(WORD id, bool check);
    void MenuDeleteItem(WORD id);
    // Inserts before the item beforeID, by the first character of Text: "*" deletes beforeID
    // instead (inserting Text when there is no such item), "-" a separator, ">title>item" a
    // pop-up holding one item, anything else a plain item. A ">" text without a second ">"
    // adds nothing.
    void MenuAddItem(WORD beforeID, WORD id, const std::u16string& Text);
    // TidyMenu of the menu.
    void DeleteEmptyPopUps();

    // Builds the text that names key k (with an "Alt+" prefix while Alt is down) and posts the
    // command of the first enabled menu item whose shortcut text (behind the tab) is that text.
    // Ctrl, Shift or Alt pressed alone choose nothing.
    bool TranslateShortcut(WPARAM k);
    // True while TranslateShortcut searches the menu: the WM_INITMENUPOPUP it sends then lets
    // the form update items, but no menu is opening on the screen.
    bool SearchingShortcut() const noexcept { return FSearchingShortcut; }
    // String resource id of the program; empty when there is none.
    void LoadLangString(int id, std::u16string& s);

    // The about box with the given record (command 100).
    void AboutBox(TAboutInfo* aboutInfo);

    // --- Message dialogs (dialogs.cpp) ------------------------------------------------------
    // A message box owned by this window and titled with its caption (ShowMessageBox), with
    // the MessageBoxW style AType; the id of the button pressed (IDOK 1 ... IDNO 7).
    WORD MessageDlg(const std::u16string& Msg, UINT AType);
    WORD msgError(const std::u16string& Msg);        // OK, Cancel; exclamation mark
    WORD msgInfo(const std::u16string& Msg);         // OK; information sign
    WORD msgYesNo(const std::u16string& Msg);        // Yes, No; question mark
    WORD msgNoYes(const std::u16string& Msg);        // the same with No as the default
    WORD msgYesNoCancel(const std::u16string& Msg);  // Yes, No, Cancel; question mark
    WORD msgNoYesCancel(const std::u16string& Msg);  // the same with No as the default

    // --- Language menus and file history (lang_menu.cpp, file_history.cpp) ---------------
    // Replaces the menu by the resource named menuName with its last two characters replaced
    // by the language's code; the form keeps no menu when it had none or the resource is
    // missing. The menu language is set in every case.
    void LoadLangMenu(const std::u16string& menuName, TLanguages language);
    // The text of menu item id (at most 199 characters); empty without such an item or menu.
    std::u16string MenuItemText(WORD id);
    // The recent-file list at the end of the first pop-up: ids 170 (newest) to 178.
    // The id of the first pop-up's last item; -1 without a menu.
    int GetMenuLastFileID();
    // Puts filename at the top of the list; an entry differing only in letter case moves up.
    void MenuAppendFile(const std::u16string& filename);
    // The path item id shows, without its "&k " mnemonic.
    std::u16string GetMenuFileHistory(WORD id);
    // Writes the list into the user settings section nm ("F1" the oldest entry).
    void SaveFileHist(const std::u16string& nm);
    // Rebuilds the list from section nm, skipping files that no longer exist.
    void LoadFileHist(const std::u16string& nm);

    // --- Properties -----------------------------------------------------------------------

    const std::u16string& formName() const noexcept { return FFormName; }
    void SetformName(const std::u16string& v) { FFormName = v; }
    bool WasMaximized() const noexcept { return FWasMaximized; }
    void SetWasMaximized(bool v) noexcept { FWasMaximized = v; }
    bool OnlyMaximized() const noexcept { return FOnlyMaximized; }
    void SetOnlyMaximized(bool v) noexcept { FOnlyMaximized = v; }
    HICON Icon() const noexcept { return FIcon.get(); }
    void SetCurHelp(int v) noexcept { FcurHelp = v; }
    bool MenuHidden() const noexcept { return FMenuHidden; }
    TLanguages1 MenuLanguage() const noexcept { return FMenuLanguage; }
    void SetMenuLanguage(TLanguages1 v) noexcept { FMenuLanguage = v; }

    // The window style used at creation.
    DWORD Style = 0x02CF0003;

protected:
    // Registers with the application and creates the window; false when it could not be
    // created. Called once, by CreateForm.
    bool CreateWnd();

    IconHandle FIcon;
    bool FWasMaximized = false;
    bool FOnlyMaximized = false;
    bool FMenuHidden = false;
    int FcurHelp = 0;
    UINT FwmHelp = 0;
    // The menu bar while it is hidden; the window owns it again once it is shown.
    HMENU FHiddenMenu = nullptr;
    TLanguages1 FMenuLanguage;
    std::u16string FFormName;

private:
    void closeProtocol(LRESULT& result, UINT Msg, WPARAM wParam, LPARAM lParam);
    bool isMainForm() const noexcept;

    TSWinCtrl* FOwnerWindow;
    // The menu bar's height at a client width while the bounds are held.
    int heldMenuBarHeight(int clientWidth) const;

    bool FBoundsHeld = false;
    RECT FHeldStart{};
    SIZE FHeldSize{};
    SIZE FHeldFrame{};  // the frame without the menu bar
    std::vector<int> FHeldMenuItems;  // the widths of the menu bar's items
    int FHeldMenuLine = 0;
    int FHeldMenuExtra = 0;
    bool FSearchingShortcut = false;
    bool FShortcutChosen = false;
    std::u16string FCaption;
    std::u16string FMenuName;
};
