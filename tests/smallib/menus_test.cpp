// Tests of the menu operations of forms: shortcut texts, language menus and the recent-file list.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/platform.h"
#include "common/text_helpers.h"
#include "common/wtext.h"
#include "settings/user_settings.h"
#include "smallib/application.h"
#include "smallib/form.h"
#include "smallib/gdi_handles.h"
#include "smallib/shortcuts.h"
#include "tests/smallib/app_test_support.h"

using namespace apptest;

namespace {

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartFramework();
        app = std::make_unique<TSApplication>();
    }
    void TearDown() override {
        app.reset();
        EndFramework();
        discardMessages();
    }

    // The command that the form posted to itself, 0 when none; the queue is emptied.
    static WORD postedCommand(HWND form) {
        WORD id = 0;
        MSG msg;
        while (PeekMessageW(&msg, form, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            if (msg.lParam == 0) id = LOWORD(msg.wParam);
        return id;
    }

    std::unique_ptr<TSApplication> app;
};

// --- Menu shortcuts ---------------------------------------------------------------------------

TEST(KeyNames, NameKeysAsTheMenusOfEachLanguageWriteThem) {
    struct Case {
        unsigned key;
        TLanguages language;
        std::u16string name;
    } const cases[] = {
        {'1', lg_GR, u"1"},
        {'9', lg_US, u"9"},
        {'0', lg_GR, u"#####"},  // the menus never name it
        {'A', lg_GR, u"A"},
        {'Z', lg_ES, u"Z"},
        {VK_F1, lg_GR, u"F1"},
        {VK_F24, lg_GR, u"F24"},
        {VK_OEM_PLUS, lg_US, u"'+'"},
        {VK_ADD, lg_GR, u"'+'"},
        {VK_BACK, lg_GR, u"R\u00FCck"},
        {VK_BACK, lg_US, u"Back"},
        {VK_NEXT, lg_GR, u"Bild+"},
        {VK_HOME, lg_ES, u"Home"},
        {VK_DIVIDE, lg_ES, u"'/'"},
        {VK_SPACE, lg_UK, u"Space"},   // a language without a row of its own uses its base's
        {VK_SPACE, lg_RU, u"Leer"},
        {VK_NUMPAD1, lg_US, u"#####"},  // 'a' as a key code: no name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << ", language " << int{c.language});
        EXPECT_EQ(KeyName(c.key, c.language), c.name);
    }
}

// A menu bar: "&A" holds a grayed "F5" item, an item without shortcut, a separator and the
// pop-up "&Sub" with "F5" and "f6"; then a bar item "F5"; then "&B" with prefixed shortcuts.
MenuHandle shortcutMenu() {
    MenuHandle bar(CreateMenu());
    HMENU const a = CreatePopupMenu();
    AppendMenuW(a, MF_STRING | MF_GRAYED, 11, L"&Eins\tF5");
    AppendMenuW(a, MF_STRING, 12, L"&Zwei");
    AppendMenuW(a, MF_SEPARATOR, 0, nullptr);
    HMENU const sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 13, L"&Drei\tF5");
    AppendMenuW(sub, MF_STRING, 14, L"&Vier\tf6");
    AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"&Sub");
    AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(a), L"&A");
    AppendMenuW(bar.get(), MF_STRING, 15, L"&F\u00FCnf\tF5");
    HMENU const b = CreatePopupMenu();
    AppendMenuW(b, MF_STRING, 16, L"&Sechs\tStrg+F7");
    AppendMenuW(b, MF_STRING, 17, L"&Sieben\tAlt+0");
    AppendMenuW(b, MF_STRING, 18, L"&Acht\tUmsch+Alt+Entf");
    AppendMenuW(b, MF_STRING, 19, L"&Neun\tQ");
    AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(b), L"&B");
    return bar;
}

