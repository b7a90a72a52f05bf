// Menu shortcuts: the key-name table and the search for the menu item a key stroke chooses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

#include "langua/languages.h"

// Number of entries in each row of KeyNames; index 0 names a key that has no name.
inline constexpr int KeyNameCount = 20;

// The virtual-key codes of KeyNames, by index (index 0 has no code).
inline constexpr std::array<std::uint8_t, KeyNameCount> KeyNameCodes = {
    0,         VK_BACK,  VK_TAB,   VK_RETURN, VK_ESCAPE, VK_SPACE, VK_PRIOR,  VK_NEXT,     VK_END,      VK_HOME,
    VK_LEFT,   VK_UP,    VK_RIGHT, VK_DOWN,   VK_INSERT, VK_DELETE, VK_ADD,   VK_SUBTRACT, VK_MULTIPLY, VK_DIVIDE,
};

// Key names as the menus of the three menu languages write them: rows lg_GR, lg_US, lg_ES
// (a TLanguages1 indexes it).
inline constexpr std::array<std::array<std::u16string_view, KeyNameCount>, 3> KeyNames = {{
    {u"#####", u"R\u00FCck", u"Tab", u"Enter", u"ESC", u"Leer", u"Bild-", u"Bild+", u"Ende", u"Pos1", u"links",
     u"hoch", u"rechts", u"runter", u"Einfg", u"Entf", u"'+'", u"'-'", u"'*'", u"'/'"},
    {u"#####", u"Back", u"Tab", u"Enter", u"ESC", u"Space", u"PgUp", u"PgDn", u"End", u"Home", u"Left", u"Up",
     u"Right", u"Down", u"Ins", u"Del", u"'+'", u"'-'", u"'*'", u"'/'"},
    {u"#####", u"Back", u"Tab", u"Enter", u"ESC", u"Space", u"PgUp", u"PgDn", u"End", u"Home", u"Left", u"Up",
     u"Right", u"Down", u"Ins", u"Del", u"'+'", u"'-'", u"'*'", u"'/'"},
}};

// The name of key k as a shortcut text writes it, without modifier prefixes and not yet
// upper-cased: "1" to "9", "A" to "Z", "F1" to "F24", "'+'" for VK_OEM_PLUS, else the
// KeyNames entry of the language's row ("#####" for a key the table does not name).
std::u16string KeyName(unsigned k, TLanguages1 menuLanguage);

// Searches menu in menu order, depth first, for an enabled item whose shortcut text (the text
// behind its first tab, upper-cased) equals keyText, which must be upper-case already.
// Before a pop-up is searched, form receives WM_INITMENUPOPUP for it so that it can update
// the items. Returns the item's command id, or 0 when no item matches.
WORD FindShortcutItem(HWND form, HMENU menu, std::u16string_view keyText);
