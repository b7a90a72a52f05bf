// Menu shortcuts: key names, and the menu search behind TSForm::TranslateShortcut.
#include "smallib/shortcuts.h"

#include <algorithm>

#include "common/text_helpers.h"
#include "common/wtext.h"

std::u16string KeyName(unsigned k, TLanguages1 menuLanguage) {
    // '0' is not taken as itself: the menus never name it, so Alt+0 must find nothing.
    if ((k >= '1' && k <= '9') || (k >= 'A' && k <= 'Z')) return std::u16string(1, static_cast<char16_t>(k));
    if (k >= VK_F1 && k <= VK_F24) {
        const unsigned n = k - VK_F1 + 1;
        std::u16string s = u"F";
        if (n >= 10) s += static_cast<char16_t>(u'0' + n / 10);
        s += static_cast<char16_t>(u'0' + n % 10);
        return s;
    }
    if (k == VK_OEM_PLUS) return u"'+'";
    const auto& row = KeyNames[static_cast<TLanguages>(menuLanguage)];
    const auto code = std::find(KeyNameCodes.begin() + 1, KeyNameCodes.end(), k);
    return std::u16string(row[code == KeyNameCodes.end() ? 0 : static_cast<std::size_t>(code - KeyNameCodes.begin())]);
}

namespace {

// The upper-cased shortcut text of the item at pos (the part behind its first tab), or
// nothing when the item has no tab.
bool shortcutTextAt(HMENU menu, int pos, std::u16string& shortcut) {
    wchar_t buf[200] = {};
    const int n = GetMenuStringW(menu, static_cast<UINT>(pos), buf, 200, MF_BYPOSITION);
    std::u16string text = U(buf, static_cast<size_t>(std::clamp(n, 0, 199)));
    TrimAtNul(text);
    MakeUpper(text);
    const std::size_t tab = text.find(u'\t');
    if (tab == std::u16string::npos) return false;
    shortcut = text.substr(tab + 1, 255);
    return true;
}

}  // namespace

WORD FindShortcutItem(HWND form, HMENU menu, std::u16string_view keyText) {
    if (!menu) return 0;
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        const WORD id = LOWORD(GetMenuItemID(menu, pos));
        if (id == 0) continue;  // a separator
        if (id == 0xFFFF) {     // a pop-up
            HMENU const sub = GetSubMenu(menu, pos);
            // The form may check, gray or rename items of the pop-up before they are compared,
            // exactly as before the pop-up opens; it gets the pop-up's own handle, as Windows
            // passes it, so that it can change the right menu.
            SendMessageW(form, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), static_cast<LPARAM>(pos));
            if (const WORD found = FindShortcutItem(form, sub, keyText)) return found;
            continue;
        }
        if (GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) continue;
        std::u16string shortcut;
        if (shortcutTextAt(menu, pos, shortcut) && shortcut == keyText) return id;
    }
    return 0;
}
