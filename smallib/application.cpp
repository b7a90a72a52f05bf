// The application object with its form list and main form, the screen object, and the framework's start and end.
#include "smallib/application.h"

#include <objbase.h>

#include "common/lazy_library.h"
#include "smallib/about_box.h"
#include "smallib/app_form.h"
#include "smallib/form.h"
#include "smallib/winctrl.h"

TSApplication* Application = nullptr;
std::unique_ptr<TSScreen> Screen;
HWND MainWnd = nullptr;
HCURSOR HandCursor = nullptr;
HCURSOR ArrowCursor = nullptr;

namespace {

int frameworkStarts = 0;
// The shell (ShellExecuteW) needs COM, apartment-threaded, on the thread that calls it: the
// user-interface thread, which is the thread that starts the framework.
bool comStarted = false;
bool comTried = false;

void showFormAboutBox(TSForm& form, TAboutInfo* aboutInfo) { ShowAboutBox(form.Handle(), aboutInfo); }

}  // namespace

void TSScreen::SetCursor(HCURSOR c) {
    FCursor = c;
    ::SetCursor(c);
}

int TSScreen::Width() const { return GetSystemMetrics(SM_CXFULLSCREEN); }

TSApplication::TSApplication() { Application = this; }

TSApplication::TSApplication(const std::u16string& name, const std::u16string& Icon, const std::u16string& HelpFile)
    : FHelpFileName(HelpFile) {
    Application = this;
    if (name.empty()) return;
    try {
        FApplicationForm = TSForm::CreateForm<TSApplicationForm>(nullptr, name, u"", Icon, WHITE_BRUSH);
    } catch (...) {
        // No destructor runs for an object whose constructor fails.
        DestroyAllForms();
        Application = nullptr;
        throw;
    }
    // The hidden form was created first and so became the main form; the program's own first
    // window is the one that must end the loop when it goes.
    FMainForm = nullptr;
    MainWnd = nullptr;
}

TSApplication::~TSApplication() {
    clearSnd();
    DestroyAllForms();
    // The windows' last messages (and a quit message of the main form) belong to no loop any
    // more; the exceptions they raise have nobody left to report them to.
    pumpMessages(0, 0, false, false);
    Application = nullptr;
}

void TSApplication::close() { DestroyAllForms(); }

HWND TSApplication::Handle() const noexcept { return FApplicationForm ? FApplicationForm->Handle() : nullptr; }

void TSApplication::HelpContext(int id) {
    if (id != 0 && UserHelpContextFunc) UserHelpContextFunc(id);
}

void TSApplication::HelpKeyWord(const std::u16string&) {}

void TSApplication::Minimize(bool) {}

TSForm* TSApplication::GetForm(HWND Wnd) const { return FFormList.FindByHandle(Wnd); }

void TSApplication::DestroyAllForms() {
    while (FFormList.Count() > 0) {
        TSForm* const form = FFormList.Get(0);
        const int before = FFormList.Count();
        DestroyWindow(form->Handle());
        // A form whose window would not go (another thread's, say) must not stop the loop.
        if (FFormList.Count() == before && FFormList.IndexOf(form) >= 0) FFormList.Remove(form);
    }
    if (FApplicationForm && FFormList.IndexOf(FApplicationForm) < 0) FApplicationForm = nullptr;
    FMainForm = nullptr;
    MainWnd = nullptr;
}

void StartFramework() {
    if (frameworkStarts++ > 0) return;
    Screen = std::make_unique<TSScreen>();
    HandCursor = LoadCursorW(nullptr, IDC_HAND);
    ArrowCursor = LoadCursorW(nullptr, IDC_ARROW);
    AboutBoxProc = showFormAboutBox;
}

void EndFramework() {
    if (frameworkStarts == 0 || --frameworkStarts > 0) return;
    AboutBoxProc = nullptr;
    UnregisterWindowClasses();
    Screen.reset();
    if (comStarted) {
        // Loaded by StartComForShell, so there is a function to call.
        if (const auto uninitialize = LazyFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize"))
            uninitialize();
    }
    comStarted = false;
    comTried = false;
}

void StartComForShell() {
    // Once: a failed attempt is not repeated at every call of the shell.
    if (frameworkStarts == 0 || comTried) return;
    comTried = true;
    // COM's library stays out of the imports: loading it and what it imports costs the start
    // several milliseconds, and only help and the about box's links need it.
    const auto initialize = LazyFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    comStarted = initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}
