// Tests of the per-user settings file: values, line breaks, lists, backup, location, migration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/common_unit.h"
#include "common/exceptions.h"
#include "common/msgbox.h"
#include "common/platform.h"
#include "common/string_list.h"
#include "settings/user_settings_file.h"
#include "tests/support/file_fault.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

using namespace std::string_literals;

const std::string Bom = "\xEF\xBB\xBF";

std::string readBytes(const std::u16string& path) {
    std::string bytes;
    return platform::ReadFileBytes(path, bytes) ? bytes : "<missing>";
}

std::string utf8(const std::u16string& s) { return platform::ToUtf8(s); }

std::vector<std::u16string> items(const TStrings& list) {
    std::vector<std::u16string> v;
    for (int i = 0; i < list.Count(); ++i) v.push_back(list.Strings(i));
    return v;
}

class UserSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartCommonUnit(); }
    static void TearDownTestSuite() { EndCommonUnit(); }

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FDir = platform::ModulePath();
        FDir.resize(FDir.rfind(platform::PathSeparator()) + 1);
        FDir += u"us_" + platform::FromUtf8(info->name()) + platform::PathSeparator();
        removeTree(FDir);
        ASSERT_TRUE(platform::CreateFolders(FDir));
    }

    // Files of an earlier run go; folders may stay.
    static void removeTree(const std::u16string& dir) {
        for (const auto& e : platform::FindEntries(dir + u"*")) {
            if (e.name == u"." || e.name == u"..") continue;
            if (e.isDirectory)
                removeTree(dir + e.name + platform::PathSeparator());
            else
                platform::RemoveFile(dir + e.name);
        }
    }

    std::u16string path(std::u16string_view rel) const {
        std::u16string p = FDir;
        for (const char16_t c : rel) p += c == u'\\' ? platform::PathSeparator() : c;
        return p;
    }

    std::u16string FDir;
};

TEST_F(UserSettingsTest, FreshInstallationGivesDefaultsAndWritesUnnamedSectionFirst) {
    const auto fn = path(u"Kvor\\Zib.ini");
    {
        TUserSettingsFile s(fn);
        EXPECT_TRUE(s.readBool(u"", u"Sound", true));
        EXPECT_EQ(s.readInteger(u"Window", u"Left", 17), 17);
        EXPECT_EQ(s.readString(u"Window", u"FontName", u"Times New Roman"), u"Times New Roman");
        EXPECT_FALSE(platform::FileExists(fn)) << "reads must not write";
        s.writeInteger(u"Window", u"Left", -20);
        s.writeString(u"Window", u"FontName", u"Arial");
        s.writeBool(u"", u"Sound", false);
        s.writeInteger(u"", u"Size", 5);
    }
    // The folder was missing: the settings object made it, and freeing the object saved.
    EXPECT_EQ(readBytes(fn), Bom + "Sound=0\r\nSize=5\r\n\r\n[Window]\r\nLeft=-20\r\nFontName=Arial\r\n\r\n");
    TUserSettingsFile again(fn);
    EXPECT_FALSE(again.readBool(u"", u"Sound", true));
    EXPECT_EQ(again.readInteger(u"Window", u"Left", 0), -20);
    EXPECT_EQ(again.readString(u"window", u"fontname", u""), u"Arial");
}

TEST_F(UserSettingsTest, StringsKeepLineBreaksOnOneLineAndStopAtNul) {
    const auto fn = path(u"Zib.ini");
    const std::u16string multi = u"one\r\ntwo\rthree\nfour";
    {
        TUserSettingsFile s(fn);
        s.writeString(u"S", u"multi", multi);
        s.writeString(u"S", u"nul", u"ab\0cd"s);
        s.writeString(u"S", u"gone", u"x");
        s.writeString(u"S", u"gone", u"");
        // Only strings are encoded; typed values and lists are stored as they are.
        EXPECT_EQ(s.readString(u"S", u"multi", u""), multi);
    }
    EXPECT_EQ(readBytes(fn), Bom + "[S]\r\nmulti=one\xEF\xBF\xB1\xEF\xBF\xB2two\xEF\xBF\xB1three\xEF\xBF\xB2"
                                   "four\r\nnul=ab\r\n\r\n");
    TUserSettingsFile s(fn);
    EXPECT_EQ(s.readString(u"S", u"multi", u""), multi);
    EXPECT_EQ(s.readString(u"S", u"nul", u""), u"ab");
    EXPECT_EQ(s.readString(u"S", u"gone", u"default"), u"default");
}

