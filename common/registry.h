// Read-only registry shortcuts: string values addressed by root and key, or by a short prefixed path.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// --- Start and end of the unit -------------------------------------------------------------

// Reads RegKvorDefault (the default value of HKEY_LOCAL_MACHINE\Software\Kvor).
// Runs after StartCommonUnit and before StartSystemInfoUnit, which sets RegistryBase.
void StartRegistryUnit();
// Clears RegistryBase and RegKvorDefault.
void EndRegistryUnit();

// --- Values of the unit ----------------------------------------------------------------------

// The key below "\Software\" that unprefixed paths use, e.g. "Kvor\Puzzle.exe\".
const std::u16string& RegistryBase();
void SetRegistryBase(std::u16string base);

// The default value of HKEY_LOCAL_MACHINE\Software\Kvor, read at start; empty when missing.
const std::u16string& RegKvorDefault();

// --- Paths ------------------------------------------------------------------------------------
//
// A path is prefixed when its second character is '\'; the first character (a-z taken as A-Z)
// names a root key and a base path, and the rest of the path, from the backslash on, is
// appended to that base:
//   A\  HKCU  \Software\Kvor\Nodrix.Exe\Projects\<project>     P\  same below HKLM
//   C\  HKCR  (rest only)                                      E\  HKCU \Software\Kvor
//   F\  HKCU  \Software\Microsoft\Windows\Currentversion\Explorer\Shell Folders
//   H\  HKLM  \Software\Kvor\Nodrix.Exe                        K\  HKLM \Software\Classes
//   M\  HKLM  (rest only)                                      R\  HKLM \Software\Kvor
//   U\  HKCU  (rest only)                                      Z\  HKCU \Software\Classes
//   V\  HKLM  \Software\Microsoft\Windows\Currentversion
//   any other character: HKCU (rest only).
// An unprefixed path lies below HKCU "\Software\" + RegistryBase. Key paths start with '\'.

// root and keyPath for path. For an unprefixed path keyPath is "\Software\" + RegistryBase
// only; AppendPlainPath adds the path itself. project is used by "A\" and "P\" only.
void ResolveRegPath(std::u16string_view path, HKEY& root, std::u16string& keyPath, std::u16string_view project);

// Appends path to keyPath when path is neither empty nor prefixed.
void AppendPlainPath(std::u16string& keyPath, std::u16string_view path);

// --- Reads --------------------------------------------------------------------------------
// The registry is only read, never written. A missing key or value, or an empty value, gives
// the default. A value must hold text (REG_SZ or REG_EXPAND_SZ, returned as stored, so %...%
// references stay, and cut at its first NUL); a value of any other type raises Exception.
// An empty valueName addresses the key's default value.

// result := the value valueName of the key that path addresses (see Paths). A key path with a
// trailing backslash that cannot be opened is tried once more without it.
void ReadRegString(std::u16string_view path, std::u16string_view valueName, std::u16string_view def,
                   std::u16string_view project, std::u16string& result);

// result := the value valueName of the key key below root.
void ReadRegValue(HKEY root, std::u16string_view key, std::u16string_view valueName, std::u16string_view def,
                  std::u16string& result);

// A registry key opened for reading (KEY_READ), closed with its owner.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { close(); }
    RegKey(RegKey&& other) noexcept : FKey(other.FKey) { other.FKey = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Opens key below root (a leading '\' is allowed); never creates it. False when it fails.
    bool open(HKEY root, std::u16string_view key);
    void close() noexcept;
    bool isOpen() const noexcept { return FKey != nullptr; }
    HKEY get() const noexcept { return FKey; }

    // True when the value exists; text := its text (see Reads), empty for an empty value.
    // Raises Exception for a value that does not hold text.
    bool readString(std::u16string_view valueName, std::u16string& text) const;

private:
    HKEY FKey = nullptr;
};