TEST_F(MenuTest, ShortcutTextsChooseTheFirstEnabledItemDepthFirst) {
    auto* form = makeForm<HookForm>(u"ShortcutForm");
    form->SetMenu(shortcutMenu().release());
    HWND const wnd = form->Handle();

    struct Case {
        const char* what;
        std::vector<int> held;
        WPARAM key;
        WORD command;
    } const cases[] = {
        {"grayed item skipped, pop-up searched where it stands", {}, VK_F5, 13},
        {"case does not matter", {}, VK_F6, 14},
        {"Ctrl prefix from string resource 1", {VK_CONTROL}, VK_F7, 16},
        {"Shift and Alt prefixes in that order", {VK_SHIFT, VK_MENU}, VK_DELETE, 18},
        {"Alt+0 has no name", {VK_MENU}, '0', 0},
        {"Ctrl is no prefix of F5", {VK_CONTROL}, VK_F5, 0},
        {"no item", {}, VK_F8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const KeysDown held(c.held);
        EXPECT_EQ(form->TranslateShortcut(c.key), c.command != 0);
        EXPECT_EQ(postedCommand(wnd), c.command);
    }
}

TEST_F(MenuTest, PopUpsAreUpdatedByTheFormBeforeTheirItemsAreCompared) {
    auto* form = makeForm<HookForm>(u"InitPopupForm");
    form->SetMenu(shortcutMenu().release());
    HMENU const a = GetSubMenu(form->GetMenu(), 0);
    HMENU const sub = GetSubMenu(a, 3);
    std::vector<std::pair<HMENU, int>> updated;
    form->onInitMenuPopup = [&](HMENU menu, int position) {
        updated.emplace_back(menu, position);
        if (menu == sub) EnableMenuItem(sub, 13, MF_BYCOMMAND | MF_GRAYED);
    };

    EXPECT_TRUE(form->TranslateShortcut(VK_F5));
    // The sub-menu's "F5" was grayed on its WM_INITMENUPOPUP: the bar item after it wins.
    EXPECT_EQ(postedCommand(form->Handle()), 15);
    EXPECT_EQ(updated, (std::vector<std::pair<HMENU, int>>{{a, 0}, {sub, 3}}));
}

TEST_F(MenuTest, ControlAndShiftAloneTranslateNothing) {
    auto* form = makeForm<HookForm>(u"ModifierForm");
    form->SetMenu(shortcutMenu().release());
    int updates = 0;
    form->onInitMenuPopup = [&](HMENU, int) { ++updates; };
    for (WPARAM key : {WPARAM{VK_CONTROL}, WPARAM{VK_SHIFT}}) {
        const KeysDown held({static_cast<int>(key)});
        form->wmKeyDown(key);
    }
    EXPECT_EQ(updates, 0) << "the menu was searched";
    EXPECT_EQ(postedCommand(form->Handle()), 0);
}

TEST_F(MenuTest, ALetterTypedInAnOpenMenuIsTranslatedAsAKey) {
    auto* form = makeForm<HookForm>(u"MenuCharForm");
    form->SetMenu(shortcutMenu().release());
    HMENU const b = GetSubMenu(form->GetMenu(), 2);
    // A hit closes the menu; a miss lets the menu go on.
    EXPECT_EQ(SendMessageW(form->Handle(), WM_MENUCHAR, MAKEWPARAM(u'q', MF_POPUP), reinterpret_cast<LPARAM>(b)), 0x00010000);
    EXPECT_EQ(postedCommand(form->Handle()), 19);
    EXPECT_EQ(SendMessageW(form->Handle(), WM_MENUCHAR, MAKEWPARAM(u'w', MF_POPUP), reinterpret_cast<LPARAM>(b)), 0);
    EXPECT_EQ(postedCommand(form->Handle()), 0);
}

TEST_F(MenuTest, AltF4WithoutSuchAnItemLeavesTheFormOpen) {
    auto* form = makeForm<HookForm>(u"NoCloseForm");
    form->SetMenu(shortcutMenu().release());
    HWND const wnd = form->Handle();
    {
        const KeysDown alt({VK_MENU});
        EXPECT_EQ(SendMessageW(wnd, WM_SYSKEYDOWN, VK_F4, 0x20000001), 0);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_TRUE(IsWindow(wnd));
}

// --- Language menus ---------------------------------------------------------------------------

TEST_F(MenuTest, LangMenuLoadsTheResourceOfTheLanguagesBase) {
    auto* form = makeForm<HookForm>(u"LangForm", u"LANGTESTGR");
    EXPECT_EQ(form->MenuItemText(201), u"&\u00D6ffnen");

    form->LoadLangMenu(u"LANGTESTGR", lg_US);
    EXPECT_EQ(form->MenuItemText(201), u"&Open");
    EXPECT_EQ(form->MenuLanguage(), lg_US);
    {
        const KeysDown alt({VK_MENU});
        EXPECT_TRUE(form->TranslateShortcut(VK_F4));
    }
    EXPECT_EQ(postedCommand(form->Handle()), 6);

    // British English has no menu of its own: it gets the American one.
    form->LoadLangMenu(u"LANGTESTUS", lg_UK);
    EXPECT_EQ(form->MenuItemText(6), u"E&xit\tAlt+F4");
    EXPECT_EQ(form->MenuLanguage(), lg_US);

    // While the bar is hidden, the hidden menu is replaced.
    form->ShowMenu(false);
    form->LoadLangMenu(u"LANGTESTUS", lg_GR);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_EQ(form->MenuItemText(201), u"&\u00D6ffnen");
    form->ShowMenu(true);
    EXPECT_EQ(GetMenu(form->Handle()), form->GetMenu());

    // There is no Russian menu: the form is left without one.
    form->LoadLangMenu(u"LANGTESTGR", lg_RU);
    EXPECT_EQ(form->GetMenu(), nullptr);
    EXPECT_EQ(form->MenuItemText(201), u"");
    EXPECT_EQ(form->GetMenuLastFileID(), -1);
}

TEST_F(MenuTest, LangMenuOnAFormWithoutMenuOnlySetsTheLanguage) {
    auto* form = makeForm<HookForm>(u"BareForm");
    form->LoadLangMenu(u"LANGTESTGR", lg_ES);
    EXPECT_EQ(form->GetMenu(), nullptr);
    EXPECT_EQ(form->MenuLanguage(), lg_ES);
}

TEST_F(MenuTest, MenuItemTextIsCutAt199Characters) {
    auto* form = makeForm<HookForm>(u"LongTextForm", u"LANGTESTGR");
    const std::u16string longText(250, u'x');
    AppendMenuW(GetSubMenu(form->GetMenu(), 0), MF_STRING, 300, W(longText));
    EXPECT_EQ(form->MenuItemText(300), longText.substr(0, 199));
    EXPECT_EQ(form->MenuItemText(999), u"");
}

// --- File history -----------------------------------------------------------------------------

// Settings held in memory: strings by section and key (an empty value removes the key).
class MemorySettings : public TUserSettings {
public:
    std::map<std::pair<std::u16string, std::u16string>, std::u16string> values;

    void ClearSection(const std::u16string&) override {}
    bool readBool(const std::u16string&, const std::u16string&, bool def) override { return def; }
    double readDouble(const std::u16string&, const std::u16string&, double def) override { return def; }
    std::int32_t readInteger(const std::u16string&, const std::u16string&, std::int32_t def) override { return def; }
    void readList(const std::u16string&, TStrings&) override {}
    std::u16string readString(const std::u16string& sect, const std::u16string& key, const std::u16string& def) override {
        const auto it = values.find({sect, key});
        return it == values.end() ? def : it->second;
    }
    void writeBool(const std::u16string&, const std::u16string&, bool) override {}
    void writeDouble(const std::u16string&, const std::u16string&, double) override {}
    void writeInteger(const std::u16string&, const std::u16string&, std::int32_t) override {}
    void writeList(const std::u16string&, const TStrings&) override {}
    void writeString(const std::u16string& sect, const std::u16string& key, const std::u16string& value) override {
        if (value.empty())
            values.erase({sect, key});
        else
            values[{sect, key}] = value;
    }
    void Save() override {}
    void SaveBackup() override {}
};

class FileHistoryTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        auto owned = std::make_unique<MemorySettings>();
        settings = owned.get();
        UserSettings = std::move(owned);
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = U(temp) + u"Tess History Test\\";
        CreateDirectoryW(W(folder), nullptr);
    }
    void TearDown() override {
        for (const std::u16string& f : created) DeleteFileW(W(f));
        RemoveDirectoryW(W(folder));
        UserSettings.reset();
        MenuTest::TearDown();
    }

    // A file that exists, in the test's folder.
    std::u16string existing(const std::u16string& name) {
        const std::u16string path = folder + name;
        EXPECT_TRUE(platform::WriteFileAtomic(path, "x"));
        created.push_back(path);
        return path;
    }

    // The history items of the form's first pop-up, newest first: (id, text).
    static std::vector<std::pair<int, std::u16string>> history(TSForm& form) {
        std::vector<std::pair<int, std::u16string>> items;
        HMENU const popup = GetSubMenu(form.GetMenu(), 0);
        for (int pos = 0; pos < GetMenuItemCount(popup); ++pos) {
            const int id = static_cast<int>(GetMenuItemID(popup, pos));
            if (id < 170 || id > 179) continue;
            wchar_t buf[300] = {};
            const int n = GetMenuStringW(popup, static_cast<UINT>(pos), buf, 300, MF_BYPOSITION);
            items.emplace_back(id, U(buf, static_cast<size_t>(n)));
        }
        return items;
    }

    MemorySettings* settings = nullptr;
    std::u16string folder;
    std::vector<std::u16string> created;
};