// What the player stores comes back after a save and a restart, also where the text form
// needs a protected line for it.
TEST_F(UserSettingsTest, StringsComeBackAfterSaveAndReload) {
    const auto fn = path(u"Zib.ini");
    const struct {
        const char16_t* sect;
        const char16_t* key;
        const char16_t* value;
    } cases[] = {
        {u"Window", u"FontName", u"'Quoted Sans'"}, {u"", u"Title", u"''"},  {u"", u";note", u"1"},
        {u"S", u"[x]", u"'y'"},                      {u"S", u"plain", u"it's"},
    };
    {
        TUserSettingsFile s(fn);
        for (const auto& c : cases) s.writeString(c.sect, c.key, c.value);
    }
    TUserSettingsFile s(fn);
    for (const auto& c : cases) EXPECT_EQ(s.readString(c.sect, c.key, u"-"), c.value) << utf8(c.key);
}

TEST_F(UserSettingsTest, ReadStringDecodesMarksWhoeverWroteThem) {
    const auto fn = path(u"Zib.ini");
    ASSERT_TRUE(platform::WriteFileAtomic(fn, Bom + "[S]\r\nk=a\xEF\xBF\xB2\xEF\xBF\xB1z\r\n"));
    TUserSettingsFile s(fn);
    EXPECT_EQ(s.readString(u"S", u"k", u""), u"a\n\rz");
    TStringList list;
    s.readList(u"S", list);
    EXPECT_EQ(items(list), std::vector<std::u16string>{u"k=a\uFFF2\uFFF1z"});
}

TEST_F(UserSettingsTest, DoublesAreStoredAsTheirBitPattern) {
    const auto fn = path(u"Zib.ini");
    const double values[] = {1.0, -0.0, 0.1, 1e308, -4.9e-324};
    {
        TUserSettingsFile s(fn);
        for (int i = 0; i < 5; ++i) s.writeDouble(u"D", platform::FromUtf8(std::to_string(i)), values[i]);
    }
    EXPECT_NE(readBytes(fn).find("0=3FF0000000000000\r\n1=8000000000000000\r\n"), std::string::npos);
    TUserSettingsFile s(fn);
    for (int i = 0; i < 5; ++i) {
        const double d = s.readDouble(u"D", platform::FromUtf8(std::to_string(i)), 42.0);
        EXPECT_EQ(std::memcmp(&d, &values[i], sizeof d), 0) << i;
    }
    EXPECT_EQ(s.readDouble(u"D", u"missing", 2.5), 2.5);
}

TEST_F(UserSettingsTest, ListsAreStoredUnparsedAndParsedOnTheNextLoad) {
    const auto fn = path(u"Zib.ini");
    TStringList in;
    for (const char16_t* t : {u"a=1", u"", u"b=", u"; note", u"[x]", u"y=2"}) in.Add(t);
    {
        TUserSettingsFile s(fn);
        s.writeList(u"L", in);
        TStringList out;
        s.readList(u"L", out);
        EXPECT_EQ(items(out), items(in));
    }
    // After the reload "[x]" opens a section of its own; empty items and "b=" are gone.
    TUserSettingsFile s(fn);
    TStringList out;
    s.readList(u"L", out);
    EXPECT_EQ(items(out), (std::vector<std::u16string>{u"a=1", u"; note"}));
    s.readList(u"x", out);
    EXPECT_EQ(items(out), std::vector<std::u16string>{u"y=2"});
    s.readList(u"missing", out);
    EXPECT_TRUE(out.IsEmpty());
}

TEST_F(UserSettingsTest, ClearSectionAndDeletingEverythingRemovesTheFile) {
    const auto fn = path(u"Zib.ini");
    {
        TUserSettingsFile s(fn);
        s.writeInteger(u"A", u"x", 1);
        s.writeInteger(u"B", u"y", 2);
        s.Save();
        ASSERT_TRUE(platform::FileExists(fn));
        s.ClearSection(u"A");
        s.Save();
        EXPECT_EQ(readBytes(fn), Bom + "[B]\r\ny=2\r\n\r\n");
        s.writeString(u"B", u"y", u"");
        s.Save();
    }
    EXPECT_FALSE(platform::FileExists(fn));
}

