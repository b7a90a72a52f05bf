// Tests of the start-up facts: folders under Wine, the folder rules with given answers, the
// version classification and the pen and touch flags.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/common_unit.h"
#include "common/exceptions.h"
#include "common/msgbox.h"
#include "common/program_path.h"
#include "common/registry.h"
#include "common/system_info.h"
#include "common/text_helpers.h"
#include "common/wtext.h"

namespace {

std::string utf8(const std::u16string& s) {
    std::string r;
    for (const char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
}

std::u16string upper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

// --- The real start-up under Wine -----------------------------------------------------------

TEST(SystemInfoUnit, StartRecordsSensibleValuesAndEndClearsThem) {
    StartCommonUnit();
    StartRegistryUnit();
    ASSERT_NO_THROW(StartSystemInfoUnit());

    EXPECT_NE(WinVersion(), 0u);
    EXPECT_EQ(WinVersion(), GetVersion());
    const std::u16string programFile = ProgramPath.substr(ProgramPath.find_last_of(u'\\') + 1);
    EXPECT_EQ(RegistryBase(), u"Kvor\\" + programFile + u"\\");

    wchar_t buf[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryW(buf, MAX_PATH + 1), 0u);
    std::u16string windows = U(buf);
    AddBackslash(windows);
    EXPECT_EQ(WindowsDir(), windows);
    EXPECT_EQ(upper(WindowsDir()), u"C:\\WINDOWS\\");
    EXPECT_EQ(upper(SystemDir()).rfind(upper(WindowsDir()), 0), 0u) << utf8(SystemDir());
    EXPECT_EQ(LastChar(SystemDir()), u'\\');

    // Every folder is a real, existing folder with its trailing backslash; none is a fallback.
    const struct {
        const char* name;
        const std::u16string& dir;
        int csidl;
    } folders[] = {
        {"PersonalDir", PersonalDir(), CSIDL_PERSONAL},
        {"CommonDataDir", CommonDataDir(), CSIDL_COMMON_APPDATA},
        {"CommonDocsDir", CommonDocsDir(), CSIDL_COMMON_DOCUMENTS},
    };
    for (const auto& f : folders) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(LastChar(f.dir), u'\\') << utf8(f.dir);
        EXPECT_TRUE(FolderExists(f.dir)) << utf8(f.dir);
        wchar_t shell[MAX_PATH + 1] = {};
        ASSERT_EQ(SHGetFolderPathW(nullptr, f.csidl, nullptr, SHGFP_TYPE_CURRENT, shell), S_OK);
        std::u16string expected = U(shell);
        AddBackslash(expected);
        EXPECT_EQ(f.dir, expected);
    }
    ASSERT_FALSE(TempDir().empty());
    EXPECT_EQ(LastChar(TempDir()), u'\\');
    EXPECT_TRUE(IsFolderWritable(TempDir())) << utf8(TempDir());

    // Wine presents itself as Windows 7 or later, and a 64-bit program runs on 64-bit Windows.
    const std::set<int> modern64 = {17, 19, 21, 23};
    EXPECT_EQ(modern64.count(WindowsKind()), 1u) << int(WindowsKind());
    EXPECT_EQ(GetWindowsKind(), WindowsKind());
    EXPECT_FALSE(IsWow64());
    EXPECT_EQ(IsTabletPC(), GetSystemMetrics(SM_TABLETPC) != 0);
    if (!IsTabletPC()) {
        EXPECT_EQ(TabletCaps(), 0);
    }

    EndSystemInfoUnit();
    EndRegistryUnit();
    EndCommonUnit();
    EXPECT_EQ(WinVersion(), 0u);
    for (const std::u16string* s : {&WindowsDir(), &SystemDir(), &PersonalDir(), &CommonDataDir(), &CommonDocsDir(),
                                    &TempDir(), &ServicePackText()})
        EXPECT_EQ(*s, u"");
    EXPECT_EQ(WindowsKind(), 0);
    EXPECT_EQ(TabletCaps(), 0);
}

// --- The Windows folder ---------------------------------------------------------------------

// A message box that records what it is told instead of raising.
class RecordingMsgBox : public TMsgBox {
public:
    int Info(const std::u16string& msg) override {
        told.push_back(msg);
        return 1;
    }
    std::vector<std::u16string> told;
};

TEST(WindowsFolder, ReportedFolderIsCheckedAndEndsWithBackslash) {
    struct Row {
        const char16_t* reported;
        bool valid;
        const char16_t* dir;
    } const rows[] = {
        {u"C:\\WINDOWS", true, u"C:\\WINDOWS\\"},
        {u"C:\\WINDOWS\\", true, u"C:\\WINDOWS\\"},
        {u"D:\\W", true, u"D:\\W\\"},
        {u"C:\\", false, u"C:"},
        {u"C:", false, u"C:"},
        {u"\\\\server\\windows", false, u"\\\\server\\windows"},
        {u"WINDOWS\\", false, u"WINDOWS"},
    };
    MsgBox = std::make_unique<RecordingMsgBox>();
    auto& box = static_cast<RecordingMsgBox&>(*MsgBox);
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.reported));
        box.told.clear();
        EXPECT_EQ(InitWindowsDir(row.reported), row.valid);
        EXPECT_EQ(WindowsDir(), row.dir);
        if (row.valid) {
            EXPECT_TRUE(box.told.empty());
        } else {
            ASSERT_EQ(box.told.size(), 1u);
            EXPECT_EQ(box.told[0], u"Windows-Pfad fehlerhaft oder unvollständig");
        }
    }
    MsgBox.reset();
    EndSystemInfoUnit();
}

