// The application object with its form list and main form, the screen object, and the framework's start and end.
#include "smallib/application.h"

#include "smallib/form.h"
#include "smallib/winctrl.h"

TSApplication* Application = nullptr;
std::unique_ptr<TSScreen> Screen;
HWND MainWnd = nullptr;
HCURSOR HandCursor = nullptr;
HCURSOR ArrowCursor = nullptr;

namespace {

int frameworkStarts = 0;

}  // namespace

void TSScreen::SetCursor(HCURSOR c) {
    FCursor = c;
    ::SetCursor(c);
}

int TSScreen::Width() const { return GetSystemMetrics(SM_CXFULLSCREEN); }

TSApplication::TSApplication() { Application = this; }

TSApplication::~TSApplication() {
    DestroyAllForms();
    Application = nullptr;
}

void TSApplication::HelpContext(int id) {
    if (id != 0 && UserHelpContextFunc) UserHelpContextFunc(id);
}

TSForm* TSApplication::GetForm(HWND Wnd) const { return FFormList.FindByHandle(Wnd); }

void TSApplication::DestroyAllForms() {
    while (FFormList.Count() > 0) {
        TSForm* const form = FFormList.Get(0);
        const int before = FFormList.Count();
        DestroyWindow(form->Handle());
        // A form whose window would not go (another thread's, say) must not stop the loop.
        if (FFormList.Count() == before && FFormList.IndexOf(form) >= 0) FFormList.Remove(form);
    }
    FMainForm = nullptr;
    MainWnd = nullptr;
}

void StartFramework() {
    if (frameworkStarts++ > 0) return;
    Screen = std::make_unique<TSScreen>();
    HandCursor = LoadCursorW(nullptr, IDC_HAND);
    ArrowCursor = LoadCursorW(nullptr, IDC_ARROW);
}

void EndFramework() {
    if (frameworkStarts == 0 || --frameworkStarts > 0) return;
    UnregisterWindowClasses();
    Screen.reset();
}
