// TUserSettings: the program's settings interface, and the process-wide UserSettings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TStrings;

// What the rest of the program knows of its settings: values by section and key, with the
// caller's default for anything missing. The empty section is the unnamed one at the top of
// the file. Reads may write pending changes first, so they are not const.
class TUserSettings {
public:
    TUserSettings() = default;
    virtual ~TUserSettings() = default;
    TUserSettings(const TUserSettings&) = delete;
    TUserSettings& operator=(const TUserSettings&) = delete;

    virtual void ClearSection(const std::u16string& sect) = 0;
    virtual bool readBool(const std::u16string& sect, const std::u16string& key, bool def) = 0;
    virtual double readDouble(const std::u16string& sect, const std::u16string& key, double def) = 0;
    virtual std::int32_t readInteger(const std::u16string& sect, const std::u16string& key, std::int32_t def) = 0;
    // Clears list and fills it with every line of the section, comments included.
    virtual void readList(const std::u16string& sect, TStrings& list) = 0;
    virtual std::u16string readString(const std::u16string& sect, const std::u16string& key,
                                      const std::u16string& def) = 0;
    virtual void writeBool(const std::u16string& sect, const std::u16string& key, bool value) = 0;
    virtual void writeDouble(const std::u16string& sect, const std::u16string& key, double value) = 0;
    virtual void writeInteger(const std::u16string& sect, const std::u16string& key, std::int32_t value) = 0;
    // Replaces the section's lines by the items of list, stored as they are.
    virtual void writeList(const std::u16string& sect, const TStrings& list) = 0;
    // An empty value removes the key.
    virtual void writeString(const std::u16string& sect, const std::u16string& key, const std::u16string& value) = 0;
    // Writes pending changes now.
    virtual void Save() = 0;
    // Writes the whole document to the backup file beside the settings file.
    virtual void SaveBackup() = 0;
};

// The program's settings from start-up to shutdown; resetting it writes pending changes.
extern std::unique_ptr<TUserSettings> UserSettings;
