// The program's settings file: an adapter over TIni, its place in the user's profile, the
// take-over of an older file and the backup.
#include "settings/user_settings_file.h"

#include <algorithm>

#include "common/exceptions.h"
#include "common/platform.h"
#include "common/text_helpers.h"
#include "settings/user_settings_folder.h"

// --- TUserSettingsFile ---------------------------------------------------------------------

TUserSettingsFile::TUserSettingsFile(const std::u16string& progName) {
    const std::u16string folder = FolderOf(progName);
    if (!folder.empty()) platform::CreateFolders(folder);
    FIni = std::make_unique<TIni>(progName, TTextEncoding::Utf8, nullptr, nullptr);
}

TUserSettingsFile::~TUserSettingsFile() = default;

void TUserSettingsFile::ClearSection(const std::u16string& sect) { FIni->ClearSection(sect); }

bool TUserSettingsFile::readBool(const std::u16string& sect, const std::u16string& key, bool def) {
    return FIni->ReadBool(sect, key, def);
}

double TUserSettingsFile::readDouble(const std::u16string& sect, const std::u16string& key, double def) {
    return FIni->ReadDouble(sect, key, def);
}

std::int32_t TUserSettingsFile::readInteger(const std::u16string& sect, const std::u16string& key, std::int32_t def) {
    return FIni->ReadInteger(sect, key, def);
}

void TUserSettingsFile::readList(const std::u16string& sect, TStrings& list) {
    FIni->ReadSectionLines(sect, list, true);
}

std::u16string TUserSettingsFile::readString(const std::u16string& sect, const std::u16string& key,
                                             const std::u16string& def) {
    return DecodeLineBreaks(FIni->ReadString(sect, key, def));
}

void TUserSettingsFile::writeBool(const std::u16string& sect, const std::u16string& key, bool value) {
    FIni->WriteBool(sect, key, value);
}

void TUserSettingsFile::writeDouble(const std::u16string& sect, const std::u16string& key, double value) {
    FIni->WriteDouble(sect, key, value);
}

void TUserSettingsFile::writeInteger(const std::u16string& sect, const std::u16string& key, std::int32_t value) {
    FIni->WriteInteger(sect, key, value);
}

void TUserSettingsFile::writeList(const std::u16string& sect, const TStrings& list) {
    FIni->WriteSectionLines(sect, list, true);
}

void TUserSettingsFile::writeString(const std::u16string& sect, const std::u16string& key, const std::u16string& value) {
    FIni->WriteString(sect, key, EncodeLineBreaks(CutAtNul(value)));
}

void TUserSettingsFile::Save() { FIni->Save(); }

void TUserSettingsFile::SaveBackup() {
    // Every save marks the document as written, the backup's too. Changes not yet in the
    // settings file would then be lost at exit; so they are marked pending again.
    const bool pending = FIni->Modified();
    FIni->SaveToFile(BackupFileName(FIni->FileName()), FIni->Encoding());
    if (pending) FIni->ChangeFileName(FIni->FileName());
}

// --- Texts ---------------------------------------------------------------------------------

std::u16string CutAtNul(std::u16string_view s) { return std::u16string(s.substr(0, s.find(u'\0'))); }

namespace {

// Replaces every cr by crMark and every lf by lfMark.
std::u16string replaceLineBreaks(std::u16string s, char16_t cr, char16_t lf, char16_t crMark, char16_t lfMark) {
    for (char16_t& c : s) {
        if (c == cr)
            c = crMark;
        else if (c == lf)
            c = lfMark;
    }
    return s;
}

}  // namespace

std::u16string EncodeLineBreaks(std::u16string s) {
    return replaceLineBreaks(std::move(s), u'\r', u'\n', u'\uFFF1', u'\uFFF2');
}

std::u16string DecodeLineBreaks(std::u16string s) {
    return replaceLineBreaks(std::move(s), u'\uFFF1', u'\uFFF2', u'\r', u'\n');
}

std::u16string BackupFileName(std::u16string_view fn) {
    const std::size_t sep = fn.find_last_of(platform::PathSeparator());
    const std::size_t dot = fn.find_last_of(u'.');
    const bool hasExt = dot != std::u16string_view::npos && (sep == std::u16string_view::npos || dot > sep);
    return std::u16string(hasExt ? fn.substr(0, dot) : fn) + u"_bkup.ini";
}

// --- Location ------------------------------------------------------------------------------

std::u16string AppDataPath(std::u16string_view name) {
    std::u16string path = settings_detail::RoamingAppDataFolder();
    if (path.empty()) throw Exception(u"can't obtain AppDataFolder");
    const char16_t sep = platform::PathSeparator();
    if (path.back() != sep) path += sep;
    for (const char16_t c : name) path += c == u'\\' ? sep : c;
    return path;
}

void MigrateFromLocal(const std::u16string& path) {
    static constexpr std::u16string_view roaming = u"\\AppData\\Roaming\\";
    static constexpr std::u16string_view local = u"\\AppData\\Local\\";
    const std::size_t at = path.find(roaming);
    if (at == std::u16string::npos) return;
    const std::u16string localPath = path.substr(0, at) + std::u16string(local) + path.substr(at + roaming.size());
    if (!platform::FileExists(localPath)) return;
    const std::u16string folder = FolderOf(path);
    if (!platform::CreateFolders(folder) || !platform::CopyFileNoOverwrite(localPath, path))
        throw EOSError(u"Die Datei " + localPath + u" kann nicht nach " + path + u" kopiert werden.", 0);
}

std::unique_ptr<TUserSettingsFile> OpenUserSettingsFile(const std::u16string& path) {
    // Only a file that is surely missing is taken over: one that cannot be reached now would
    // make the copy fail, and the game would not start.
    if (platform::ProbeFile(path) == platform::FileState::Missing) MigrateFromLocal(path);
    return std::make_unique<TUserSettingsFile>(path);
}

std::unique_ptr<TUserSettingsFile> OpenUserSettings(std::u16string_view name) {
    return OpenUserSettingsFile(AppDataPath(name) + u".ini");
}
