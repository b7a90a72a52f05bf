// Read-only registry shortcuts: the prefix table, the reads with defaults, the unit's values.
#include "common/registry.h"

#include <utility>
#include <vector>

#include "common/exceptions.h"
#include "common/text_helpers.h"
#include "common/wtext.h"

namespace {

std::u16string GRegistryBase;
std::u16string GRegKvorDefault;

bool isPrefixed(std::u16string_view path) { return path.size() >= 2 && path[1] == u'\\'; }

std::u16string concat(std::u16string_view a, std::u16string_view b, std::u16string_view c = {},
                      std::u16string_view d = {}) {
    std::u16string s;
    s.reserve(a.size() + b.size() + c.size() + d.size());
    s.append(a).append(b).append(c).append(d);
    return s;
}

}  // namespace

// --- RegKey -----------------------------------------------------------------------------------

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        close();
        FKey = std::exchange(other.FKey, nullptr);
    }
    return *this;
}

bool RegKey::open(HKEY root, std::u16string_view key) {
    close();
    // Key paths of the prefix table are written from the root ("\Software\..."); the system
    // wants them without the leading separator.
    if (!key.empty() && key.front() == u'\\') key.remove_prefix(1);
    const std::u16string name(key);
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, W(name), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    FKey = h;
    return true;
}

void RegKey::close() noexcept {
    if (FKey) {
        RegCloseKey(FKey);
        FKey = nullptr;
    }
}

bool RegKey::readString(std::u16string_view valueName, std::u16string& text) const {
    text.clear();
    if (!FKey) return false;
    const std::u16string name(valueName);
    // The value may grow between asking for its size and reading it; a few rounds settle that.
    std::vector<wchar_t> buf(128);
    for (int round = 0; round < 8; ++round) {
        DWORD type = REG_NONE;
        DWORD bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        const LSTATUS rc =
            RegQueryValueExW(FKey, W(name), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes);
        if (rc == ERROR_FILE_NOT_FOUND) return false;
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw Exception(concat(u"Invalid data type for '", name, u"'"));
        if (rc == ERROR_MORE_DATA) {
            buf.resize(bytes / sizeof(wchar_t) + 2);
            continue;
        }
        // Stored text need not end with a NUL, nor have an even byte count.
        text = U(buf.data(), bytes / sizeof(wchar_t));
        TrimAtNul(text);
        return true;
    }
    return false;
}

// --- Values -------------------------------------------------------------------------------

const std::u16string& RegistryBase() { return GRegistryBase; }

void SetRegistryBase(std::u16string base) { GRegistryBase = std::move(base); }

const std::u16string& RegKvorDefault() { return GRegKvorDefault; }

// --- Paths ------------------------------------------------------------------------------------

void ResolveRegPath(std::u16string_view path, HKEY& root, std::u16string& keyPath, std::u16string_view project) {
    if (!isPrefixed(path)) {
        root = HKEY_CURRENT_USER;
        keyPath = concat(u"\\Software\\", GRegistryBase);
        return;
    }
    char16_t prefix = path[0];
    if (prefix >= u'a' && prefix <= u'z') prefix = static_cast<char16_t>(prefix - u'a' + u'A');
    const std::u16string_view rest = path.substr(1);

    // The one-letter shortcuts: root key and base path; the project's name follows the base
    // path of "A\" and "P\". "U\" and every letter not listed name HKEY_CURRENT_USER itself.
    struct Shortcut {
        char16_t letter;
        HKEY root;
        std::u16string_view base;
        bool withProject;
    };
    static const Shortcut shortcuts[] = {
        {u'A', HKEY_CURRENT_USER, u"\\Software\\Kvor\\Nodrix.Exe\\Projects\\", true},
        {u'C', HKEY_CLASSES_ROOT, u"", false},
        {u'E', HKEY_CURRENT_USER, u"\\Software\\Kvor", false},
        {u'F', HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Windows\\Currentversion\\Explorer\\Shell Folders", false},
        {u'H', HKEY_LOCAL_MACHINE, u"\\Software\\Kvor\\Nodrix.Exe", false},
        {u'K', HKEY_LOCAL_MACHINE, u"\\Software\\Classes", false},
        {u'M', HKEY_LOCAL_MACHINE, u"", false},
        {u'P', HKEY_LOCAL_MACHINE, u"\\Software\\Kvor\\Nodrix.Exe\\Projects\\", true},
        {u'R', HKEY_LOCAL_MACHINE, u"\\Software\\Kvor", false},
        {u'V', HKEY_LOCAL_MACHINE, u"\\Software\\Microsoft\\Windows\\Currentversion", false},
        {u'Z', HKEY_CURRENT_USER, u"\\Software\\Classes", false},
    };
    for (const Shortcut& shortcut : shortcuts) {
        if (shortcut.letter != prefix) continue;
        root = shortcut.root;
        keyPath = concat(shortcut.base, shortcut.withProject ? project : std::u16string_view(), rest);
        return;
    }
    root = HKEY_CURRENT_USER;
    keyPath = std::u16string(rest);
}

void AppendPlainPath(std::u16string& keyPath, std::u16string_view path) {
    if (!path.empty() && !isPrefixed(path)) keyPath.append(path);
}

// --- Reads --------------------------------------------------------------------------------

void ReadRegString(std::u16string_view path, std::u16string_view valueName, std::u16string_view def,
                   std::u16string_view project, std::u16string& result) {
    // def may view result itself, so it is copied before result changes.
    const std::u16string fallback(def);
    result = fallback;
    HKEY root = HKEY_CURRENT_USER;
    std::u16string keyPath;
    ResolveRegPath(path, root, keyPath, project);
    AppendPlainPath(keyPath, path);
    RegKey key;
    if (!key.open(root, keyPath) && LastChar(keyPath) == u'\\') {
        DeleteLastChar(keyPath);
        key.open(root, keyPath);
    }
    std::u16string text;
    if (key.readString(valueName, text)) result = std::move(text);
    if (result.empty()) result = fallback;
}

void ReadRegValue(HKEY root, std::u16string_view key, std::u16string_view valueName, std::u16string_view def,
                  std::u16string& result) {
    const std::u16string fallback(def);
    result.clear();
    RegKey k;
    if (k.open(root, key)) k.readString(valueName, result);
    if (result.empty()) result = fallback;
}

// --- Start and end ------------------------------------------------------------------------

void StartRegistryUnit() { ReadRegString(u"R\\", u"", u"", u"", GRegKvorDefault); }

void EndRegistryUnit() {
    GRegistryBase.clear();
    GRegKvorDefault.clear();
}
