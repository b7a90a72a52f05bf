// TSApplicationForm: the application's hidden top-level window for notifications and copied data.
#pragma once

#include <windows.h>

#include "smallib/form.h"

// Receives what other programs send to the application: WM_COMMAND 595 sets the application's
// Notification, any other command goes to the main form's HandleCommand, and WM_COPYDATA is
// routed to the form named in the upper half of dwData (the main form when no form has that
// window). The command 3000 never arrives here: the message loop takes it first. WM_CLOSE is
// ignored: the window ends with the application, not when another program asks.
class TSApplicationForm : public TSForm {
public:
    using TSForm::TSForm;

    LRESULT wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;
};

// The window a WM_COPYDATA with dwData is meant for: the upper half of dwData (the upper 16
// bits of a 32-bit value, the upper 32 of a 64-bit one, as a window handle fits there).
HWND CopyDataTarget(ULONG_PTR dwData) noexcept;
