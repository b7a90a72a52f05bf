// TUserSettingsFile: the program's settings kept in an INI file, and where that file lives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/user_settings.h"

// The settings as one TIni document in UTF-8. Strings may hold line breaks: they are stored as
// U+FFF1 (carriage return) and U+FFF2 (line feed) so that each value stays on one line.
class TUserSettingsFile : public TUserSettings {
public:
    // progName is the full path of the settings file; its folder is created when missing and
    // the file is read when it exists. Undecodable bytes are reported through MsgBox.
    explicit TUserSettingsFile(const std::u16string& progName);
    // Writes pending changes (silently, like every save of the document).
    ~TUserSettingsFile() override;

    void ClearSection(const std::u16string& sect) override;
    bool readBool(const std::u16string& sect, const std::u16string& key, bool def) override;
    double readDouble(const std::u16string& sect, const std::u16string& key, double def) override;
    std::int32_t readInteger(const std::u16string& sect, const std::u16string& key, std::int32_t def) override;
    void readList(const std::u16string& sect, TStrings& list) override;
    std::u16string readString(const std::u16string& sect, const std::u16string& key,
                              const std::u16string& def) override;
    void writeBool(const std::u16string& sect, const std::u16string& key, bool value) override;
    void writeDouble(const std::u16string& sect, const std::u16string& key, double value) override;
    void writeInteger(const std::u16string& sect, const std::u16string& key, std::int32_t value) override;
    void writeList(const std::u16string& sect, const TStrings& list) override;
    void writeString(const std::u16string& sect, const std::u16string& key, const std::u16string& value) override;
    void Save() override;
    // Writes the document to BackupFileName(FileName()). Changes still pending for the
    // settings file stay pending.
    void SaveBackup() override;

    const std::u16string& FileName() const { return FIni->FileName(); }
    TIni& Ini() const { return *FIni; }

private:
    std::unique_ptr<TIni> FIni;
};

// The text as far as its first NUL character.
std::u16string CutAtNul(std::u16string_view s);
// Carriage returns to U+FFF1 and line feeds to U+FFF2, and back.
std::u16string EncodeLineBreaks(std::u16string s);
std::u16string DecodeLineBreaks(std::u16string s);
// fn with its extension replaced by "_bkup.ini" ("Zib.ini" gives "Zib_bkup.ini").
std::u16string BackupFileName(std::u16string_view fn);

// The current user's roaming application-data folder with a trailing separator, then name.
// Backslashes in name separate folders on every platform. Raises Exception
// "can't obtain AppDataFolder" when the platform gives no folder.
std::u16string AppDataPath(std::u16string_view name);
// When path lies in a roaming "\AppData\Roaming\" tree and the same file exists in the local
// "\AppData\Local\" tree, copies it to path (never overwriting, never deleting the original).
// A failed copy raises EOSError.
void MigrateFromLocal(const std::u16string& path);
// The settings at AppDataPath(name) + ".ini", taken over from the local tree on first use.
std::unique_ptr<TUserSettingsFile> OpenUserSettings(std::u16string_view name);
// The same for a settings file given by its full path.
std::unique_ptr<TUserSettingsFile> OpenUserSettingsFile(const std::u16string& path);
