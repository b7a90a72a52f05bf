// Tests of the registry shortcuts: the prefix table, and real reads of keys this test creates.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/exceptions.h"
#include "common/registry.h"
#include "common/wtext.h"

namespace {

std::string utf8(const std::u16string& s) {
    std::string r;
    for (const char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
}

const char* rootName(HKEY root) {
    if (root == HKEY_CURRENT_USER) return "HKCU";
    if (root == HKEY_LOCAL_MACHINE) return "HKLM";
    if (root == HKEY_CLASSES_ROOT) return "HKCR";
    return "other";
}

TEST(RegistryPaths, PrefixTableGivesRootAndKeyPath) {
    SetRegistryBase(u"Kvor\\Puzzle.exe\\");
    struct Row {
        const char16_t* path;
        const char16_t* project;
        HKEY root;
        const char16_t* resolved;  // after ResolveRegPath
        const char16_t* full;      // after AppendPlainPath as well
    } const rows[] = {
        {u"A\\Recent", u"Demo", HKEY_CURRENT_USER, u"\\Software\\Kvor\\Nodrix.Exe\\Projects\\Demo\\Recent",
         u"\\Software\\Kvor\\Nodrix.Exe\\Projects\\Demo\\Recent"},
        {u"P\\Recent", u"Demo", HKEY_LOCAL_MACHINE, u"\\Software\\Kvor\\Nodrix.Exe\\Projects\\Demo\\Recent",
         u"\\Software\\Kvor\\Nodrix.Exe\\Projects\\Demo\\Recent"},
        {u"C\\.txt", u"Demo", HKEY_CLASSES_ROOT, u"\\.txt", u"\\.txt"},
        {u"E\\Zib", u"", HKEY_CURRENT_USER, u"\\Software\\Kvor\\Zib", u"\\Software\\Kvor\\Zib"},
        {u"F\\", u"", HKEY_CURRENT_USER,
         u"\\Software\\Microsoft\\Windows\\Currentversion\\Explorer\\Shell Folders\\",
         u"\\Software\\Microsoft\\Windows\\Currentversion\\Explorer\\Shell Folders\\"},
        {u"H\\X", u"", HKEY_LOCAL_MACHINE, u"\\Software\\Kvor\\Nodrix.Exe\\X", u"\\Software\\Kvor\\Nodrix.Exe\\X"},
        {u"K\\.ini", u"", HKEY_LOCAL_MACHINE, u"\\Software\\Classes\\.ini", u"\\Software\\Classes\\.ini"},
        {u"M\\System", u"", HKEY_LOCAL_MACHINE, u"\\System", u"\\System"},
        {u"R\\", u"", HKEY_LOCAL_MACHINE, u"\\Software\\Kvor\\", u"\\Software\\Kvor\\"},
        {u"r\\", u"", HKEY_LOCAL_MACHINE, u"\\Software\\Kvor\\", u"\\Software\\Kvor\\"},
        {u"U\\Environment", u"", HKEY_CURRENT_USER, u"\\Environment", u"\\Environment"},
        {u"v\\Run", u"", HKEY_LOCAL_MACHINE, u"\\Software\\Microsoft\\Windows\\Currentversion\\Run",
         u"\\Software\\Microsoft\\Windows\\Currentversion\\Run"},
        {u"Z\\.htm", u"", HKEY_CURRENT_USER, u"\\Software\\Classes\\.htm", u"\\Software\\Classes\\.htm"},
        {u"Q\\Any", u"", HKEY_CURRENT_USER, u"\\Any", u"\\Any"},
        {u"1\\Any", u"", HKEY_CURRENT_USER, u"\\Any", u"\\Any"},
        {u"\\\\Any", u"", HKEY_CURRENT_USER, u"\\Any", u"\\Any"},
        {u"Settings\\Window", u"", HKEY_CURRENT_USER, u"\\Software\\Kvor\\Puzzle.exe\\",
         u"\\Software\\Kvor\\Puzzle.exe\\Settings\\Window"},
        {u"S", u"", HKEY_CURRENT_USER, u"\\Software\\Kvor\\Puzzle.exe\\", u"\\Software\\Kvor\\Puzzle.exe\\S"},
        {u"", u"", HKEY_CURRENT_USER, u"\\Software\\Kvor\\Puzzle.exe\\", u"\\Software\\Kvor\\Puzzle.exe\\"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.path));
        HKEY root = nullptr;
        std::u16string keyPath = u"sentinel";
        ResolveRegPath(row.path, root, keyPath, row.project);
        EXPECT_EQ(rootName(root), std::string(rootName(row.root)));
        EXPECT_EQ(root, row.root);
        EXPECT_EQ(keyPath, row.resolved);
        AppendPlainPath(keyPath, row.path);
        EXPECT_EQ(keyPath, row.full);
    }
    EndRegistryUnit();
    EXPECT_EQ(RegistryBase(), u"");
}

// Keys and values made for the test below HKCU\Software\<unique name>, removed afterwards.
class RegistryReads : public ::testing::Test {
protected:
    void SetUp() override {
        FBase = u"TessServicesTest-" + U(std::to_wstring(GetCurrentProcessId()).c_str());
        FRoot = u"Software\\" + FBase;
        HKEY window = create(FRoot + u"\\Window");
        setString(window, u"", u"def");
        setString(window, u"Left", u"12");
        setString(window, u"Empty", u"");
        setRaw(window, u"Expand", REG_EXPAND_SZ, u"%TEMP%\\x");
        const char16_t embedded[] = u"ab\0cd";
        setBytes(window, u"Embedded", REG_SZ, embedded, sizeof embedded);
        // Stored without a closing NUL and with an odd byte count.
        setBytes(window, u"Odd", REG_SZ, u"abcd", 7);
        const DWORD number = 7;
        RegSetValueExW(window, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        // Lengths around the reader's first buffer (128 characters with the NUL).
        for (const int n : {127, 128, 129, 5000})
            setString(window, u"Long" + U(std::to_wstring(n).c_str()), std::u16string(static_cast<std::size_t>(n), u'x'));
        RegCloseKey(window);
        HKEY base = create(FRoot);
        setString(base, u"Top", u"5");
        RegCloseKey(base);
        SetRegistryBase(FBase + u"\\");
    }

    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, W(FRoot));
        EndRegistryUnit();
    }

