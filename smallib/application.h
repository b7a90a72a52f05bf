// The application object with its form list and main form, the screen object, and the framework's start and end.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "smallib/slist.h"

class TSForm;

// Shows help for a context id; true when it did.
using THelpContextFunc = std::function<bool(int id)>;

// The one screen object: a cursor that, while set, every framework window shows over its
// client area instead of its own.
class TSScreen {
public:
    HCURSOR Cursor() const noexcept { return FCursor; }
    // Stores c and shows it at once.
    void SetCursor(HCURSOR c);
    int Width() const;

    HCURSOR FCursor = nullptr;
};

// The application object: every live form in creation order and the main form. Exactly one
// exists at a time; its constructor sets Application and its destructor clears it again after
// destroying the windows of all remaining forms.
class TSApplication {
public:
    TSApplication();
    virtual ~TSApplication();
    TSApplication(const TSApplication&) = delete;
    TSApplication& operator=(const TSApplication&) = delete;

    // Calls UserHelpContextFunc with id when id is not 0 and the function is set.
    void HelpContext(int id);
    // The first form whose window is Wnd; null when none.
    TSForm* GetForm(HWND Wnd) const;
    // Destroys the window of every form, the first in the list until the list is empty (each
    // form leaves the list when its window is gone).
    void DestroyAllForms();

    TSForm* MainForm() const noexcept { return FMainForm; }
    void SetMainForm(TSForm* form) noexcept { FMainForm = form; }
    TSFormList& FormList() noexcept { return FFormList; }
    TSForm* ApplicationForm() const noexcept { return FApplicationForm; }

    TSForm* FMainForm = nullptr;
    TSFormList FFormList;
    TSForm* FApplicationForm = nullptr;
    THelpContextFunc UserHelpContextFunc;
};

// The application object while one exists.
extern TSApplication* Application;
// The screen object between StartFramework and EndFramework.
extern std::unique_ptr<TSScreen> Screen;
// The main form's window; 0 when there is none.
extern HWND MainWnd;
// The standard cursors, loaded by StartFramework (shared system cursors: never destroyed).
extern HCURSOR HandCursor;
extern HCURSOR ArrowCursor;

// Start and end of the framework, once each (a counter guards against repeats): the start
// creates the screen object and loads the cursors; the end unregisters every window class the
// framework registered and frees the screen object.
void StartFramework();
void EndFramework();
