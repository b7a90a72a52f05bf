// Fonts of the controls and the small GDI helpers: colour values, font creation, key states.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "smallib/gdi_handles.h"

class TSCtrl;

// A colour value: 0 or more is a COLORREF (0x00BBGGRR); -n names the system colour n
// (GetSysColor(n)). Colour fields keep the raw value and resolve it only when drawing, so a
// change of the Windows colour scheme shows on the next paint.
using TColor = std::int32_t;

COLORREF ResolveColor(TColor value);

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of TFontStyle in one byte: bit 0 bold, 1 italic, 2 underline, 3 strike-out. The byte is
// what the settings store, so the bits are part of the settings file format.
class TFontStyles {
public:
    constexpr TFontStyles() noexcept = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles) noexcept {
        for (const TFontStyle s : styles) Include(s);
    }
    static constexpr TFontStyles FromByte(std::uint8_t bits) noexcept {
        TFontStyles s;
        s.FBits = bits;
        return s;
    }

    constexpr std::uint8_t Byte() const noexcept { return FBits; }
    constexpr bool Contains(TFontStyle s) const noexcept { return (FBits & (1u << s)) != 0; }
    constexpr TFontStyles& Include(TFontStyle s) noexcept {
        FBits = static_cast<std::uint8_t>(FBits | (1u << s));
        return *this;
    }
    constexpr TFontStyles& Exclude(TFontStyle s) noexcept {
        FBits = static_cast<std::uint8_t>(FBits & ~(1u << s));
        return *this;
    }
    friend constexpr bool operator==(TFontStyles a, TFontStyles b) noexcept { return a.FBits == b.FBits; }

private:
    std::uint8_t FBits = 0;
};

// A face name: 32 UTF-16 units, zero-terminated when shorter; a font uses at most 31.
inline constexpr std::size_t FontNameLength = 32;
using TFontName = std::array<char16_t, FontNameLength>;

// Copies s into name: at most 31 characters, the rest of the array zero.
void StrToFontName(std::u16string_view s, TFontName& name);
// The face name up to its terminator.
std::u16string FontNameToStr(const TFontName& name);

struct TFontRec {
    TFontName frName{};
    TFontStyles frStyles;
    std::int32_t frHeight = 0;  // as LOGFONTW.lfHeight; 0 means the menu-bar height
    std::uint8_t frCharSet = 0;
};

// A font of the face (cut to 31 characters), height (0: the menu-bar height, SM_CYMENU; a
// positive value selects by cell height), weight 700 for bold else 400, italic, underline and
// strike-out from the style bits, and the character set; everything else default. Null when
// GDI refuses.
FontHandle MakeFont(const TFontName& face, int height, TFontStyles style, std::uint8_t charSet);
FontHandle MakeFontFromRec(const TFontRec& font);

// tmHeight of the font selected in dc.
int TextHeightOf(HDC dc);

RECT MakeRect(int Left, int Top, int Right, int Bottom);

// The keyboard state of the modifier keys while the current message was generated.
bool CtrlDown();
bool ShiftDown();
bool AltDown();

// The font of one control: face, styles, character set and height, and the GDI font made of
// them. Every change of a value re-creates the font object, repaints the owner, hands a window
// control's window the new font (WM_SETFONT) and lets the owner adjust its size.
// A new TSFont has no font object yet (Handle() is null): the face "System", no styles,
// character set 0 and the height of the screen's current font.
class TSFont {
public:
    explicit TSFont(TSCtrl& aOwner);
    TSFont(const TSFont&) = delete;
    TSFont& operator=(const TSFont&) = delete;

    const TFontName& Name() const noexcept { return FName; }
    // Compares all 32 units, so a change behind the terminator also counts as a change.
    void SetName(const TFontName& Value);
    void SetName(std::u16string_view Value);
    TFontStyles Style() const noexcept { return FStyle; }
    void SetStyle(TFontStyles Value);
    int Height() const noexcept { return FHeight; }
    void SetHeight(int Value);
    std::uint8_t CharSet() const noexcept { return FCharSet; }
    void SetCharSet(std::uint8_t Value);

    HFONT Handle() const noexcept { return FHandle.get(); }

    // Puts h in place of the font object without changing the values (the control's
    // font-selection methods use it); the previous object is deleted.
    void ReplaceHandle(FontHandle h) noexcept;

    // Stores a face name without re-creating the font: the font dialog takes the chosen face
    // this way and leaves the re-creation to the setters that follow it.
    void StoreName(const TFontName& Value) noexcept { FName = Value; }

private:
    void Recreate();

    TSCtrl& FOwner;
    TFontName FName{};
    TFontStyles FStyle;
    std::uint8_t FCharSet = 0;
    int FHeight = 0;
    FontHandle FHandle;
};
