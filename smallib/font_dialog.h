// The system font dialog bound to a control's font.
#pragma once

#include <windows.h>

#include "smallib/fonts.h"

// Lets the user choose face, size and style for font (TrueType faces only, starting at the
// font's own values); true when confirmed with OK. Cancelled, the font is unchanged. Colour,
// underline, strike-out and script chosen in the dialog are not taken over.
bool FontDialog(TSFont& font);

// The record the dialog starts from: the font's height and face, weight 800 for a bold font
// (else 400), italic when the style has it; every other field zero.
LOGFONTW FontDialogStart(const TSFont& font);

// Takes a confirmed choice over: the face goes into the font's name field without re-creating
// the font, then the height, the italic style and the bold style (weight above 400) are set,
// each re-creating the font only when its value changes.
void TakeChosenFont(TSFont& font, const LOGFONTW& chosen);
