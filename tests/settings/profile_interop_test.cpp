// A settings file written by the library reads back the same through GetPrivateProfileStringW.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/common_unit.h"
#include "common/platform.h"
#include "common/wtext.h"
#include "settings/user_settings_file.h"

namespace {

std::u16string profileString(const std::u16string& fn, const std::u16string& sect, const std::u16string& key) {
    wchar_t buf[512];
    // A sentinel default tells a missing key from an empty value.
    const DWORD n = GetPrivateProfileStringW(W(sect), W(key), L"<missing>", buf, 512, W(fn));
    return U(buf, n);
}

TEST(ProfileInterop, PlainKeysReadBackThroughTheSystem) {
    StartCommonUnit();
    std::u16string fn = platform::ModulePath();
    fn.resize(fn.rfind(u'\\') + 1);
    fn += u"interop\\Zib.ini";
    platform::RemoveFile(fn);
    const struct {
        std::u16string sect, key, value;
    } rows[] = {
        {u"Window", u"Left", u"-20"},
        {u"Window", u"FontName", u"Times New Roman"},
        {u"Window", u"FontStyle", u"1"},
        {u"Größe", u"Wort", u"Ärger über Straße"},
        {u"Größe", u"слово", u"Пятнашки"},
        {u"Größe", u"Mixed Case Key", u"a=b;c [d]"},
        {u"Last", u"Zahl", u"3FF0000000000000"},
    };
    {
        TUserSettingsFile s(fn);
        // The game keeps its general options before the first header, where the system's
        // reader does not look; they must not disturb the sections after them.
        s.writeBool(u"", u"Sound", false);
        s.writeInteger(u"", u"Size", 4);
        for (const auto& r : rows) s.writeString(r.sect, r.key, r.value);
        s.Save();
    }
    for (const auto& r : rows) {
        SCOPED_TRACE(platform::ToUtf8(r.sect + u"/" + r.key));
        EXPECT_EQ(profileString(fn, r.sect, r.key), r.value);
    }
    // Section and key names match without regard to case on both sides.
    EXPECT_EQ(profileString(fn, u"WINDOW", u"fontname"), u"Times New Roman");
    EXPECT_EQ(profileString(fn, u"Window", u"Missing"), u"<missing>");
    EndCommonUnit();
}

}  // namespace
