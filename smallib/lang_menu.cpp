// Language menus of a form: the menu resource of another language, and the texts of menu items.
#include <algorithm>

#include "common/wtext.h"
#include "smallib/form.h"

void TSForm::LoadLangMenu(const std::u16string& menuName, TLanguages language) {
    // The last two characters of a menu's name are its language code.
    const std::u16string name = menuName.substr(0, menuName.size() >= 2 ? menuName.size() - 2 : 0) + LanguageCodeText(language);
    // A form without a menu gets none, and a missing resource leaves the form without one.
    if (DestroyMenu(GetMenu())) SetMenu(LoadMenuW(GetModuleHandleW(nullptr), W(name)));
    FMenuLanguage = language;
}

std::u16string TSForm::MenuItemText(WORD id) {
    HMENU const menu = GetMenu();
    if (!menu) return {};
    wchar_t buf[200] = {};
    const int n = GetMenuStringW(menu, id, buf, 200, MF_BYCOMMAND);
    return U(buf, static_cast<std::size_t>(std::clamp(n, 0, 199)));
}
