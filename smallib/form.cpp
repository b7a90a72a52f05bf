// TSForm: the framework's top-level window with its own class, menu bar, icon and close protocol.
#include "smallib/form.h"

#include <algorithm>

#include "common/dpi.h"
#include "common/exceptions.h"
#include "common/startup_trace.h"
#include "common/text_helpers.h"
#include "common/wtext.h"
#include "smallib/application.h"
#include "smallib/report.h"
#include "smallib/shortcuts.h"
#include "smallib/window_proc.h"

TAboutInfo* AboutInfo = nullptr;
void (*AboutBoxProc)(TSForm& form, TAboutInfo* aboutInfo) = nullptr;

TSForm::TSForm(TSWinCtrl* aOwner, const std::u16string& formName, const std::u16string& menuName,
               const std::u16string& IconName, int BGBrush)
    : TSWinCtrl(nullptr), FOwnerWindow(aOwner), FCaption(formName), FMenuName(menuName) {
    if (formName.empty()) throw Exception(u"TSForm: empty form name");
    FCreating = true;
    HINSTANCE const module = GetModuleHandleW(nullptr);

    // The class name tells forms of different programs apart by the instance handle; a name
    // ending in "_" is a fixed name that other programs look for.
    FFormName = formName;
    if (FFormName.back() != u'_') FFormName += DecimalText(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(module)));

    if (!IconName.empty()) FIcon = LoadIconByName(IconName);
    const IconHandle smallIcon = FIcon ? LoadSmallIconByName(IconName) : IconHandle{};
    // The system's shared arrow: never destroyed.
    FCursor = LoadCursorW(nullptr, IDC_ARROW);
    FWndClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_BYTEALIGNCLIENT;
    FWndClass.lpfnWndProc = SWndProc;
    FWndClass.cbWndExtra = WindowExtraBytes;
    FWndClass.hInstance = module;
    FWndClass.hIcon = FIcon.get();
    FWndClass.hCursor = FCursor;
    FWndClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BGBrush));
    FWndClass.lpszMenuName = FMenuName.empty() ? nullptr : W(FMenuName);
    FWndClass.lpszClassName = W(FFormName);
    RegisterWindowClass(FWndClass, smallIcon.get());

    FMenuLanguage = lg_GR;
    // The first place and size are meant for 96 dpi. The window does not exist yet, so the
    // system's DPI stands for that of the monitor it will open on.
    const int dpi = SystemDpi();
    FLeft = ScaleForDpi(10, dpi);
    FTop = ScaleForDpi(10, dpi);
    FWidth = ScaleForDpi(140, dpi);
    FHeight = ScaleForDpi(100, dpi);
    FEraseBkGnd = true;
    Style = 0x02CF0003;
    FwmHelp = RegisterWindowMessageW(L"commdlg_help");
}

bool TSForm::CreateWnd() {
    atCreate();
    // The window procedure would free the object if the window died during its creation;
    // this frame keeps it alive so that CreateForm can tell and free it.
    const DCState saved = beginMessage();
    // What the handlers of the creation messages (WM_NCCREATE, WM_GETMINMAXINFO, WM_CREATE,
    // the first WM_SIZE) raise is dropped with the rest: left pending, it would end the
    // program before its loop ran.
    const std::size_t heldBefore = PendingExceptionCount();
    try {
        HWND const owner = FOwnerWindow ? FOwnerWindow->Handle() : nullptr;
        HWND const wnd = CreateWindowExW(0, W(FFormName), W(FCaption), Style, FLeft, FTop, FWidth, FHeight, owner,
                                         nullptr, GetModuleHandleW(nullptr), this);
        TraceStartup("window of class %ls created", W(FFormName));
        if (wnd && !FWindowGone) {
            FHandle = wnd;
            FVisible = true;
            FCreating = false;
            if (Application) {
                if (!Application->FMainForm) {
                    Application->FMainForm = this;
                    MainWnd = FHandle;
                }
                Application->FFormList.Add(this);
            }
        }
    } catch (...) {
        // Creation completes whatever a handler raised; the window decides whether it exists.
    }
    DropPendingExceptionsAfter(heldBefore);
    endMessage(saved);
    return !FWindowGone && FHandle;
}

