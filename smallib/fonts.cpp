// Fonts of the controls and the small GDI helpers: colour values, font creation, key states.
#include "smallib/fonts.h"

#include <algorithm>

#include "common/startup_trace.h"
#include "smallib/ctrl.h"
#include "smallib/winctrl0.h"

COLORREF ResolveColor(TColor value) {
    if (value < 0) return GetSysColor(-value);
    return static_cast<COLORREF>(value);
}

void StrToFontName(std::u16string_view s, TFontName& name) {
    name.fill(0);
    const std::size_t n = std::min(s.size(), FontNameLength - 1);
    std::copy_n(s.begin(), n, name.begin());
}

std::u16string FontNameToStr(const TFontName& name) {
    const auto end = std::find(name.begin(), name.end(), u'\0');
    return std::u16string(name.begin(), end);
}

FontHandle MakeFont(const TFontName& face, int height, TFontStyles style, std::uint8_t charSet) {
    if (height == 0) height = GetSystemMetrics(SM_CYMENU);
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = style.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charSet;
    static_assert(sizeof(lf.lfFaceName) / sizeof(lf.lfFaceName[0]) == FontNameLength);
    std::copy_n(face.begin(), FontNameLength - 1, reinterpret_cast<char16_t*>(lf.lfFaceName));
    lf.lfFaceName[FontNameLength - 1] = 0;
    FontHandle font(CreateFontIndirectW(&lf));
    TraceStartup("font created: height %d, weight %ld, char set %u", lf.lfHeight, lf.lfWeight, lf.lfCharSet);
    return font;
}

FontHandle MakeFontFromRec(const TFontRec& font) {
    return MakeFont(font.frName, font.frHeight, font.frStyles, font.frCharSet);
}

int TextHeightOf(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

RECT MakeRect(int Left, int Top, int Right, int Bottom) { return RECT{Left, Top, Right, Bottom}; }

bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
bool AltDown() { return (GetKeyState(VK_MENU) & 0x8000) != 0; }

TSFont::TSFont(TSCtrl& aOwner) : FOwner(aOwner) {
    StrToFontName(u"System", FName);
    const WindowDC screen(nullptr);
    FHeight = screen ? TextHeightOf(screen.get()) : 0;
}

void TSFont::SetName(const TFontName& Value) {
    if (Value == FName) return;
    FName = Value;
    Recreate();
}

void TSFont::SetName(std::u16string_view Value) {
    TFontName name;
    StrToFontName(Value, name);
    SetName(name);
}

void TSFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Recreate();
}

void TSFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Recreate();
}

void TSFont::SetCharSet(std::uint8_t Value) {
    if (Value == FCharSet) return;
    FCharSet = Value;
    Recreate();
}

void TSFont::ReplaceHandle(FontHandle h) noexcept { FHandle = std::move(h); }

void TSFont::Recreate() {
    // The new font goes to the window before the old one is deleted, so the window never
    // holds a deleted font.
    FontHandle old = std::exchange(FHandle, MakeFont(FName, FHeight, FStyle, FCharSet));
    FOwner.vRefresh();
    if (FOwner.IsWindowControl()) {
        const HWND window = static_cast<TSWinCtrl0&>(FOwner).Handle();
        if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FHandle.get()), 0);
    }
    old.reset();
    // Repaint the old and the new extent of a control whose size follows its font.
    FOwner.adjustSize();
    FOwner.vRefresh();
}
