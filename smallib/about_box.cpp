// The about box: layout from the measured texts, painting, and the mail and web links.
#include "smallib/about_box.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "common/command_line.h"
#include "common/dpi.h"
#include "common/drawing.h"
#include "common/file_dates.h"
#include "common/resource_modules.h"
#include "common/text_helpers.h"
#include "smallib/application.h"
#include "smallib/dialogs.h"
#include "smallib/fonts.h"
#include "smallib/gdi_handles.h"

TAboutInfo* CurAboutInfo = nullptr;

namespace {

constexpr COLORREF LinkColor = RGB(0, 0, 204);

// Every size of the box is given in pixels at 96 dpi and grows with the box's DPI.
struct AboutScale {
    explicit AboutScale(HWND dlg) : dpi(WindowDpi(dlg)) {}
    int operator()(int size) const { return ScaleForDpi(size, dpi); }
    int dpi;
};

// All text of the box is drawn in this font; it lives for one measuring or painting pass.
FontHandle aboutFont(const AboutScale& px) {
    TFontName face{};
    StrToFontName(u"Arial", face);
    return MakeFont(face, px(20), TFontStyles{fsBold}, 0);
}

std::u16string line3Text(const TAboutInfo& info) {
    return info.Line3.empty() ? ProgramDateText() : info.Line3;
}

std::u16string mailText(const TAboutInfo& info) {
    std::u16string s;
    CutAtQuestionMark(info.Mail, s);
    return s;
}

// The height the lines take from the top margin to below the web line; painting reaches the
// same y, so the button sits right under the last line drawn.
int linesBottom(const TAboutInfo& info, int h, const AboutScale& px) {
    int y = px(20) + h;
    if (!info.Line2.empty()) y += h;
    y += h + h / 2;
    y += px(10);
    if (!info.Instit.empty()) y += h;
    y += h + px(7);
    y += h + px(8);
    y += h + h / 2;
    return y;
}

// The template's icon control shows the icon at the system's icon size; while the box is open
// it shows the image of the size the box's DPI asks for, which this holds.
IconHandle controlIcon;

HWND iconControl(HWND dlg) { return FindWindowExW(dlg, nullptr, L"Static", nullptr); }

void fitIconControl(HWND dlg, int size) {
    HWND const control = iconControl(dlg);
    if (!control) return;
    // The control found the icon by its name among the resources of the dialog's module.
    wchar_t name[64] = {};
    if (GetWindowTextW(control, name, 64) <= 0) return;
    HINSTANCE const module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dlg, GWLP_HINSTANCE));
    IconHandle fitting(static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)), true);
    if (!fitting) return;
    SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(fitting.get()), 0);
    controlIcon = std::move(fitting);
}

void releaseIconControl(HWND dlg) {
    if (!controlIcon) return;
    if (HWND const control = iconControl(dlg)) SendMessageW(control, STM_SETICON, 0, 0);
    controlIcon.reset();
}

void layoutAboutBox(HWND dlg, const TAboutInfo& info) {
    const AboutScale px(dlg);
    fitIconControl(dlg, px(32));
    int h = 0;
    int width = px(104);
    {
        const WindowDC dc(dlg);
        const FontHandle font = aboutFont(px);
        const SelectObjectScope selected(dc.get(), font.get());
        h = TextHeightOf(dc.get());
        // The name lines keep clear of the icon on the left.
        const auto nameLine = [&](const std::u16string& t) {
            width = std::max(width, px(104) + TextWidthOf(dc.get(), t) + px(40));
        };
        const auto textLine = [&](const std::u16string& t) {
            width = std::max(width, px(40) + TextWidthOf(dc.get(), t) + px(40));
        };
        nameLine(info.Line1);
        if (!info.Line2.empty()) nameLine(info.Line2);
        nameLine(line3Text(info));
        textLine(info.CopyRight);
        textLine(mailText(info));
        textLine(info.WWW);
        if (!info.Instit.empty()) textLine(info.Instit);
    }
    const int y = linesBottom(info, h, px);
    MoveWindow(GetDlgItem(dlg, IDOK), width / 2 - px(50), y, px(100), px(30), TRUE);
    const int height = y + px(70);
    RECT r{};
    GetWindowRect(dlg, &r);
    MoveWindow(dlg, r.left, (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2, width, height, FALSE);
}

// Draws text centred across the client width and returns its link area: 5 pixels wider than
// the text on both sides, symmetric about the centre.
RECT drawLink(HDC dc, int y, int W, int h, const std::u16string& text, const AboutScale& px) {
    const int w = TextOutCentered(dc, 0, y, W, text);
    const int left = (W - w) / 2 - px(5);
    return RECT{left, y, W - left, y + h};
}

// The icon at size x size pixels. An icon of the program's resources is drawn from the image of
// that size, where it has one, rather than stretched from the system's icon size.
void drawIcon(HDC dc, int x, int y, int size, HICON icon) {
    const IconHandle fitting(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)), true);
    DrawIconEx(dc, x, y, fitting ? fitting.get() : icon, size, size, 0, nullptr, DI_NORMAL);
}