TSForm::~TSForm() {
    if (FMenuHidden && FHiddenMenu) DestroyMenu(FHiddenMenu);
    if (Application) {
        Application->FFormList.Remove(this);
        // Reports and notifications go through the hidden form: nobody may reach it once gone.
        if (Application->FApplicationForm == this) Application->FApplicationForm = nullptr;
        if (Application->FMainForm == this) {
            Application->FMainForm = nullptr;
            MainWnd = nullptr;
        }
    }
}

bool TSForm::isMainForm() const noexcept { return Application && Application->FMainForm == this; }

void TSForm::paint(HDC) {
    if (IsRectEmpty(&upDateRect)) return;
    for (int i = 0; i < FControls.Count(); ++i) {
        TSCtrl* const child = FControls[i];
        if (child->visible() && !child->IsWindowControl()) child->paint(child->getDC());
    }
}

int TSForm::GetClientHeight() {
    if (FBoundsHeld) return std::max(FHeight - static_cast<int>(FHeldFrame.cy) - heldMenuBarHeight(GetClientWidth()), 0);
    RECT r{};
    GetClientRect(FHandle, &r);
    return r.bottom;
}

int TSForm::GetClientWidth() {
    if (FBoundsHeld) return std::max(FWidth - static_cast<int>(FHeldFrame.cx), 0);
    RECT r{};
    GetClientRect(FHandle, &r);
    return r.right;
}

void TSForm::SetClientHeight(int v) { SetHeight(FHeight + v - GetClientHeight()); }

void TSForm::SetClientWidth(int v) { SetWidth(Width() + v - GetClientWidth()); }

int TSForm::Width() const {
    RECT r{};
    if (FBoundsHeld || !FHandle || !GetWindowRect(FHandle, &r)) return FWidth;
    return r.right - r.left;
}

void TSForm::updateBounds() {
    if (!FBoundsHeld) {
        TSWinCtrl::updateBounds();
        return;
    }
    // What the system would make of the size: no smaller than a window can be dragged, no
    // larger than it can be made.
    FWidth = std::clamp(FWidth, GetSystemMetrics(SM_CXMINTRACK), std::max(GetSystemMetrics(SM_CXMAXTRACK), 1));
    FHeight = std::clamp(FHeight, GetSystemMetrics(SM_CYMINTRACK), std::max(GetSystemMetrics(SM_CYMAXTRACK), 1));
    // As for a real window, only a new size is a size change.
    if (FHeldSize.cx == FWidth && FHeldSize.cy == FHeight) return;
    FHeldSize = SIZE{FWidth, FHeight};
    SendMessageW(FHandle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(GetClientWidth(), GetClientHeight()));
}

std::vector<RECT> TSForm::MenuBarItemRects() const {
    std::vector<RECT> items;
    HMENU const menu = ::GetMenu(FHandle);
    for (int i = 0, count = menu ? GetMenuItemCount(menu) : 0; i < count; ++i) {
        RECT item{};
        if (GetMenuItemRect(FHandle, menu, static_cast<UINT>(i), &item)) items.push_back(item);
    }
    return items;
}

int TSForm::heldMenuBarHeight(int clientWidth) const {
    if (FHeldMenuItems.empty()) return 0;
    // The items fill a line from the left; one that does not fit begins the next line.
    int lines = 1;
    int x = 0;
    for (const int width : FHeldMenuItems) {
        if (x > 0 && x + width > clientWidth) {
            ++lines;
            x = 0;
        }
        x += width;
    }
    return lines * FHeldMenuLine + FHeldMenuExtra;
}