TEST_F(FileHistoryTest, AFileAppendedAgainInOtherCaseMovesToTheTop) {
    auto* form = makeForm<HookForm>(u"HistoryForm", u"LANGTESTGR");
    form->MenuAppendFile(u"C:\\Spiele\\Puzzle.txt");
    form->MenuAppendFile(u"C:\\Spiele\\Other.txt");
    form->MenuAppendFile(u"c:\\SPIELE\\PUZZLE.TXT");
    EXPECT_EQ(history(*form), (std::vector<std::pair<int, std::u16string>>{
                                  {170, u"&1 c:\\spiele\\PUZZLE.TXT"}, {171, u"&2 c:\\spiele\\OTHER.TXT"}}));
    EXPECT_EQ(form->GetMenuLastFileID(), 171);
    // The rest of the pop-up stays in front of the history.
    EXPECT_EQ(form->MenuItemText(201), u"&\u00D6ffnen");
}

TEST_F(FileHistoryTest, TheTenthFileDropsTheOldest) {
    auto* form = makeForm<HookForm>(u"TenForm", u"LANGTESTGR");
    for (char16_t c = u'0'; c <= u'9'; ++c) form->MenuAppendFile(u"C:\\f" + std::u16string(1, c) + u".txt");
    const auto items = history(*form);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items.front(), (std::pair<int, std::u16string>{170, u"&1 c:\\F9.TXT"}));
    EXPECT_EQ(items.back(), (std::pair<int, std::u16string>{178, u"&9 c:\\F1.TXT"}));
    EXPECT_EQ(form->GetMenuLastFileID(), 178);
}

