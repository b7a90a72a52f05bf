// The about box: icon, name lines, notice of rights and clickable mail and web links.
#pragma once

#include <string>

#include <windows.h>

// What the about box shows. The program fills one at start (AboutInfo); the box writes the
// two link areas each time it paints.
struct TAboutInfo {
    HICON Icon = nullptr;     // drawn at the top left; not owned
    std::u16string Line1;     // the program's name and version
    std::u16string Line2;     // optional; empty means no line
    std::u16string Line3;     // optional; empty means the program file's date and time
    std::u16string CopyRight;
    std::u16string Mail;      // address, optionally followed by "?" and mail-link parameters
    std::u16string WWW;
    std::u16string Instit;    // optional; empty means no line
    std::u16string BitMapName;  // not shown by this box
    bool ShowRes = false;       // not read by this box
    RECT wwwRect{};
    RECT mailRect{};
};

// The record that the about box shows or showed last. (The program's own record, AboutInfo,
// is declared with the form, whose command 100 shows it.)
extern TAboutInfo* CurAboutInfo;

// The dialog template of the about box, a resource of the program.
inline constexpr const wchar_t* AboutBoxTemplate = L"ABOUTBX";

// Shows the about box for aboutInfo, owned by owner, and returns when it is closed; nothing
// without a record.
void ShowAboutBox(HWND owner, TAboutInfo* aboutInfo);

// The dialog procedure of the about box: lays the box out from the measured texts, paints
// them, shows the hand cursor over the links and opens them (ShellOpen) when clicked. Its
// font, margins, icon and button are sized for 96 dpi and grow with the box's DPI.
INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT Msg, WPARAM wParam, LPARAM lParam);

// The date line of a box without Line3: the last-write time of the running program's file,
// "dd.mm.yy hh:nn:ss"; empty when the file cannot be found.
std::u16string ProgramDateText();