void TSForm::HoldBounds() {
    if (FBoundsHeld || !FHandle) return;
    RECT window{};
    RECT client{};
    RECT bare{0, 0, 0, 0};
    if (!GetWindowRect(FHandle, &window) || !GetClientRect(FHandle, &client) ||
        !AdjustWindowRectEx(&bare, static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_STYLE)), FALSE,
                            static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_EXSTYLE))))
        return;
    FHeldMenuItems.clear();
    FHeldMenuLine = 0;
    for (const RECT& item : MenuBarItemRects()) {
        FHeldMenuItems.push_back(item.right - item.left);
        FHeldMenuLine = std::max(FHeldMenuLine, static_cast<int>(item.bottom - item.top));
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    FHeldFrame = SIZE{width - client.right, bare.bottom - bare.top};
    // What the bar takes beyond its lines, from the bar as it is now.
    FHeldMenuExtra = 0;
    FHeldMenuExtra = (height - client.bottom - FHeldFrame.cy) - heldMenuBarHeight(client.right);
    FLeft = window.left;
    FTop = window.top;
    FWidth = width;
    FHeight = height;
    FHeldStart = window;
    FHeldSize = SIZE{FWidth, FHeight};
    FBoundsHeld = true;
}

void TSForm::ReleaseBounds() {
    if (!FBoundsHeld) return;
    FBoundsHeld = false;
    const RECT now{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    if (EqualRect(&now, &FHeldStart)) return;
    // The size keeps the system's limits already; asking for them again (WM_WINDOWPOSCHANGING)
    // would cost as much as the move itself.
    SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
}

void TSForm::Setvisible(bool v) {
    if (v == FVisible) return;
    ShowWindow(FHandle, v ? SW_SHOW : SW_HIDE);
    FVisible = v;
}

LRESULT TSForm::wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_DESTROY: {
            // The loop must end with the main form even when its destroy handler raises;
            // otherwise the process lives on without a window.
            struct QuitAtEnd {
                bool main;
                ~QuitAtEnd() {
                    if (main) PostQuitMessage(0);
                }
            } const quit{isMainForm()};
            wmDestroy();
            break;
        }
        case WM_MOVE: {
            wmMove(LOWORD(lParam), HIWORD(lParam));
            RECT r{};
            GetWindowRect(FHandle, &r);
            FLeft = r.left;
            FTop = r.top;
            return 0;
        }
        case WM_SIZE: {
            // Held bounds are the size the window is about to take.
            RECT r{};
            if (!FBoundsHeld && GetWindowRect(FHandle, &r)) {
                FWidth = r.right - r.left;
                FHeight = r.bottom - r.top;
            }
            wmSize(LOWORD(wParam), LOWORD(lParam), HIWORD(lParam));
            InvalidateRect(FHandle, nullptr, FEraseBkGnd);
            return 0;
        }
        case WM_CLOSE: {
            LRESULT result = 0;
            closeProtocol(result, Msg, wParam, lParam);
            return result;
        }
        case WM_WININICHANGE:
            wmWinIniChange(lParam);
            return 0;
        case WmDpiChanged:
            wmDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_GETMINMAXINFO:
            return wmGetMinMaxInfo(lParam);
        case WM_SYSKEYDOWN: {
            // Alt alone opens the menu bar: the base dispatch hands it to the default procedure.
            if (wParam == VK_MENU) break;
            // Alt+F4 and the like close a form only through a menu item whose shortcut names
            // them: the default procedure never sees those keys. F10 still goes there, unless
            // an item named it, since that is how the keyboard reaches the menu bar.
            FShortcutChosen = false;
            WPARAM key = wParam;
            wmKeyDown(key);
            if (wParam == VK_F10 && !FShortcutChosen) return DefProc(Msg, wParam, lParam);
            return 0;
        }
        case WM_COMMAND: {
            FcurHelp = FHelpContext;
            const int r = HandleCommand(LOWORD(wParam), HIWORD(lParam));
            if (r != 0) SendMessageW(FHandle, static_cast<UINT>(r), wParam, lParam);
            return r;
        }
        case WM_SYSCOMMAND:
            FcurHelp = FHelpContext;
            break;
        case WM_MENUSELECT:
            FcurHelp = (HIWORD(wParam) & MF_POPUP) ? 0 : LOWORD(wParam);
            wmMenuSelect(LOWORD(FcurHelp));
            break;
        case WM_MENUCHAR:
            return wmMenuChar(wParam, LOWORD(lParam), HIWORD(lParam));
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU && (GetKeyState(VK_F1) & 0x8000) && FcurHelp != 0) {
                SetText(DecimalText(FcurHelp));
                if (Application) Application->HelpContext(FcurHelp);
            }
            return 0;
        case WM_QUERYNEWPALETTE:
            if (realizePalette()) invalidate();
            return 0;
        case WM_PALETTECHANGED:
            if (realizePalette() && reinterpret_cast<HWND>(wParam) != FHandle) wmPaletteChanged();
            return 0;
        default:
            if (FwmHelp != 0 && Msg == FwmHelp) {
                if (Application) Application->HelpContext(FcurHelp);
                return 0;
            }
            break;
    }
    return TSWinCtrl::wndProc(Msg, wParam, lParam);
}