TEST_F(FileHistoryTest, HistoryEntryIsThePathBehindTheMnemonicAlsoWithSpaces) {
    auto* form = makeForm<HookForm>(u"SpaceForm", u"LANGTESTGR");
    form->MenuAppendFile(u"C:\\Program Files\\My Game\\Save 1.txt");
    EXPECT_EQ(form->GetMenuFileHistory(170), u"c:\\program files\\my game\\SAVE 1.TXT");
    EXPECT_EQ(form->GetMenuFileHistory(201), u"&\u00D6ffnen");  // no space: the whole text
}

TEST_F(FileHistoryTest, SavedHistoryComesBackInTheSameOrder) {
    auto* first = makeForm<HookForm>(u"SaveForm", u"LANGTESTGR");
    const std::u16string a = existing(u"a.txt");
    const std::u16string b = existing(u"b.txt");
    const std::u16string c = existing(u"c.txt");
    for (const auto& f : {a, b, c}) first->MenuAppendFile(f);
    first->SaveFileHist(u"History");
    std::u16string oldest = a;
    MakeLower(oldest);
    EXPECT_EQ(settings->readString(u"History", u"F1", u""), oldest.substr(0, oldest.size() - 5) + u"A.TXT");
    EXPECT_EQ(settings->values.size(), 3u);

    auto* second = makeForm<HookForm>(u"LoadForm", u"LANGTESTGR");
    second->LoadFileHist(u"History");
    EXPECT_EQ(history(*second), history(*first));
}

TEST_F(FileHistoryTest, LoadingStopsAtTheFirstMissingKeyAndSkipsDeletedFiles) {
    auto* form = makeForm<HookForm>(u"LoadStopForm", u"LANGTESTGR");
    settings->writeString(u"H", u"F1", existing(u"one.txt"));
    settings->writeString(u"H", u"F2", folder + u"deleted.txt");
    settings->writeString(u"H", u"F3", existing(u"three.txt"));
    settings->writeString(u"H", u"F5", existing(u"five.txt"));
    form->LoadFileHist(u"H");
    const auto items = history(*form);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_NE(items[0].second.find(u"THREE.TXT"), std::u16string::npos);
    EXPECT_NE(items[1].second.find(u"ONE.TXT"), std::u16string::npos);
}

TEST_F(FileHistoryTest, OnlyTheHistoryItselfIsTakenAsHistory) {
    auto* form = makeForm<HookForm>(u"ForeignForm", u"LANGTESTGR");
    // The first pop-up ends in command 201, not in a history item: nothing is saved.
    form->SaveFileHist(u"H");
    EXPECT_TRUE(settings->values.empty());

    // An item removed from the middle of the history leaves a gap, not a blank entry.
    form->MenuAppendFile(u"C:\\x.txt");
    form->MenuAppendFile(u"C:\\y.txt");
    form->MenuAppendFile(u"C:\\z.txt");
    form->MenuDeleteItem(171);
    form->MenuAppendFile(u"C:\\w.txt");
    EXPECT_EQ(history(*form), (std::vector<std::pair<int, std::u16string>>{
                                  {170, u"&1 c:\\W.TXT"}, {171, u"&2 c:\\Z.TXT"}, {172, u"&3 c:\\X.TXT"}}));
}

TEST_F(FileHistoryTest, AFormWithoutMenuKeepsNoHistory) {
    auto* form = makeForm<HookForm>(u"NoMenuForm");
    form->MenuAppendFile(u"C:\\x.txt");
    form->SaveFileHist(u"H");
    EXPECT_EQ(form->GetMenuLastFileID(), -1);
    EXPECT_EQ(form->GetMenuFileHistory(170), u"");
    EXPECT_TRUE(settings->values.empty());
}

}  // namespace