TEST_F(UserSettingsTest, BackupGoesBesideTheFileAndKeepsChangesPending) {
    const auto fn = path(u"Zib.ini");
    {
        TUserSettingsFile s(fn);
        s.writeInteger(u"", u"Size", 6);
        s.SaveBackup();
        EXPECT_EQ(readBytes(path(u"Zib_bkup.ini")), Bom + "Size=6\r\n\r\n");
        EXPECT_FALSE(platform::FileExists(fn));
    }
    // The change made before the backup still reached the settings file.
    EXPECT_EQ(readBytes(fn), Bom + "Size=6\r\n\r\n");
}

// A backup that cannot be written changes nothing: a saved document stays saved, pending
// changes stay pending.
TEST_F(UserSettingsTest, AFailedBackupKeepsTheStateOfTheChanges) {
    const auto fn = path(u"Zib.ini");
    TUserSettingsFile s(fn);
    s.writeInteger(u"", u"Size", 6);
    s.Save();
    ASSERT_TRUE(platform::CreateFolders(path(u"Zib_bkup.ini")));  // a folder where the backup goes
    s.SaveBackup();
    EXPECT_FALSE(s.Ini().Modified());
    s.writeInteger(u"", u"Size", 5);
    s.SaveBackup();
    EXPECT_TRUE(s.Ini().Modified());
    s.Save();
    EXPECT_EQ(readBytes(fn), Bom + "Size=5\r\n\r\n");
}

// A settings file that is there but cannot be reached at start (a roaming profile on a server
// that does not answer) is neither taken over from the local tree nor written over: the game
// plays with its defaults, and the file keeps what the player set.
TEST_F(UserSettingsTest, AnUnreachableFileIsLeftAloneForTheWholeRun) {
    const auto fn = path(u"AppData\\Roaming\\Kvor\\Zib.ini");
    ASSERT_TRUE(platform::CreateFolders(path(u"AppData\\Local\\Kvor")));
    ASSERT_TRUE(platform::CreateFolders(path(u"AppData\\Roaming\\Kvor")));
    ASSERT_TRUE(platform::WriteFileAtomic(path(u"AppData\\Local\\Kvor\\Zib.ini"), Bom + "Size=7\r\n"));
    const std::string bytes = Bom + "Size=5\r\n\r\n[Window]\r\nLeft=40\r\n\r\n";
    ASSERT_TRUE(platform::WriteFileAtomic(fn, bytes));
    {
        testsupport::FileFaultScope fault(fn, testsupport::NetworkGoneError);
        std::unique_ptr<TUserSettingsFile> s;
        EXPECT_NO_THROW(s = OpenUserSettingsFile(fn));
        ASSERT_TRUE(s);
        EXPECT_EQ(s->readInteger(u"", u"Size", 4), 4);
        EXPECT_EQ(s->readInteger(u"Window", u"Left", 0), 0);
        s->writeInteger(u"", u"Size", 6);
        s->writeInteger(u"Window", u"Left", 10);
        s->Save();
        fault.End();  // reachable again before the end of the run
    }
    EXPECT_EQ(readBytes(fn), bytes);
}

