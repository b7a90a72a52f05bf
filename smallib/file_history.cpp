// The recent-file list in the first pop-up menu and in the user settings.
#include "smallib/file_history.h"

#include <algorithm>
#include <vector>

#include "common/platform.h"
#include "common/text_helpers.h"
#include "common/wtext.h"
#include "settings/user_settings.h"
#include "smallib/form.h"

namespace {

// History texts are read into buffers this size, so at most 198 characters come back.
constexpr int HistoryTextBuffer = 199;

bool isHistoryId(int id) { return id >= FirstFileId && id <= FirstFileId + 9; }

// Folder (with its trailing separator) and name of a path, split after the last '\' or ':'.
std::size_t nameStart(const std::u16string& path) {
    const std::size_t sep = path.find_last_of(u"\\:");
    return sep == std::u16string::npos ? 0 : sep + 1;
}

// The text of item id; false when menu has no such item.
bool itemText(HMENU menu, UINT id, std::u16string& text) {
    wchar_t buf[HistoryTextBuffer] = {};
    const int n = GetMenuStringW(menu, id, buf, HistoryTextBuffer, MF_BYCOMMAND);
    if (n <= 0) {
        // An empty text and a missing item look alike; only the item's state tells them apart.
        if (GetMenuState(menu, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) return false;
        text.clear();
        return true;
    }
    text = U(buf, static_cast<size_t>(std::min(n, HistoryTextBuffer - 1)));
    return true;
}

}  // namespace

int LastFileIdOf(HMENU menu) {
    if (!menu) return -1;
    HMENU const popup = GetSubMenu(menu, 0);
    return static_cast<int>(GetMenuItemID(popup, GetMenuItemCount(popup) - 1));
}

void AppendFileTo(HMENU menu, const std::u16string& filename) {
    if (!menu) return;
    HMENU const popup = GetSubMenu(menu, 0);
    std::u16string newest = filename;
    MakeLower(newest);

    std::vector<std::u16string> entries{newest};
    const int last = LastFileIdOf(menu);
    if (isHistoryId(last)) {
        for (int id = FirstFileId; id <= last; ++id) {
            std::u16string text;
            // A gap in the ids (an item removed by someone else) is no entry; taking its empty
            // text would put a blank line into the history.
            if (!itemText(popup, static_cast<UINT>(id), text)) continue;
            std::u16string path = text.size() > 3 ? text.substr(3) : std::u16string();
            MakeLower(path);
            if (path != newest) entries.push_back(std::move(path));
            DeleteMenu(popup, static_cast<UINT>(id), MF_BYCOMMAND);
        }
    }
    if (entries.size() > MaxFileHistory) entries.resize(MaxFileHistory);

    for (std::size_t k = 1; k <= entries.size(); ++k) {
        const std::u16string& path = entries[k - 1];
        const std::size_t cut = nameStart(path);
        std::u16string name = path.substr(cut);
        MakeUpper(name);
        std::u16string text = u"&0 ";
        text[1] = static_cast<char16_t>(u'0' + k);  // the digit is the item's mnemonic
        text.append(path, 0, cut).append(name);
        AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(FirstFileId - 1 + k), W(text));
    }
}

std::u16string FileHistoryTextOf(HMENU menu, WORD id) {
    if (!menu) return {};
    std::u16string text;
    if (!itemText(menu, id, text)) return {};
    const std::size_t space = text.find(u' ');
    return space == std::u16string::npos ? text.substr(0, 255) : text.substr(space + 1, 255);
}

void SaveFileHistoryOf(HMENU menu, const std::u16string& section) {
    if (!menu || !UserSettings) return;
    const int last = LastFileIdOf(menu);
    // Only a history the list itself built is saved: a first pop-up that ends in some other
    // command would otherwise be written out item by item under made-up keys.
    if (!isHistoryId(last)) return;
    char16_t c = u'1';
    for (int id = last; id >= FirstFileId; --id, ++c)
        UserSettings->writeString(section, std::u16string(u"F") + c, FileHistoryTextOf(menu, static_cast<WORD>(id)));
}

void LoadFileHistoryOf(HMENU menu, const std::u16string& section) {
    if (!UserSettings) return;
    for (char16_t c = u'1'; c != u'\0'; ++c) {
        const std::u16string value = UserSettings->readString(section, std::u16string(u"F") + c, u"");
        if (value.empty()) break;
        if (platform::FileExists(value)) AppendFileTo(menu, value);
    }
}

int TSForm::GetMenuLastFileID() { return LastFileIdOf(GetMenu()); }

void TSForm::MenuAppendFile(const std::u16string& filename) { AppendFileTo(GetMenu(), filename); }

std::u16string TSForm::GetMenuFileHistory(WORD id) { return FileHistoryTextOf(GetMenu(), id); }

void TSForm::SaveFileHist(const std::u16string& nm) { SaveFileHistoryOf(GetMenu(), nm); }

void TSForm::LoadFileHist(const std::u16string& nm) {
    if (GetMenu()) LoadFileHistoryOf(GetMenu(), nm);
}
