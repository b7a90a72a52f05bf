// The about box: layout from the measured texts, painting, and the mail and web links.
#include "smallib/about_box.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "common/drawing.h"
#include "common/command_line.h"
#include "common/file_dates.h"
#include "common/text_helpers.h"
#include "smallib/application.h"
#include "smallib/dialogs.h"
#include "smallib/fonts.h"
#include "smallib/gdi_handles.h"

TAboutInfo* CurAboutInfo = nullptr;

namespace {

constexpr COLORREF LinkColor = RGB(0, 0, 204);

// All text of the box is drawn in this font; it lives for one measuring or painting pass.
FontHandle aboutFont() {
    TFontName face{};
    StrToFontName(u"Arial", face);
    return MakeFont(face, 20, TFontStyles{fsBold}, 0);
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
int linesBottom(const TAboutInfo& info, int h) {
    int y = 20 + h;
    if (!info.Line2.empty()) y += h;
    y += h + h / 2;
    y += 10;
    if (!info.Instit.empty()) y += h;
    y += h + 7;
    y += h + 8;
    y += h + h / 2;
    return y;
}

void layoutAboutBox(HWND dlg, const TAboutInfo& info) {
    int h = 0;
    int width = 104;
    {
        const WindowDC dc(dlg);
        const FontHandle font = aboutFont();
        const SelectObjectScope selected(dc.get(), font.get());
        h = TextHeightOf(dc.get());
        const auto nameLine = [&](const std::u16string& t) { width = std::max(width, 104 + TextWidthOf(dc.get(), t) + 40); };
        const auto textLine = [&](const std::u16string& t) { width = std::max(width, 40 + TextWidthOf(dc.get(), t) + 40); };
        nameLine(info.Line1);
        if (!info.Line2.empty()) nameLine(info.Line2);
        nameLine(line3Text(info));
        textLine(info.CopyRight);
        textLine(mailText(info));
        textLine(info.WWW);
        if (!info.Instit.empty()) textLine(info.Instit);
    }
    const int y = linesBottom(info, h);
    MoveWindow(GetDlgItem(dlg, IDOK), width / 2 - 50, y, 100, 30, TRUE);
    const int height = y + 70;
    RECT r{};
    GetWindowRect(dlg, &r);
    MoveWindow(dlg, r.left, (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2, width, height, FALSE);
}

// Draws text centred across the client width and returns its link area: 5 pixels wider than
// the text on both sides, symmetric about the centre.
RECT drawLink(HDC dc, int y, int W, int h, const std::u16string& text) {
    const int w = TextOutCentered(dc, 0, y, W, text);
    const int left = (W - w) / 2 - 5;
    return RECT{left, y, W - left, y + h};
}

void paintAboutBox(HWND dlg, TAboutInfo& info) {
    PAINTSTRUCT ps{};
    HDC const dc = BeginPaint(dlg, &ps);
    struct EndPaintScope {
        HWND dlg;
        PAINTSTRUCT* ps;
        ~EndPaintScope() { EndPaint(dlg, ps); }
    } const endPaint{dlg, &ps};

    RECT client{};
    GetClientRect(dlg, &client);
    const int W = client.right;
    FillColorRect(dc, client, GetSysColor(COLOR_BTNFACE));
    if (info.Icon) DrawIcon(dc, 20, 20, info.Icon);
    SetBkMode(dc, TRANSPARENT);

    const FontHandle font = aboutFont();
    const SelectObjectScope selected(dc, font.get());
    const int h = TextHeightOf(dc);
    int y = 20;
    TextOutCentered(dc, 0, y, W, info.Line1);
    y += h;
    if (!info.Line2.empty()) {
        TextOutCentered(dc, 0, y, W, info.Line2);
        y += h;
    }
    TextOutCentered(dc, 0, y, W, line3Text(info));
    y += h + h / 2;
    y += 10;
    if (!info.Instit.empty()) {
        TextOutCentered(dc, 0, y, W, info.Instit);
        y += h;
    }
    TextOutCentered(dc, 0, y, W, info.CopyRight);
    y += h + 7;
    SetTextColor(dc, LinkColor);
    info.mailRect = drawLink(dc, y, W, h, mailText(info));
    y += h + 8;
    info.wwwRect = drawLink(dc, y, W, h, info.WWW);
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