TEST(WindowsFolder, MalformedFolderRaisesWithThePlainMessageBox) {
    StartCommonUnit();
    try {
        InitWindowsDir(u"X");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Windows-Pfad fehlerhaft oder unvollständig\rMsgBox nicht zugewiesen");
    }
    EndCommonUnit();
    EndSystemInfoUnit();
}

// --- The folder rules with given answers --------------------------------------------------

class FakeFolders : public FolderSource {
public:
    std::u16string windows = u"C:\\WINDOWS\\";
    std::map<int, std::u16string> shell;
    std::u16string temp;
    std::map<std::u16string, std::u16string> user;  // "key|name" -> value
    std::set<std::u16string> existing;
    std::set<std::u16string> unwritable;
    bool creationFails = false;
    mutable std::vector<std::u16string> created;
    mutable std::vector<std::u16string> probed;

    std::u16string windowsDir() const override { return windows; }
    bool shellFolder(int csidl, std::u16string& path) const override {
        const auto it = shell.find(csidl);
        if (it == shell.end()) return false;
        path = it->second;
        return true;
    }
    std::u16string tempPath() const override { return temp; }
    std::u16string userValue(std::u16string_view key, std::u16string_view name) const override {
        const auto it = user.find(std::u16string(key) + u"|" + std::u16string(name));
        return it == user.end() ? std::u16string() : it->second;
    }
    bool folderExists(std::u16string_view path) const override {
        std::u16string p(path);
        if (LastChar(p) == u'\\') DeleteLastChar(p);
        return existing.count(p) != 0;
    }
    bool forceDirectories(std::u16string_view path) const override {
        created.emplace_back(path);
        return !creationFails;
    }
    bool isFolderWritable(std::u16string_view path) const override {
        probed.emplace_back(path);
        return unwritable.count(std::u16string(path)) == 0;
    }
};

