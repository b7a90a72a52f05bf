// Standard dialogs of the framework: the form's message dialogs and the shell opener.
#include "smallib/dialogs.h"

#include <shellapi.h>

#include <utility>

#include "common/message_box.h"
#include "common/wtext.h"
#include "smallib/application.h"
#include "smallib/form.h"

namespace {

ShellOpenFunction& currentShellOpen() {
    static ShellOpenFunction fn;
    return fn;
}

}  // namespace

void ShellOpen(HWND owner, const std::u16string& target) {
    StartComForShell();
    if (const ShellOpenFunction& fn = currentShellOpen()) {
        fn(owner, target);
        return;
    }
    ShellExecuteW(owner, nullptr, W(target), L"", nullptr, SW_SHOWNORMAL);
}

ShellOpenFunction setShellOpenFunction(ShellOpenFunction fn) { return std::exchange(currentShellOpen(), std::move(fn)); }

WORD TSForm::MessageDlg(const std::u16string& Msg, UINT AType) {
    return LOWORD(ShowMessageBox(FHandle, Msg, static_cast<std::uint16_t>(AType)));
}

WORD TSForm::msgError(const std::u16string& Msg) { return MessageDlg(Msg, mbError); }
WORD TSForm::msgInfo(const std::u16string& Msg) { return MessageDlg(Msg, mbInfo); }
WORD TSForm::msgYesNo(const std::u16string& Msg) { return MessageDlg(Msg, mbYesNo); }
WORD TSForm::msgNoYes(const std::u16string& Msg) { return MessageDlg(Msg, mbNoYes); }
WORD TSForm::msgYesNoCancel(const std::u16string& Msg) { return MessageDlg(Msg, mbYesNoCancel); }
WORD TSForm::msgNoYesCancel(const std::u16string& Msg) { return MessageDlg(Msg, mbNoYesCancel); }
