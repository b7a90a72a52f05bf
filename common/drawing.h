// Small drawing operations on a device context: text width and output, solid fills, character set.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

// Width in pixels of text in the font selected in dc (GetTextExtentPoint32W); 0 for an empty
// text, and when the system cannot measure it.
int TextWidthOf(HDC dc, std::u16string_view text);

// Draws text with its reference point at (x, y) (TextOutW).
void TextOutAt(HDC dc, int x, int y, std::u16string_view text);

// Draws text centred in the span of width pixels from x, starting left of x when the text is
// wider (the offset rounds towards zero); returns the text's width.
int TextOutCentered(HDC dc, int x, int y, int width, std::u16string_view text);

// Fills rect with a solid colour. colour is a Windows colour (COLORREF); system colours must
// be resolved by the caller first.
void FillColorRect(HDC dc, const RECT& rect, COLORREF colour);

// The character set of the font selected in dc (RUSSIAN_CHARSET 204 for a Cyrillic font);
// DEFAULT_CHARSET when the system cannot tell.
std::uint8_t DCCharSet(HDC dc);
