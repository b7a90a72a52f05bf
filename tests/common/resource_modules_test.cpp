// Tests of the resource-module list and of icons loaded by resource name or from ".ICO" files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/resource_modules.h"
#include "common/wtext.h"

namespace {

std::string utf8(const std::u16string& s) {
    std::string r;
    for (const char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
}

std::u16string tempFolder() {
    wchar_t buf[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buf);
    return U(buf);
}

bool writeFile(const std::u16string& path, const void* data, std::size_t size) {
    const HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(h);
    return ok;
}

const BYTE* resourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type, DWORD& size) {
    const HRSRC info = FindResourceW(module, name, type);
    if (!info) return nullptr;
    size = SizeofResource(module, info);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
}

// The .ICO file image of the program's icon group TESTICON: the group directory gives the
// images' sizes and resource ids, the file puts the images behind a directory with offsets.
std::vector<BYTE> iconFileOfResource() {
    const HMODULE own = GetModuleHandleW(nullptr);
    DWORD groupSize = 0;
    const BYTE* group = resourceBytes(own, L"TESTICON", RT_GROUP_ICON, groupSize);
    if (!group || groupSize < 6) return {};
    WORD count = 0;
    std::memcpy(&count, group + 4, 2);
    std::vector<BYTE> file(group, group + 6);
    std::vector<BYTE> images;
    const std::size_t dirSize = 6 + 16u * count;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + 14u * i;  // 12 bytes as in the file, then a 16-bit id
        WORD id = 0;
        std::memcpy(&id, entry + 12, 2);
        DWORD size = 0;
        const BYTE* image = resourceBytes(own, MAKEINTRESOURCEW(id), RT_ICON, size);
        if (!image) return {};
        const DWORD offset = static_cast<DWORD>(dirSize + images.size());
        file.insert(file.end(), entry, entry + 8);
        file.insert(file.end(), reinterpret_cast<const BYTE*>(&size), reinterpret_cast<const BYTE*>(&size) + 4);
        file.insert(file.end(), reinterpret_cast<const BYTE*>(&offset), reinterpret_cast<const BYTE*>(&offset) + 4);
        images.insert(images.end(), image, image + size);
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}

// Draws icon into a 32 x 32 bitmap on white and returns the colours at a few points of the
// test icon's pattern: the black border, a blue square, a yellow square.
std::vector<COLORREF> iconPixels(HICON icon) {
    std::vector<COLORREF> out;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
    const HGDIOBJ old = SelectObject(dc, bmp);
    const RECT all = {0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL))
        for (const POINT p : {POINT{0, 0}, POINT{5, 5}, POINT{12, 5}}) out.push_back(GetPixel(dc, p.x, p.y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return out;
}

const std::vector<COLORREF> testIconPixels = {RGB(0, 0, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

class ResourceModulesTest : public ::testing::Test {
protected:
    void SetUp() override { StartResourceModulesUnit(); }
    void TearDown() override {
        EndResourceModulesUnit();
        for (const std::u16string& f : FFiles) DeleteFileW(W(f));
    }
    std::u16string file(const std::u16string& name, const std::vector<BYTE>& bytes) {
        const std::u16string path = tempFolder() + U(std::to_wstring(GetCurrentProcessId()).c_str()) + u"-" + name;
        EXPECT_TRUE(writeFile(path, bytes.data(), bytes.size()));
        FFiles.push_back(path);
        return path;
    }

    std::vector<std::u16string> FFiles;
};

TEST_F(ResourceModulesTest, StartsWithTheProgramModuleOnly) {
    ASSERT_TRUE(ResourceModules);
    ASSERT_EQ(ResourceModules->Count(), 1);
    EXPECT_EQ(ResourceModules->Strings(0), u"");
    EXPECT_EQ(ResourceModules->ObjectAs<HINSTANCE__>(0), GetModuleHandleW(nullptr));
}

TEST_F(ResourceModulesTest, IconResourceByName) {
    for (const char16_t* name : {u"TESTICON", u"testicon", u"TestIcon"}) {
        SCOPED_TRACE(utf8(name));
        const IconHandle icon = LoadIconByName(name);
        ASSERT_TRUE(icon);
        // A resource icon is shared: the same handle as the system gives, never destroyed by us.
        EXPECT_FALSE(icon.owned());
        EXPECT_EQ(icon.get(), LoadIconW(GetModuleHandleW(nullptr), L"TESTICON"));
        EXPECT_EQ(iconPixels(icon.get()), testIconPixels);
    }
    EXPECT_FALSE(LoadIconByName(u"NOSUCHICON"));
    EXPECT_FALSE(LoadIconByName(u""));
    // The file rule needs the ".ico" ending: a resource name that only contains it is looked up.
    EXPECT_FALSE(LoadIconByName(u"TESTICON.ico.x"));
}

TEST_F(ResourceModulesTest, IconFromIcoFileInAnyLetterCase) {
    const std::vector<BYTE> ico = iconFileOfResource();
    ASSERT_FALSE(ico.empty());
    for (const char16_t* name : {u"a.ico", u"b.ICO", u"c.Ico"}) {
        SCOPED_TRACE(utf8(name));
        const std::u16string path = file(name, ico);
        IconHandle icon = LoadIconByName(path);
        ASSERT_TRUE(icon);
        EXPECT_TRUE(icon.owned());
        EXPECT_EQ(iconPixels(icon.get()), testIconPixels);
        const HICON raw = icon.get();
        icon.reset();
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(raw, &info)) << "the file's icon was not destroyed";
    }
}

TEST_F(ResourceModulesTest, IcoFilesWithoutIconGiveNothing) {
    const std::u16string text = file(u"junk.ico", std::vector<BYTE>{'n', 'o', ' ', 'i', 'c', 'o', 'n', '\r', '\n'});
    const std::u16string empty = file(u"empty.ico", {});
    for (const std::u16string& path : {text, empty, tempFolder() + u"tess-no-such-file.ico"}) {
        SCOPED_TRACE(utf8(path));
        const IconHandle icon = LoadIconByName(path);
        EXPECT_FALSE(icon);
        EXPECT_EQ(icon.get(), nullptr);
    }
}

TEST_F(ResourceModulesTest, LastModuleIsSearchedFirstAndReleasedAtTheEnd) {
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH + 1), 0u);
    // A copy of the program file under another name is a module of its own with the same icons.
    const std::u16string copyPath = tempFolder() + U(std::to_wstring(GetCurrentProcessId()).c_str()) + u"-copy.exe";
    ASSERT_TRUE(CopyFileW(self, W(copyPath), FALSE));
    FFiles.push_back(copyPath);
    const HMODULE copy = LoadLibraryExW(W(copyPath), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(copy, nullptr);
    const HMODULE library = LoadLibraryW(L"kernel32.dll");
    ASSERT_NE(library, nullptr);
    ResourceModules->AddObject(u"", copy);
    ResourceModules->AddObject(u"", library);

    // kernel32 has no TESTICON; the copy comes next, before the program itself, whose shared
    // icon would be the very handle LoadIconW gives for it.
    const IconHandle icon = LoadIconByName(u"TESTICON");
    ASSERT_TRUE(icon);
    EXPECT_NE(icon.get(), LoadIconW(GetModuleHandleW(nullptr), L"TESTICON"));
    EXPECT_EQ(iconPixels(icon.get()), testIconPixels);

    EndResourceModulesUnit();
    EXPECT_FALSE(ResourceModules);
    MEMORY_BASIC_INFORMATION mem = {};
    ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(copy) & ~ULONG_PTR(3)), &mem, sizeof mem), 0u);
    EXPECT_EQ(mem.State, static_cast<DWORD>(MEM_FREE)) << "the added module is still mapped";
    // Without the list no module has the icon.
    EXPECT_FALSE(LoadIconByName(u"TESTICON"));
}

TEST_F(ResourceModulesTest, EmptyListFindsNothing) {
    ResourceModules->Clear();
    EXPECT_FALSE(LoadIconByName(u"TESTICON"));
}

}  // namespace
