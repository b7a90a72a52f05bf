// The recent-file list: numbered items at the end of a menu's first pop-up, kept in the settings.
#pragma once

#include <string>

#include <windows.h>

// Command ids of the history items: the newest entry has FirstFileId.
inline constexpr int FirstFileId = 170;
inline constexpr int MaxFileHistory = 9;

// The id of the last item of menu's first pop-up; -1 when there is no menu.
int LastFileIdOf(HMENU menu);

// Puts filename at the top of the history of menu (lower-cased; an entry that differs only in
// letter case moves up instead of appearing twice); at most nine entries stay. Nothing when
// there is no menu.
void AppendFileTo(HMENU menu, const std::u16string& filename);

// The path an item of menu shows: its text from the character after the first space on
// (the whole text when it has none). Empty when there is no menu or no such item.
std::u16string FileHistoryTextOf(HMENU menu, WORD id);

// Writes the history of menu into the user settings section, oldest entry first, under the
// keys "F1", "F2", ...; keys beyond the current entries are left as they are.
void SaveFileHistoryOf(HMENU menu, const std::u16string& section);

// Rebuilds the history of menu from the user settings section: reads "F1", "F2", ... up to the
// first empty value and appends every entry whose file still exists.
void LoadFileHistoryOf(HMENU menu, const std::u16string& section);
