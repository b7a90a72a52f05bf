// Standard dialogs of the framework: the shell opener and the message-box flags of the form's message dialogs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Message-box styles of the form's fixed message dialogs (msgError ... msgNoYesCancel).
inline constexpr UINT mbError = MB_OKCANCEL | MB_ICONEXCLAMATION;                   // 49
inline constexpr UINT mbInfo = MB_OK | MB_ICONINFORMATION;                          // 64
inline constexpr UINT mbYesNo = MB_YESNO | MB_ICONQUESTION;                         // 36
inline constexpr UINT mbNoYes = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;         // 292
inline constexpr UINT mbYesNoCancel = MB_YESNOCANCEL | MB_ICONQUESTION;             // 35
inline constexpr UINT mbNoYesCancel = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;  // 291

// Opens a document, a web address or a "mailto:" link with the shell's default action
// (ShellExecuteW, shown normally). Whether the shell could open it is not examined.
void ShellOpen(HWND owner, const std::u16string& target);

// Same arguments as ShellOpen.
using ShellOpenFunction = std::function<void(HWND owner, const std::u16string& target)>;

// Installs fn as the function behind ShellOpen (tests watch the links that way); an empty fn
// restores the shell. Returns the function installed before.
ShellOpenFunction setShellOpenFunction(ShellOpenFunction fn);
