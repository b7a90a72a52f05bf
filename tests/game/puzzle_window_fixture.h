// The puzzle window tests' fixture: the units the window needs, settings in memory, captured sounds and boxes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/common_unit.h"
#include "common/drawing.h"
#include "common/message_box.h"
#include "common/platform.h"
#include "common/program_path.h"
#include "common/resource_modules.h"
#include "common/wtext.h"
#include "game/board.h"
#include "game/puzzle_form.h"
#include "game/tile_paint.h"
#include "resources/resource_ids.h"
#include "settings/user_settings.h"
#include "smallib/about_box.h"
#include "smallib/application.h"
#include "smallib/dialogs.h"
#include "smallib/gdi_handles.h"
#include "smallib/window_proc.h"
#include "tests/support/win_test_support.h"

#include "common/string_list.h"

namespace puzzletest {

using wintest::DialogAnswer;
using wintest::KeysDown;
using wintest::pumpMessagesDroppingQuit;

inline std::string utf8(const std::u16string& s) { return platform::ToUtf8(s); }

// --- Helpers -------------------------------------------------------------------------------

// Settings in memory: what the window reads and what it writes, as text.
class MemorySettings : public TUserSettings {
public:
    using Key = std::pair<std::u16string, std::u16string>;
    std::map<Key, std::u16string> values;
    std::vector<Key> writes;  // in order
    int saves = 0;

    void ClearSection(const std::u16string& s) override {
        std::erase_if(values, [&](const auto& entry) { return entry.first.first == s; });
        writes.push_back({s, u"<cleared>"});
    }
    bool readBool(const std::u16string& s, const std::u16string& k, bool def) override {
        const auto v = find(s, k);
        return v ? *v != u"0" : def;
    }
    double readDouble(const std::u16string&, const std::u16string&, double def) override { return def; }
    std::int32_t readInteger(const std::u16string& s, const std::u16string& k, std::int32_t def) override {
        const auto v = find(s, k);
        return v ? static_cast<std::int32_t>(std::stoll(utf8(*v))) : def;
    }
    // The section's keys in key order, not in the order written; that is all the game needs.
    void readList(const std::u16string& s, TStrings& list) override {
        list.Clear();
        for (const auto& [key, value] : values)
            if (key.first == s) list.Add(key.second + u"=" + value);
    }
    std::u16string readString(const std::u16string& s, const std::u16string& k, const std::u16string& def) override {
        const auto v = find(s, k);
        return v ? *v : def;
    }
    void writeBool(const std::u16string& s, const std::u16string& k, bool v) override { store(s, k, v ? u"1" : u"0"); }
    void writeDouble(const std::u16string&, const std::u16string&, double) override {}
    void writeInteger(const std::u16string& s, const std::u16string& k, std::int32_t v) override {
        const std::string digits = std::to_string(v);
        store(s, k, std::u16string(digits.begin(), digits.end()));
    }
    void writeList(const std::u16string&, const TStrings&) override {}
    void writeString(const std::u16string& s, const std::u16string& k, const std::u16string& v) override { store(s, k, v); }
    void Save() override { ++saves; }
    void SaveBackup() override {}

private:
    std::optional<std::u16string> find(const std::u16string& s, const std::u16string& k) const {
        const auto it = values.find({s, k});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void store(const std::u16string& s, const std::u16string& k, std::u16string v) {
        values[{s, k}] = std::move(v);
        writes.push_back({s, k});
    }
};

// A message box's text up to its first line break.
inline std::u16string firstLine(const std::u16string& text) { return text.substr(0, text.find(u'\n')); }

inline bool menuChecked(UINT id) {
    return (GetMenuState(GetMenu(PuzzleForm->Handle()), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

inline RECT clientRect() {
    RECT r{};
    GetClientRect(PuzzleForm->Handle(), &r);
    return r;
}

// --- The fixture ---------------------------------------------------------------------------

// The units the window needs, an application object, settings in memory and the puzzle window.
class PuzzleWindow : public ::testing::Test {
protected:
    void SetUp() override {
        StartCommonUnit();
        StartResourceModulesUnit();
        StartFramework();
        app = std::make_unique<TSApplication>(u"S-ZibTest_", u"MAINICON", u"");
        auto memory = std::make_unique<MemorySettings>();
        settings = memory.get();
        UserSettings = std::move(memory);
        BoardSize = 4;
        MergeCount = 100;
        LabelLanguage = 0;
        PuzzleSoundListener = [this](const std::u16string& name) { sounds.push_back(name); };
        previousBox = setModalBoxFunction([this](HWND, const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(U(text));
            return IDOK;
        });
    }

    void TearDown() override {
        app.reset();
        pumpMessagesDroppingQuit();
        while (HasPendingException()) ADD_FAILURE() << "a handler raised an exception";
        while (HasPendingException()) TakePendingException();
        EndFramework();
        EndResourceModulesUnit();
        EndCommonUnit();
        setModalBoxFunction(std::move(previousBox));
        PuzzleSoundListener = nullptr;
        PuzzleClock = nullptr;
        UserSettings.reset();
    }

    // The window as the program creates it, with the stored values given; sound off unless
    // stored otherwise, so that the run stays quiet. Only a shown window paints, but under Wine
    // without a window manager destroying a shown window takes two seconds, so only the tests
    // of painting show it.
    void create(std::initializer_list<std::pair<MemorySettings::Key, std::u16string>> stored = {},
                bool shown = false) {
        settings->values[{u"", u"Sound"}] = u"0";
        for (const auto& [key, value] : stored) settings->values[key] = value;
        ASSERT_NE(CreatePuzzleForm(), nullptr);
        if (shown) ShowWindow(PuzzleForm->Handle(), SW_SHOWNORMAL);
        settle();
        settings->writes.clear();
        sounds.clear();
    }

    // Lets the paint and size cycles run out.
    void settle() {
        for (int i = 0; i < 20; ++i) {
            UpdateWindow(PuzzleForm->Handle());
            pumpMessagesDroppingQuit();
        }
    }

    // A game that begins with the board in solved order and the empty cell moved by the
    // given moves, and no moves counted.
    void arrange(std::int32_t n, std::initializer_list<TZugArt> moves = {}) {
        BoardSize = n;
        PuzzleForm->Redraw();
        InitBoard();
        for (const TZugArt z : moves) ASSERT_TRUE(MakeZug(z));
        MoveCount = 0;
        BoardHooks.gameStarted();
        sounds.clear();
    }

    void click(std::int32_t column, std::int32_t row) {
        const RECT r = CellRect(column, row);
        SendMessageW(PuzzleForm->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    void key(WPARAM vKey, UINT msg = WM_KEYDOWN) { SendMessageW(PuzzleForm->Handle(), msg, vKey, 0); }
    LRESULT command(WORD id) { return SendMessageW(PuzzleForm->Handle(), WM_COMMAND, id, 0); }

    std::u16string stored(const std::u16string& sect, const std::u16string& k) const {
        const auto it = settings->values.find({sect, k});
        return it == settings->values.end() ? u"<none>" : it->second;
    }

    std::unique_ptr<TSApplication> app;
    MemorySettings* settings = nullptr;
    std::vector<std::u16string> sounds;
    std::vector<std::u16string> boxes;
    ModalBoxFunction previousBox;
};

}  // namespace puzzletest