TEST(UserSettingsNames, BackupFileName) {
    const char16_t sep = platform::PathSeparator();
    const std::u16string dir = std::u16string(u"a.b") + sep;
    const struct {
        std::u16string in, out;
    } cases[] = {
        {u"Zib.ini", u"Zib_bkup.ini"},
        {dir + u"Zib.ini", dir + u"Zib_bkup.ini"},
        {dir + u"Zib", dir + u"Zib_bkup.ini"},
        {u"x.tar.gz", u"x.tar_bkup.ini"},
        {u"", u"_bkup.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(BackupFileName(c.in), c.out) << utf8(c.in);
}

TEST_F(UserSettingsTest, UndecodableFileFailsWithTheMessageNamingFileAndLine) {
    const auto fn = path(u"Zib.ini");
    const std::string bytes = Bom + "a=1\r\nb=\xE4\r\nc=3\r\n";
    ASSERT_TRUE(platform::WriteFileAtomic(fn, bytes));
    try {
        TUserSettingsFile s(fn);
        FAIL() << "the plain message box turns the report into an error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message().rfind(u"Die Datei \r" + fn + u"\r enthält in Zeile 2 ein nicht interpretierbares Zeichen.", 0), 0u)
            << e.what();
    }
    EXPECT_EQ(readBytes(fn), bytes) << "the file must stay untouched";
}

#ifndef _WIN32
class UserSettingsLocation : public UserSettingsTest {
protected:
    void SetUp() override {
        UserSettingsTest::SetUp();
        for (const char* v : {"XDG_DATA_HOME", "HOME"}) {
            const char* old = std::getenv(v);
            FSaved.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : FSaved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

TEST_F(UserSettingsLocation, FollowsTheXdgDataHome) {
    const std::string dir = utf8(FDir);
    ::setenv("XDG_DATA_HOME", (dir + "data/").c_str(), 1);
    EXPECT_EQ(utf8(OpenUserSettings(u"Kvor\\Zib")->FileName()), dir + "data/Kvor/Zib.ini");
    ::setenv("XDG_DATA_HOME", "relative", 1);
    ::setenv("HOME", (dir + "home").c_str(), 1);
    EXPECT_EQ(utf8(AppDataPath(u"Kvor\\Zib")), dir + "home/.local/share/Kvor/Zib");
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    try {
        AppDataPath(u"Kvor\\Zib");
        FAIL() << "no folder, no path";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"can't obtain AppDataFolder");
    }
}
#else
TEST_F(UserSettingsTest, LivesInTheRoamingApplicationDataFolder) {
    const std::u16string p = AppDataPath(u"Kvor\\Zib");
    EXPECT_NE(p.find(u"\\AppData\\Roaming\\Kvor\\Zib"), std::u16string::npos) << utf8(p);
    EXPECT_EQ(p.size() - p.find(u"\\AppData\\Roaming\\"), std::u16string(u"\\AppData\\Roaming\\Kvor\\Zib").size());
}

TEST_F(UserSettingsTest, OlderLocalFileIsTakenOverOnce) {
    const auto roaming = path(u"AppData\\Roaming\\Kvor\\Zib.ini");
    const auto local = path(u"AppData\\Local\\Kvor\\Zib.ini");
    ASSERT_TRUE(platform::CreateFolders(path(u"AppData\\Local\\Kvor")));
    ASSERT_TRUE(platform::WriteFileAtomic(local, Bom + "Size=7\r\n\r\n"));
    {
        auto s = OpenUserSettingsFile(roaming);
        EXPECT_EQ(s->readInteger(u"", u"Size", 4), 7);
        s->writeInteger(u"", u"Size", 3);
    }
    EXPECT_EQ(readBytes(local), Bom + "Size=7\r\n\r\n") << "the local file stays as it was";
    // With a roaming file present the local one is not consulted again.
    EXPECT_EQ(OpenUserSettingsFile(roaming)->readInteger(u"", u"Size", 4), 3);
}

TEST_F(UserSettingsTest, MigrationNeedsTheExactRoamingFolderName) {
    ASSERT_TRUE(platform::CreateFolders(path(u"appdata\\local\\Kvor")));
    ASSERT_TRUE(platform::WriteFileAtomic(path(u"appdata\\local\\Kvor\\Zib.ini"), Bom + "Size=7\r\n"));
    const auto other = path(u"appdata\\roaming\\Kvor\\Zib.ini");
    MigrateFromLocal(other);
    EXPECT_FALSE(platform::FileExists(other));
    // No local file: nothing to copy, nothing made.
    const auto lone = path(u"x\\AppData\\Roaming\\Kvor\\Zib.ini");
    MigrateFromLocal(lone);
    EXPECT_FALSE(platform::FileExists(lone));
}

TEST_F(UserSettingsTest, FailedMigrationCopyIsAnError) {
    // The roaming folder cannot be made where a file of its name is in the way.
    ASSERT_TRUE(platform::CreateFolders(path(u"AppData\\Local\\Kvor")));
    ASSERT_TRUE(platform::WriteFileAtomic(path(u"AppData\\Local\\Kvor\\Zib.ini"), Bom + "Size=7\r\n"));
    ASSERT_TRUE(platform::CreateFolders(path(u"AppData\\Roaming")));
    ASSERT_TRUE(platform::WriteFileAtomic(path(u"AppData\\Roaming\\Kvor"), "in the way"));
    EXPECT_THROW(MigrateFromLocal(path(u"AppData\\Roaming\\Kvor\\Zib.ini")), EOSError);
}
#endif

}  // namespace