void paintAboutBox(HWND dlg, TAboutInfo& info) {
    PAINTSTRUCT ps{};
    HDC const dc = BeginPaint(dlg, &ps);
    struct EndPaintScope {
        HWND dlg;
        PAINTSTRUCT* ps;
        ~EndPaintScope() { EndPaint(dlg, ps); }
    } const endPaint{dlg, &ps};

    const AboutScale px(dlg);
    RECT client{};
    GetClientRect(dlg, &client);
    const int W = client.right;
    FillColorRect(dc, client, GetSysColor(COLOR_BTNFACE));
    if (info.Icon) drawIcon(dc, px(20), px(20), px(32), info.Icon);
    SetBkMode(dc, TRANSPARENT);

    const FontHandle font = aboutFont(px);
    const SelectObjectScope selected(dc, font.get());
    const int h = TextHeightOf(dc);
    int y = px(20);
    TextOutCentered(dc, 0, y, W, info.Line1);
    y += h;
    if (!info.Line2.empty()) {
        TextOutCentered(dc, 0, y, W, info.Line2);
        y += h;
    }
    TextOutCentered(dc, 0, y, W, line3Text(info));
    y += h + h / 2;
    y += px(10);
    if (!info.Instit.empty()) {
        TextOutCentered(dc, 0, y, W, info.Instit);
        y += h;
    }
    TextOutCentered(dc, 0, y, W, info.CopyRight);
    y += h + px(7);
    SetTextColor(dc, LinkColor);
    info.mailRect = drawLink(dc, y, W, h, mailText(info), px);
    y += h + px(8);
    info.wwwRect = drawLink(dc, y, W, h, info.WWW, px);
}

// An exception raised inside the dialog must not unwind through the dialog manager: the box
// closes and ShowAboutBox rethrows it on its own stack.
std::exception_ptr failure;

INT_PTR handleMessage(HWND dlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_COMMAND) {
        if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dlg, 1);
        return FALSE;
    }
    if (!CurAboutInfo) return FALSE;
    TAboutInfo& info = *CurAboutInfo;
    switch (Msg) {
    case WM_INITDIALOG:
        layoutAboutBox(dlg, info);
        return TRUE;
    case WM_DESTROY:
        releaseIconControl(dlg);
        return FALSE;
    case WM_PAINT:
        paintAboutBox(dlg, info);
        return FALSE;
    case WM_MOUSEMOVE: {
        const int x = LOWORD(lParam);
        const int y = HIWORD(lParam);
        const RECT& m = info.mailRect;
        const RECT& w = info.wwwRect;
        // The hover test includes the right and bottom borders; the click test does not.
        const bool overLink = InRect(x, y, m.left, m.top, m.right, m.bottom) || InRect(x, y, w.left, w.top, w.right, w.bottom);
        SetCursor(overLink ? HandCursor : ArrowCursor);
        return FALSE;
    }
    case WM_LBUTTONDOWN: {
        const POINT pt{LOWORD(lParam), HIWORD(lParam)};
        if (PtInRect(&info.wwwRect, pt))
            ShellOpen(dlg, info.WWW);
        else if (PtInRect(&info.mailRect, pt))
            ShellOpen(dlg, u"mailto:" + info.Mail);
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

std::u16string ProgramDateText() {
    std::u16string path;
    CommandLineItem(0, path);
    std::u16string s;
    FileDateText(path, false, s);
    return s;
}

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    try {
        return handleMessage(dlg, Msg, wParam, lParam);
    } catch (...) {
        if (!failure) failure = std::current_exception();
        EndDialog(dlg, 0);
        return FALSE;
    }
}

void ShowAboutBox(HWND owner, TAboutInfo* aboutInfo) {
    CurAboutInfo = aboutInfo;
    // A box without its record would have nothing to show.
    if (!aboutInfo) return;
    DialogBoxParamW(GetModuleHandleW(nullptr), AboutBoxTemplate, owner, AboutDlgProc, 0);
    if (failure) std::rethrow_exception(std::exchange(failure, nullptr));
}
