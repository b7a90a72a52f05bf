// TSApplicationForm: notifications and copied data that other programs send to the application.
#include "smallib/app_form.h"

#include <climits>

#include "smallib/application.h"

HWND CopyDataTarget(ULONG_PTR dwData) noexcept {
    constexpr int halfBits = sizeof(ULONG_PTR) * CHAR_BIT / 2;
    return reinterpret_cast<HWND>(dwData >> halfBits);
}

namespace {

void routeCopyData(const COPYDATASTRUCT& data) {
    TSFormList& forms = Application->FormList();
    HWND target = CopyDataTarget(data.dwData);
    // The sender knows the application's window only: data addressed to it is meant for the
    // first form the program itself created.
    if (forms.Count() >= 2 && target == forms[0]->Handle()) target = forms[1]->Handle();
    TSForm* form = forms.FindByHandle(target);
    if (!form) form = Application->MainForm();
    if (form) form->wmCopyData(data.dwData, data.cbData, data.lpData);
}

}  // namespace

LRESULT TSApplicationForm::wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_NULL:
            return 0;
        case WM_CLOSE:
            // Any program can find this window by its class name and ask it to close; it lives
            // as long as the application, which destroys it at the end.
            return 0;
        case WM_COPYDATA:
            if (Application && lParam) routeCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return 1;
        case WM_COMMAND:
            if (!Application) return 0;
            if (wParam == cmNotification)
                Application->Notification = true;
            else if (TSForm* const main = Application->MainForm())
                main->HandleCommand(LOWORD(wParam), HIWORD(lParam));
            return 0;
        default:
            return TSForm::wndProc(Msg, wParam, lParam);
    }
}