void TSForm::wmDpiChanged(int, const RECT& suggested) {
    SetWindowPos(FHandle, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSForm::closeProtocol(LRESULT& result, UINT Msg, WPARAM wParam, LPARAM lParam) {
    FWasMaximized = IsZoomed(FHandle) != 0;
    // The normal rectangle is what a form saves when it is destroyed.
    if (FWasMaximized && !FOnlyMaximized) ShowWindow(FHandle, SW_SHOWNORMAL);
    const int r = HandleCommand(cmClose, 0);
    result = 0;
    if (r == 0) return;  // the command has dealt with the window
    if (isMainForm())
        result = TSWinCtrl::wndProc(Msg, wParam, lParam);
    else
        Setvisible(false);  // hidden, alive, and shown again by Setvisible(true)
}

int TSForm::HandleCommand(WORD id, WORD NotifyCode) {
    switch (id) {
        case cmClose:
            DestroyWindow(FHandle);
            return 0;
        case cmAbout:
            AboutBox(AboutInfo);
            return 0;
        case cmIgnored:
            return 0;
        default:
            return TSWinCtrl::HandleCommand(id, NotifyCode);
    }
}

int TSForm::wmKeyDown(WPARAM& vKey) {
    if (TranslateShortcut(vKey)) return 0;
    return TSWinCtrl::wmKeyDown(vKey);
}

int TSForm::wmSysKeyDown(WPARAM vKey) {
    const int r = TSWinCtrl::wmSysKeyDown(vKey);
    if (vKey != VK_MENU) {
        WPARAM key = vKey;
        wmKeyDown(key);
    }
    return r;
}

LRESULT TSForm::wmMenuChar(WPARAM wParam, WORD, WORD) {
    WPARAM key = LOWORD(wParam);
    if (key >= 'a' && key <= 'z') key &= ~WPARAM{0x20};
    return wmKeyDown(key) == 0 ? MAKELRESULT(0, MNC_CLOSE) : MNC_IGNORE;
}

HMENU TSForm::GetMenu() { return FMenuHidden ? FHiddenMenu : ::GetMenu(FHandle); }

void TSForm::SetMenu(HMENU aMenu) {
    if (FMenuHidden)
        FHiddenMenu = aMenu;
    else
        ::SetMenu(FHandle, aMenu);
}

void TSForm::ShowMenu(bool show) {
    if (!show) {
        if (!FMenuHidden) {
            FHiddenMenu = ::GetMenu(FHandle);
            ::SetMenu(FHandle, nullptr);
        }
        FMenuHidden = true;
    } else {
        if (FMenuHidden) {
            ::SetMenu(FHandle, FHiddenMenu);
            FHiddenMenu = nullptr;
        }
        FMenuHidden = false;
    }
}

void TSForm::MenuEnableItem(WORD id, bool enable) {
    if (HMENU const menu = GetMenu()) EnableMenuItem(menu, id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void TSForm::MenuCheckItem(WORD id, bool check) {
    if (HMENU const menu = GetMenu()) CheckMenuItem(menu, id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
}

void TSForm::MenuDeleteItem(WORD id) {
    HMENU const menu = GetMenu();
    if (!menu) return;
    DeleteMenu(menu, id, MF_BYCOMMAND);
    if (!FMenuHidden) DrawMenuBar(FHandle);
}

void TSForm::MenuAddItem(WORD beforeID, WORD id, const std::u16string& Text) {
    HMENU const menu = GetMenu();
    if (!menu) return;
    const char16_t first = Text.empty() ? u'\0' : Text.front();
    if (first == u'*' && DeleteMenu(menu, beforeID, MF_BYCOMMAND)) {
        // deleted; nothing to insert
    } else if (first == u'-') {
        InsertMenuW(menu, beforeID, MF_BYCOMMAND | MF_SEPARATOR, id, W(Text));
    } else if (first == u'>') {
        const std::size_t second = Text.find(u'>', 1);
        if (second == std::u16string::npos) return;
        const std::u16string title = Text.substr(1, second - 1);
        const std::u16string item = Text.substr(second + 1);
        MenuHandle popup(CreateMenu());
        if (!popup) return;
        AppendMenuW(popup.get(), MF_STRING, id, W(item));
        // The menu owns the pop-up once it is inserted.
        if (InsertMenuW(menu, beforeID, MF_BYCOMMAND | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), W(title)))
            popup.release();
    } else {
        InsertMenuW(menu, beforeID, MF_BYCOMMAND | MF_STRING, id, W(Text));
    }
    if (!FMenuHidden) DrawMenuBar(FHandle);
}

void TSForm::DeleteEmptyPopUps() {
    HMENU const menu = GetMenu();
    if (!menu) return;
    TidyMenu(menu);
    if (!FMenuHidden) DrawMenuBar(FHandle);
}

void TSForm::LoadLangString(int id, std::u16string& s) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out the read-only resource text itself.
    const int n = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    s = (n > 0 && text) ? U(text, static_cast<std::size_t>(n)) : std::u16string();
}

bool TSForm::TranslateShortcut(WPARAM k) {
    // A modifier pressed on its own names no menu item.
    if (k == VK_CONTROL || k == VK_SHIFT || k == VK_MENU) return false;
    std::u16string keyText;
    std::u16string prefix;
    if (CtrlDown()) {
        LoadLangString(1, prefix);
        keyText += prefix;
    }
    if (ShiftDown()) {
        LoadLangString(2, prefix);
        keyText += prefix;
    }
    if (AltDown()) keyText += u"Alt+";
    keyText += KeyName(static_cast<unsigned>(k), FMenuLanguage);
    MakeUpper(keyText);
    WORD id = 0;
    {
        FSearchingShortcut = true;
        struct SearchEnd {
            bool& searching;
            ~SearchEnd() { searching = false; }
        } const searchEnd{FSearchingShortcut};
        id = FindShortcutItem(FHandle, GetMenu(), keyText);
    }
    if (id == 0) return false;
    // Posted: the command runs after the key message has been handled completely.
    PostMessageW(FHandle, WM_COMMAND, id, 0);
    FShortcutChosen = true;
    return true;
}

void TSForm::AboutBox(TAboutInfo* aboutInfo) {
    if (AboutBoxProc) AboutBoxProc(*this, aboutInfo);
}

TSForm* TSFormList::FindByHandle(HWND h) const {
    for (int i = 0; i < Count(); ++i)
        if (TSForm* const form = Get(i); form && form->Handle() == h) return form;
    return nullptr;
}
