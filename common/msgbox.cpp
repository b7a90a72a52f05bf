// The plain message box: no user interface, so Info reports that none is assigned.
#include "common/msgbox.h"

#include "common/exceptions.h"

std::unique_ptr<TMsgBox> MsgBox;

int TMsgBox::Dlg(const std::u16string& msg, TMsgDlgType, TMsgDlgButtons, TMsgDlgBtn) { return Info(msg); }

int TMsgBox::Info(const std::u16string& msg) { throw Exception(msg + u"\rMsgBox nicht zugewiesen"); }

int TMsgBox::ErrInfo(const std::u16string& msg) { return Info(msg); }

int TMsgBox::YesNo(const std::u16string& msg) {
    Info(msg);
    return idMsgYes;
}

int TMsgBox::YesCancel(const std::u16string& msg) {
    Info(msg);
    return idMsgYes;
}

int TMsgBox::NoYes(const std::u16string& msg) {
    Info(msg);
    return idMsgNo;
}

int TMsgBox::YesNoCancel(const std::u16string& msg, bool) {
    Info(msg);
    return idMsgYes;
}

int TMsgBox::NoYesCancel(const std::u16string& msg, bool) {
    Info(msg);
    return idMsgNo;
}

int TMsgBox::YesNoAllCancel(const std::u16string& msg, bool) {
    Info(msg);
    return idMsgYes;
}

int TMsgBox::YesToAllNoCancel(const std::u16string& msg, TMsgDlgBtn, bool) {
    Info(msg);
    return idMsgYes;
}

int TMsgBox::IgnoreCancel(const std::u16string& msg) { return Info(msg); }

int TMsgBox::OkCancel(const std::u16string& msg) {
    Info(msg);
    return idMsgCancel;
}

int TMsgBox::TestInfo(const std::u16string&) { return 0; }

void TMsgBox::SetAlign(TMsgAlign Value) {
    FAlign = Value;
    FUseNextAlign = true;
}
