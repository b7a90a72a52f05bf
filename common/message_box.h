// The program's message boxes with optional resource sounds, and the one gate every modal box passes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

// --- The modal-box gate -------------------------------------------------------------------
//
// EVERY modal message box of the program is shown through modalBox(), never by calling
// MessageBoxW directly: ShowMessageBox, InfoBox, the framework's diagnostic and exception
// boxes, the dialogs' MessageDlg and the game's messages all end here. By default modalBox()
// calls MessageBoxW. Tests install their own function (ScopedModalBoxFunction) to see the
// arguments of a box and answer it without anyone at the keyboard.

// Same arguments and result as MessageBoxW.
using ModalBoxFunction = std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)>;

// Shows a modal message box through the current function and returns its answer.
int modalBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// Installs fn as the function behind modalBox(); an empty fn restores MessageBoxW.
// Returns the function that was installed before.
ModalBoxFunction setModalBoxFunction(ModalBoxFunction fn);

// Installs a function for the lifetime of the object and restores the previous one after.
class ScopedModalBoxFunction {
public:
    explicit ScopedModalBoxFunction(ModalBoxFunction fn) : FPrevious(setModalBoxFunction(std::move(fn))) {}
    ~ScopedModalBoxFunction() { setModalBoxFunction(std::move(FPrevious)); }
    ScopedModalBoxFunction(const ScopedModalBoxFunction&) = delete;
    ScopedModalBoxFunction& operator=(const ScopedModalBoxFunction&) = delete;

private:
    ModalBoxFunction FPrevious;
};

// --- Message boxes ------------------------------------------------------------------------

// Shows msg in a message box owned by owner (0xFFFF counts as no owner), captioned with the
// owner's window text, or "???" without an owner; flags is the MessageBoxW style, icon included.
// A msg "$name text" first plays the resource sound name (PlayResourceSound, so "$!name" plays
// it to its end first) and shows text; "$name" alone plays the sound and shows no box. A
// leading "!" of the message is dropped. Returns the box's answer, 0 when no box was shown.
int ShowMessageBox(HWND owner, std::u16string_view msg, std::uint16_t flags);

// ShowMessageBox(owner, msg, MB_ICONINFORMATION).
std::uint16_t InfoBox(HWND owner, std::u16string_view msg);

// Plays the RT_RCDATA resource name of the program's module, a complete WAVE file image,
// in the background; a leading "!" is dropped and makes it play to its end before returning.
// A missing resource plays nothing.
void PlayResourceSound(std::u16string_view name);
