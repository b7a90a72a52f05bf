// TSCtrl: the root of the framework's visual objects, with geometry, colours, font and repaint rules.
#include "smallib/ctrl.h"

#include "common/drawing.h"
#include "common/exceptions.h"
#include "smallib/winctrl.h"

TSCtrl::TSCtrl(TSWinCtrl* aOwner) : FParent(aOwner), FFont(*this) {
    if (aOwner) aOwner->FControls.Add(this);
}

TSCtrl::~TSCtrl() {
    if (FParent) {
        const int i = FParent->FControls.IndexOf(this);
        if (i >= 0) FParent->FControls.Delete(i);
    }
}

HDC TSCtrl::getDC() {
    if (!FParent) throw Exception(u"Parent=NIL !");
    return FParent->getDC();
}

bool TSCtrl::isAccelerator(char16_t) { return false; }

void TSCtrl::paint(HDC dc) {
    const COLORREF color = GetColor();
    // A window control's background is its window's erase step.
    if (!IsWindowControl() && FBkMode != TRANSPARENT) {
        const RECT r = BoundsRect();
        FillColorRect(dc, r, color);
    }
    ::SetBkColor(dc, color);
    ::SetBkMode(dc, FBkMode);
    ::SetTextColor(dc, FTextColor);
}

void TSCtrl::invalidate() {
    if (!FParent) return;
    const RECT r = BoundsRect();
    InvalidateRect(FParent->Handle(), &r, FALSE);
}

void TSCtrl::validate() {
    if (!FParent) return;
    const RECT r = BoundsRect();
    ValidateRect(FParent->Handle(), &r);
}

void TSCtrl::update() {
    invalidate();
    adjustSize();
    invalidate();
    // Without a parent there is no window to update.
    if (FParent) UpdateWindow(FParent->Handle());
    validate();
}

void TSCtrl::vRefresh() {
    if (FVisible) invalidate();
}

COLORREF TSCtrl::GetColor() const { return ResolveColor(FColor); }

void TSCtrl::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    vRefresh();
}

void TSCtrl::SetTextColor(COLORREF v) {
    if (v == FTextColor) return;
    FTextColor = v;
    invalidate();
}

void TSCtrl::SetBkMode(int v) {
    if (v == FBkMode) return;
    vRefresh();
    FBkMode = static_cast<std::int8_t>(v);
    vRefresh();
}

void TSCtrl::SetLeft(int v) {
    if (v == FLeft) return;
    vRefresh();
    FLeft = v;
    vRefresh();
}

void TSCtrl::SetTop(int v) {
    if (v == FTop) return;
    vRefresh();
    FTop = v;
    vRefresh();
}

void TSCtrl::SetWidth(int v) {
    if (v == FWidth) return;
    vRefresh();
    FWidth = v;
    vRefresh();
}

void TSCtrl::SetHeight(int v) {
    if (v == FHeight) return;
    vRefresh();
    FHeight = v;
    vRefresh();
}

RECT TSCtrl::BoundsRect() const noexcept { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

void TSCtrl::Setvisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    // Repaint the area both when the control appears and when it goes.
    invalidate();
}

void TSCtrl::setPrintZoom(int fak, int divi) noexcept {
    FPrintZoomf = fak;
    FPrintZoomd = divi;
}

int TSCtrl::PrintZoom(int value) const noexcept {
    if (FPrintZoomd == 0) return value;
    return (value * FPrintZoomf + FPrintZoomd - 1) / FPrintZoomd;
}

void TSCtrl::selectFont(HDC dc, const TFontRec& font) { selFont(dc, MakeFontFromRec(font)); }

void TSCtrl::selFont(HDC dc, FontHandle fnt) {
    // Select first: the previous font object may be the one selected in dc, and a selected
    // object must not be deleted.
    if (fnt) SelectObject(dc, fnt.get());
    FFont.ReplaceHandle(std::move(fnt));
}

void TSCtrl::SelectLogFont(HDC dc, const LOGFONTW& font) { selFont(dc, FontHandle(CreateFontIndirectW(&font))); }