    static HKEY create(const std::u16string& path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(path), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static void setBytes(HKEY key, const std::u16string& name, DWORD type, const void* data, std::size_t bytes) {
        EXPECT_EQ(RegSetValueExW(key, W(name), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    }
    static void setRaw(HKEY key, const std::u16string& name, DWORD type, const std::u16string& text) {
        setBytes(key, name, type, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    }
    static void setString(HKEY key, const std::u16string& name, const std::u16string& text) {
        setRaw(key, name, REG_SZ, text);
    }

    std::u16string FBase;
    std::u16string FRoot;
};

TEST_F(RegistryReads, ValuesOrDefaults) {
    const std::u16string abs = u"U\\" + FRoot;
    std::u16string lowerAbs = abs;
    lowerAbs[0] = u'u';
    struct Row {
        std::u16string path;
        std::u16string value;
        std::u16string def;
        std::u16string expected;
    } const rows[] = {
        {u"Window", u"Left", u"d", u"12"},
        {abs + u"\\Window", u"Left", u"d", u"12"},
        {lowerAbs + u"\\Window\\", u"Left", u"d", u"12"},
        {u"Window", u"", u"d", u"def"},
        {u"Window", u"Missing", u"d", u"d"},
        {u"Window", u"Empty", u"d", u"d"},
        {u"NoSuchKey", u"Left", u"d", u"d"},
        {u"U\\Software\\TessServicesTest-none\\", u"Left", u"d", u"d"},
        {u"", u"Top", u"d", u"5"},
        {u"Window", u"Expand", u"", u"%TEMP%\\x"},
        {u"Window", u"Embedded", u"", u"ab"},
        {u"Window", u"Odd", u"", u"abc"},
        {u"Window", u"Long127", u"", std::u16string(127, u'x')},
        {u"Window", u"Long128", u"", std::u16string(128, u'x')},
        {u"Window", u"Long129", u"", std::u16string(129, u'x')},
        {u"Window", u"Long5000", u"", std::u16string(5000, u'x')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.path) + " / " + utf8(row.value));
        std::u16string result = u"sentinel";
        ReadRegString(row.path, row.value, row.def, u"", result);
        EXPECT_EQ(result, row.expected);
    }
}

TEST_F(RegistryReads, ReadRegValueAddressesKeysBelowRoot) {
    struct Row {
        std::u16string key;
        std::u16string value;
        std::u16string expected;
    } const rows[] = {
        {FRoot + u"\\Window", u"Left", u"12"},
        {u"\\" + FRoot + u"\\Window", u"Left", u"12"},
        {FRoot + u"\\Window", u"Empty", u"d"},
        {FRoot + u"\\Window", u"Missing", u"d"},
        {FRoot + u"\\Nothing", u"Left", u"d"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.key) + " / " + utf8(row.value));
        std::u16string result = u"sentinel";
        ReadRegValue(HKEY_CURRENT_USER, row.key, row.value, u"d", result);
        EXPECT_EQ(result, row.expected);
    }
}

TEST_F(RegistryReads, DefaultMayBeTheResultItself) {
    std::u16string result = u"fallback";
    ReadRegString(u"Window", u"Missing", result, u"", result);
    EXPECT_EQ(result, u"fallback");
    ReadRegValue(HKEY_CURRENT_USER, FRoot + u"\\Window", u"Missing", result, result);
    EXPECT_EQ(result, u"fallback");
}

TEST_F(RegistryReads, ValueOfAnotherTypeRaises) {
    std::u16string result;
    EXPECT_THROW(ReadRegString(u"Window", u"Number", u"d", u"", result), Exception);
    EXPECT_THROW(ReadRegValue(HKEY_CURRENT_USER, FRoot + u"\\Window", u"Number", u"d", result), Exception);
}

TEST_F(RegistryReads, KeysAreOpenedForReadingOnly) {
    RegKey key;
    ASSERT_TRUE(key.open(HKEY_CURRENT_USER, FRoot + u"\\Window"));
    EXPECT_EQ(RegSetValueExW(key.get(), L"Probe", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4),
              ERROR_ACCESS_DENIED);
    RegKey missing;
    EXPECT_FALSE(missing.open(HKEY_CURRENT_USER, FRoot + u"\\Nothing"));
    EXPECT_FALSE(missing.isOpen());
    // Reading never creates the key it was asked for.
    std::u16string result;
    ReadRegString(u"Nothing\\Deeper", u"x", u"", u"", result);
    EXPECT_FALSE(missing.open(HKEY_CURRENT_USER, FRoot + u"\\Nothing"));
}

TEST(RegistryUnit, StartReadsKvorDefaultAndEndClears) {
    // The test machine has no HKLM\Software\Kvor: the value stays empty, and nothing fails.
    StartRegistryUnit();
    EXPECT_EQ(RegKvorDefault(), u"");
    SetRegistryBase(u"Kvor\\X.exe\\");
    EndRegistryUnit();
    EXPECT_EQ(RegistryBase(), u"");
    EXPECT_EQ(RegKvorDefault(), u"");
}

}  // namespace
