// TSCtrl: the root of the framework's visual objects, with geometry, colours, font and repaint rules.
#pragma once

#include <windows.h>

#include <cstdint>

#include "smallib/fonts.h"

class TSWinCtrl;

// A control without a window of its own lives in its parent's client area at (Left, Top) and
// is painted by its parent on the parent's device context. Window controls (TSWinCtrl0 and
// below) inherit all of it and override some operations.
//
// A control registers itself with its parent container at construction and leaves it at
// destruction, so a container never lists a destroyed control. It owns its font.
class TSCtrl {
public:
    explicit TSCtrl(TSWinCtrl* aOwner);
    virtual ~TSCtrl();
    TSCtrl(const TSCtrl&) = delete;
    TSCtrl& operator=(const TSCtrl&) = delete;

    // --- The common virtual operations ----------------------------------------------------

    // The device context to draw on: a windowless control draws on its parent's. Raises
    // Exception "Parent=NIL !" without a parent.
    virtual HDC getDC();
    // Hook for controls whose size follows their content; called before a container paints,
    // by update and after the font changed.
    virtual void adjustSize() {}
    virtual bool isAccelerator(char16_t key);
    virtual void doAccelerator() {}
    // Paint content: fills a windowless control's rectangle with its colour (unless the
    // background mode is TRANSPARENT) and sets the background colour, background mode and text
    // colour of dc. Descendants that draw call it first.
    virtual void paint(HDC dc);
    // Asks the parent to repaint the control's rectangle (without erasing).
    virtual void invalidate();
    virtual void validate();
    virtual void update();

    // Whether the control has a window of its own (TSWinCtrl0 and its descendants).
    virtual bool IsWindowControl() const noexcept { return false; }

    // --- Properties -----------------------------------------------------------------------

    // Repaints while visible.
    void vRefresh();

    bool Creating() const noexcept { return FCreating; }
    // The resolved background colour, never a system-colour index.
    COLORREF GetColor() const;
    // The stored colour value (may name a system colour).
    TColor RawColor() const noexcept { return FColor; }
    void SetColor(TColor v);
    COLORREF TextColor() const noexcept { return FTextColor; }
    void SetTextColor(COLORREF v);
    int BkMode() const noexcept { return FBkMode; }
    void SetBkMode(int v);

    HDC dc() { return getDC(); }
    TSFont& font() noexcept { return FFont; }
    const TSFont& font() const noexcept { return FFont; }
    TSWinCtrl* Parent() const noexcept { return FParent; }

    int Left() const noexcept { return FLeft; }
    int Top() const noexcept { return FTop; }
    virtual int Width() const { return FWidth; }
    int Height() const noexcept { return FHeight; }
    // Repaint the old and the new area when the value changes (window controls move their
    // window instead).
    virtual void SetLeft(int v);
    virtual void SetTop(int v);
    virtual void SetWidth(int v);
    virtual void SetHeight(int v);
    // Left, Top, Left + Width, Top + Height: in the parent's client coordinates.
    RECT BoundsRect() const noexcept;

    bool visible() const noexcept { return FVisible; }
    virtual void Setvisible(bool v);

    bool Printing() const noexcept { return FPrinting; }
    void SetPrinting(bool v) noexcept { FPrinting = v; }
    bool PrintOnWhite() const noexcept { return FPrintOnWhite; }
    void SetPrintOnWhite(bool v) noexcept { FPrintOnWhite = v; }
    void setPrintZoom(int fak, int divi) noexcept;
    // value * fak / divi, rounded up for positive values; the value unchanged while no zoom
    // has been set (divisor 0).
    int PrintZoom(int value) const noexcept;

    // --- Font selection -------------------------------------------------------------------
    // Each replaces the control's font object (the previous one is deleted once it is no
    // longer selected) and selects the new one into dc. Name, style and height stay as they are.

    void selectFont(HDC dc, const TFontRec& font);
    // Takes fnt over; a null fnt selects nothing and leaves the control without a font object.
    void selFont(HDC dc, FontHandle fnt);
    void SelectLogFont(HDC dc, const LOGFONTW& font);

protected:
    TSWinCtrl* FParent;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 100;
    int FHeight = 20;
    TColor FColor = -COLOR_BTNFACE;
    COLORREF FTextColor = 0;
    TSFont FFont;
    bool FCreating = false;
    char16_t FAccelerator = 0;
    std::int8_t FBkMode = OPAQUE;
    bool FPrinting = false;
    int FPrintZoomf = 0;
    int FPrintZoomd = 0;
    bool FPrintOnWhite = false;
    bool FVisible = false;
};