TEST(FolderRules, PersonalDir) {
    FakeFolders src;
    std::u16string s = u"sentinel";
    src.shell[CSIDL_PERSONAL] = u"C:\\Users\\ann\\Documents";
    GetPersonalDir(s, src);
    EXPECT_EQ(s, u"C:\\Users\\ann\\Documents\\");
    EXPECT_TRUE(src.created.empty());

    src.shell.clear();
    src.windows = u"D:\\WINNT\\";
    GetPersonalDir(s, src);
    EXPECT_EQ(s, u"D:\\MyFiles\\");
    EXPECT_EQ(src.created, std::vector<std::u16string>{u"D:\\MyFiles"});

    // Without a Windows folder there is no drive to take; C: stands in.
    src.windows.clear();
    GetPersonalDir(s, src);
    EXPECT_EQ(s, u"C:\\MyFiles\\");
}

TEST(FolderRules, CommonDataDir) {
    struct Row {
        const char* name;
        bool appDataKnown;
        bool appDataExists;
        bool docsKnown;
        bool kvorCmnExists;
        const char16_t* expected;
        bool createsFallback;
    } const rows[] = {
        {"app data folder", true, true, true, true, u"C:\\ProgramData\\", false},
        {"KvorCmn below common documents", true, false, true, true, u"C:\\Users\\Public\\Documents\\KvorCmn\\", false},
        {"KvorCmn is never created", true, false, true, false, u"C:\\CommonFiles\\", true},
        {"no app data answer", false, false, true, true, u"C:\\Users\\Public\\Documents\\KvorCmn\\", false},
        {"no answer at all", false, false, false, false, u"C:\\CommonFiles\\", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeFolders src;
        if (row.appDataKnown) src.shell[CSIDL_COMMON_APPDATA] = u"C:\\ProgramData";
        if (row.appDataExists) src.existing.insert(u"C:\\ProgramData");
        if (row.docsKnown) src.shell[CSIDL_COMMON_DOCUMENTS] = u"C:\\Users\\Public\\Documents";
        src.existing.insert(u"C:\\Users\\Public\\Documents");
        if (row.kvorCmnExists) src.existing.insert(u"C:\\Users\\Public\\Documents\\KvorCmn");
        // A folder "KvorCmn" where the program runs must not be taken for the common one.
        src.existing.insert(u"KvorCmn");
        std::u16string s = u"sentinel";
        GetCommonDataDir(s, src);
        EXPECT_EQ(s, row.expected);
        EXPECT_EQ(src.created, row.createsFallback ? std::vector<std::u16string>{u"C:\\CommonFiles"}
                                                   : std::vector<std::u16string>{});
    }
}

TEST(FolderRules, CommonDocsDir) {
    FakeFolders src;
    src.shell[CSIDL_COMMON_DOCUMENTS] = u"C:\\Users\\Public\\Documents";
    src.existing.insert(u"C:\\Users\\Public\\Documents");
    std::u16string s;
    GetCommonDocsDir(s, src);
    EXPECT_EQ(s, u"C:\\Users\\Public\\Documents\\");
    EXPECT_TRUE(src.created.empty());

    src.existing.clear();
    GetCommonDocsDir(s, src);
    EXPECT_EQ(s, u"C:\\CommonDocuments\\");
    EXPECT_EQ(src.created, std::vector<std::u16string>{u"C:\\CommonDocuments"});
}

TEST(FolderRules, TempDir) {
    const std::u16string tmpKey = u"Environment|TMP";
    const std::u16string personalKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders|Personal";
    struct Row {
        const char* name;
        std::u16string temp;
        std::u16string tmp;
        std::u16string personal;
        bool writable;
        std::u16string expected;
        bool tested;  // the folder was created and probed
    } const rows[] = {
        {"user folder taken as it is", u"C:\\Users\\ann\\AppData\\Local\\Temp\\", u"", u"", true,
         u"C:\\Users\\ann\\AppData\\Local\\Temp\\", false},
        {"system folder without backslash", u"D:\\Temp", u"", u"", true, u"D:\\Temp\\", false},
        {"profile from documents", u"C:\\WINDOWS\\TEMP\\", u"%USERPROFILE%\\AppData\\Local\\Temp",
         u"C:\\Users\\ann\\Documents", true, u"C:\\Users\\ann\\AppData\\Local\\Temp\\", true},
        {"documents with backslash", u"c:\\windows\\temp\\", u"%userprofile%\\Temp", u"C:\\Users\\ann\\Documents\\",
         true, u"C:\\Users\\ann\\Temp\\", true},
        {"profile in the middle", u"C:\\Windows\\Temp\\", u"E:%UserProfile%\\T", u"C:\\Users\\ann\\Documents", true,
         u"E:C:\\Users\\ann\\T\\", true},
        {"documents at a drive", u"C:\\WINDOWS\\TEMP\\", u"%USERPROFILE%\\Temp", u"D:", true, u"D:\\Temp\\", true},
        {"documents at a drive root", u"C:\\WINDOWS\\TEMP\\", u"%USERPROFILE%\\Temp", u"D:\\", true, u"D:\\Temp\\",
         true},
        {"TMP without profile: no test", u"C:\\WINDOWS\\TEMP\\", u"D:\\Tmp", u"C:\\Users\\ann\\Documents", false,
         u"D:\\Tmp\\", false},
        {"no TMP", u"C:\\WINDOWS\\TEMP\\", u"", u"C:\\Users\\ann\\Documents", true, u"", false},
        {"not writable", u"C:\\WINDOWS\\TEMP\\", u"%USERPROFILE%\\Temp", u"C:\\Users\\ann\\Documents", false, u"",
         true},
        {"no documents folder", u"C:\\WINDOWS\\TEMP\\", u"%USERPROFILE%\\Temp", u"", true, u"", false},
        {"no system answer", u"", u"", u"", true, u"", false},
        {"254 characters", u"D:\\" + std::u16string(251, u't'), u"", u"", true, u"D:\\" + std::u16string(251, u't') + u"\\",
         false},
        {"255 characters", u"D:\\" + std::u16string(252, u't'), u"", u"", true, u"", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeFolders src;
        src.temp = row.temp;
        if (!row.tmp.empty()) src.user[tmpKey] = row.tmp;
        if (!row.personal.empty()) src.user[personalKey] = row.personal;
        std::u16string built = row.expected;
        if (LastChar(built) == u'\\') DeleteLastChar(built);
        if (!row.writable) {
            src.unwritable.insert(built);
            // The folder that would have been built when it is not writable.
            src.unwritable.insert(u"C:\\Users\\ann\\Temp");
        }
        std::u16string s = u"sentinel";
        GetTempDir(s, src);
        EXPECT_EQ(s, row.expected) << utf8(s);
        EXPECT_EQ(!src.created.empty(), row.tested);
        EXPECT_EQ(!src.probed.empty(), row.tested);
    }
}

TEST(FolderRules, TempDirIsEmptyWhenTheUserFolderCannotBeCreated) {
    FakeFolders src;
    src.temp = u"C:\\WINDOWS\\TEMP\\";
    src.user[u"Environment|TMP"] = u"%USERPROFILE%\\Temp";
    src.user[u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders|Personal"] = u"C:\\Users\\ann\\Documents";
    src.creationFails = true;
    std::u16string s;
    GetTempDir(s, src);
    EXPECT_EQ(s, u"");
    EXPECT_EQ(src.created, std::vector<std::u16string>{u"C:\\Users\\ann\\Temp"});
}

// --- Version classification ------------------------------------------------------------------

TEST(WindowsVersion, Classification) {
    struct Row {
        const char* name;
        WindowsFacts facts;
        std::uint8_t code32;
        std::uint8_t code64;
    };
    const auto nt = [](DWORD major, DWORD minor, const char16_t* product, const char16_t* display = u"",
                       const char16_t* build = u"") {
        WindowsFacts f;
        f.versionKnown = true;
        f.platform = VER_PLATFORM_WIN32_NT;
        f.major = major;
        f.minor = minor;
        f.keyOpened = true;
        f.productName = product;
        f.displayVersion = display;
        f.currentBuild = build;
        return f;
    };
    const auto win9x = [](DWORD minor, const char16_t* product) {
        WindowsFacts f;
        f.versionKnown = true;
        f.platform = VER_PLATFORM_WIN32_WINDOWS;
        f.major = 4;
        f.minor = minor;
        f.keyOpened = true;
        f.productName = product;
        return f;
    };
    WindowsFacts noKey = nt(10, 0, u"");
    noKey.keyOpened = false;
    WindowsFacts otherPlatform = nt(10, 0, u"Windows 10 Pro");
    otherPlatform.platform = 3;
    const Row rows[] = {
        {"version unknown", WindowsFacts{}, 1, 1},
        {"Windows 95", win9x(0, u"Windows 95"), 3, 3},
        {"Windows 98", win9x(10, u"Microsoft Windows 98"), 4, 4},
        {"Windows ME", win9x(90, u"Microsoft Windows ME"), 6, 6},
        {"other platform", otherPlatform, 1, 1},
        {"NT without key", noKey, 7, 7},
        {"Windows 2000", nt(5, 0, u"Microsoft Windows 2000"), 8, 8},
        {"Windows XP", nt(5, 1, u"Microsoft Windows XP"), 9, 14},
        {"Server 2003", nt(5, 2, u"Microsoft Windows Server 2003"), 10, 10},
        {"Vista", nt(6, 0, u"Windows Vista (TM) Home Premium"), 11, 15},
        {"Server 2008", nt(6, 0, u"Windows Server (R) 2008 Standard"), 12, 16},
        {"Windows 7", nt(6, 1, u"Windows 7 Professional"), 13, 17},
        {"Server 2012", nt(6, 2, u"Windows Server 2012 Standard"), 13, 17},
        {"Windows 8.1", nt(6, 3, u"Windows 8.1 Pro"), 18, 19},
        {"Windows 10", nt(10, 0, u"Windows 10 Pro", u"22H2", u"19045"), 20, 21},
        {"Windows 11 named 10", nt(10, 0, u"Windows 10 Pro", u"23H2", u"22631"), 22, 23},
        {"build exactly 22000", nt(10, 0, u"Windows 10 Home", u"", u"22000"), 22, 23},
        {"no build", nt(10, 0, u"Windows 10 Home", u"", u""), 20, 21},
        {"Windows 11 by name, lower case", nt(10, 0, u"windows 11 home", u"", u"22631"), 22, 23},
        {"server 21H1", nt(10, 0, u"Windows Server Datacenter", u"21H1", u"20348"), 20, 21},
        {"server 21H2", nt(10, 0, u"Windows Server 2022 Datacenter", u"21H2", u"20348"), 22, 23},
        {"NT 4", nt(4, 0, u"Windows NT"), 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WindowsFacts f = row.facts;
        f.windows64 = false;
        EXPECT_EQ(ClassifyWindows(f), row.code32);
        f.windows64 = true;
        EXPECT_EQ(ClassifyWindows(f), row.code64);
    }
}

// --- Pen and touch ------------------------------------------------------------------------

TEST(PenAndTouch, CapabilityFlags) {
    struct Row {
        bool tablet;
        bool windows7;
        int digitizer;
        std::uint8_t caps;
    } const rows[] = {
        {false, true, 0xFF, 0x00},
        {true, false, 0xFF, 0x41},
        {true, true, 0x00, 0x01},
        {true, true, NID_INTEGRATED_TOUCH, 0x03},
        {true, true, NID_EXTERNAL_TOUCH, 0x05},
        {true, true, NID_INTEGRATED_PEN, 0x09},
        {true, true, NID_EXTERNAL_PEN, 0x11},
        {true, true, NID_MULTI_INPUT, 0x21},
        {true, true, NID_READY, 0x41},
        {true, true, 0x30, 0x01},
        {true, true, 0xFF, 0x7F},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.tablet << row.windows7 << " digitizer " << row.digitizer);
        EXPECT_EQ(TabletCapsOf(row.tablet, row.windows7, row.digitizer), row.caps);
    }
}

}  // namespace
