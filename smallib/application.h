// The application object with its form list, message loop and sounds, the screen object, and the framework's start and end.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "smallib/slist.h"

class TSForm;

// Shows help for a context id; true when it did.
using THelpContextFunc = std::function<bool(int id)>;
// Receives the lParam of the notification command 3000 sent to the application's window.
using TNotificationProc = std::function<void(LPARAM)>;

// Command ids of the hidden application window: 595 sets Notification; 3000 goes to the
// notification procedure and is never dispatched.
inline constexpr WPARAM cmNotification = 595;
inline constexpr WPARAM cmNotificationProc = 3000;
// The command a main form receives just before Run shows it.
inline constexpr WORD cmStart = 20;

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

// The application object: every live form in creation order, the main form, the hidden
// application window that receives notifications and data from outside, the message loop and
// the sounds. Exactly one exists at a time; its constructor sets Application and its
// destructor clears it again after destroying the windows of all remaining forms.
class TSApplication {
public:
    // An application without a hidden window (forms and loop only).
    TSApplication();
    // The application with its hidden window: a form of class name (which must end in "_" to
    // be found by other programs under that name), icon Icon and a white background. The
    // hidden form is created first but never counts as the main form: the next form created
    // becomes the main form. HelpFile is only remembered.
    TSApplication(const std::u16string& name, const std::u16string& Icon, const std::u16string& HelpFile);
    virtual ~TSApplication();
    TSApplication(const TSApplication&) = delete;
    TSApplication& operator=(const TSApplication&) = delete;

    // --- Message loop ---------------------------------------------------------------------

    // Sends the main form command 20, shows it (maximized when it was, else as the program
    // was started) and dispatches messages until WM_QUIT; returns the low word of the quit
    // message's wParam. A std::exception raised by a handler is reported in an information box
    // ("Message " and the message number in hexadecimal, then the exception's text) and the
    // loop goes on; one whose message is exactly "Stopped" is dropped silently. So is one
    // raised by the start command or the first show and paint (with the number of WM_COMMAND,
    // WM_SHOWWINDOW or WM_PAINT). Anything thrown that is not a std::exception leaves Run.
    WORD Run();
    // Dispatches every message waiting in the queue, then returns. An exception a handler
    // raised is rethrown here. A quit message stays in the queue (it is posted again), so that
    // the loop that waits for it still ends.
    void ProcessMessages();
    // The same for the DDE messages (0x03E0 to 0x03E8) only.
    void ProcessMessagesDDE();
    // Processes messages until Notification is set (command 595) or seconds have passed; then
    // shows the information box "timeOut" without owner. Notification stays set afterwards.
    void Wait4Notification(double seconds);

    // --- Sounds ---------------------------------------------------------------------------

    // Plays the WAVE image stored as raw-data resource nm (any letter case) of the program,
    // in the background; a leading "!" plays it to its end before returning. Nothing at all
    // happens while withSound is false. One sound is held at a time: the same name again
    // reuses it; a name without resource plays nothing and is not looked up again until
    // another name was played.
    void playSound(const std::u16string& nm);
    // Releases the sound held, if any, and forgets its name.
    void clearSnd();

    // --- Forms ----------------------------------------------------------------------------

    // Destroys the window of every form, the hidden one included; only destruction may follow.
    void close();
    // The first form whose window is Wnd; null when none.
    TSForm* GetForm(HWND Wnd) const;
    // Destroys the window of every form, the first in the list until the list is empty (each
    // form leaves the list when its window is gone).
    void DestroyAllForms();

    // --- Help -----------------------------------------------------------------------------

    // Calls UserHelpContextFunc with id when id is not 0 and the function is set.
    void HelpContext(int id);
    // No help viewer is started by the framework.
    void HelpKeyWord(const std::u16string& aKeyword);
    void Minimize(bool mini);

    // --- Properties -----------------------------------------------------------------------

    TSForm* MainForm() const noexcept { return FMainForm; }
    void SetMainForm(TSForm* form) noexcept { FMainForm = form; }
    TSFormList& FormList() noexcept { return FFormList; }
    TSForm* ApplicationForm() const noexcept { return FApplicationForm; }
    // The hidden application window; null without one.
    HWND Handle() const noexcept;
    const std::u16string& Helpfilename() const noexcept { return FHelpFileName; }
    const TNotificationProc& NotificationProc() const noexcept { return FNotificationProc; }
    void SetNotificationProc(TNotificationProc proc) { FNotificationProc = std::move(proc); }

    TSForm* FMainForm = nullptr;
    TSFormList FFormList;
    TSForm* FApplicationForm = nullptr;
    THelpContextFunc UserHelpContextFunc;
    // Sounds are played.
    bool withSound = true;
    // Set by the command 595 to the hidden window; never reset by the framework.
    bool Notification = false;

private:
    // Dispatches waiting messages of the range (all for 0, 0); keepQuit posts a quit message
    // taken from the queue again, rethrow rethrows the exceptions handlers raised.
    void pumpMessages(UINT first, UINT last, bool keepQuit, bool rethrow);
    // One message of Run: the Cyrillic key rules, the notification command, or the dispatch.
    void runMessage(const MSG& msg);
    // Reports the exceptions that handlers raised while msg was handled.
    void reportPendingExceptions(UINT msg);
    void reportException(const std::exception& E, UINT msg);

    std::u16string FHelpFileName;
    HGLOBAL FSndHnd = nullptr;
    const void* FSndPtr = nullptr;
    TNotificationProc FNotificationProc;
    std::u16string FCurSndName;
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
// creates the screen object, loads the cursors and installs the about box for the forms; the
// end unregisters every window class the framework registered, frees the screen object and
// releases COM when StartComForShell initialised it.
void StartFramework();
void EndFramework();
// Initialises COM for the calling (user-interface) thread, apartment-threaded, as the shell's
// functions require; once between StartFramework and EndFramework, nothing outside them.
// ShellOpen calls it before the first shell call: done at start, the initialisation took a
// sixth of the time to the first painted board under Wine.
void StartComForShell();
