// The program's main block: the units start in dependency order, the game runs, and everything ends in reverse.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "common/common_unit.h"
#include "common/later_windows.h"
#include "common/message_box.h"
#include "common/msgbox.h"
#include "common/program_path.h"
#include "common/registry.h"
#include "common/resource_modules.h"
#include "common/startup_trace.h"
#include "common/system_info.h"
#include "common/wtext.h"
#include "game/puzzle_form.h"
#include "settings/user_settings.h"
#include "settings/user_settings_file.h"
#include "smallib/about_box.h"
#include "smallib/application.h"
#include "smallib/form.h"
#include "smallib/report.h"

namespace {

// Ends a unit when the scope closes, so that a start-up that fails half-way still ends every
// unit that had started, in reverse order.
class UnitEnd {
public:
    explicit UnitEnd(void (*end)()) noexcept : FEnd(end) {}
    ~UnitEnd() { FEnd(); }
    UnitEnd(const UnitEnd&) = delete;
    UnitEnd& operator=(const UnitEnd&) = delete;

private:
    void (*FEnd)();
};

void endUserSettings() { UserSettings.reset(); }  // writes what is pending

// The program file's name, as the mail link's subject.
std::u16string programFileName() { return ProgramPath.substr(ProgramPath.find_last_of(u'\\') + 1); }

// The program's full path with its extension replaced by ".hlp".
std::u16string helpFileName() {
    const std::size_t dot = ProgramPath.find_last_of(u'.');
    const std::size_t separator = ProgramPath.find_last_of(u'\\');
    const bool hasExtension = dot != std::u16string::npos && (separator == std::u16string::npos || dot > separator);
    return (hasExtension ? ProgramPath.substr(0, dot) : ProgramPath) + u".hlp";
}

std::unique_ptr<TAboutInfo> makeAboutInfo(HICON icon) {
    auto info = std::make_unique<TAboutInfo>();
    info->Icon = icon;
    info->Line1 = u"Tessarino 4.0";
    info->CopyRight = u"© Tessarino-Projekt 2026";
    info->Mail = std::u16string(MakerMail) + u"?subject=" + programFileName();
    info->WWW = std::u16string(MakerWebSite);
    info->BitMapName = u"LPZSKLI.BR";
    info->ShowRes = true;
    return info;
}

// For the start-up benchmark and trace. When TESS_STARTUP_MARK names a file, the time at which
// the board has settled (Unix time in nanoseconds) is written there and the game closes again;
// TESS_STARTUP_TRACE (common/startup_trace.h) ends its trace at that moment.
// Run paints the window before its loop takes the first message, so a command posted to the
// application's window before Run arrives just after that paint; a paint that the first one
// asked for (the cells at their real width) is still pending then, and is made first.
void armStartupMark(TSApplication& app) {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"TESS_STARTUP_MARK", path, MAX_PATH);
    const bool mark = n > 0 && n < MAX_PATH;
    if (!mark && !StartupTraceOn()) return;
    app.SetNotificationProc([mark, file = std::u16string(U(path, n))](LPARAM) {
        if (MainWnd) UpdateWindow(MainWnd);
        const std::int64_t settled = UnixTimeNs();
        TraceStartup("board settled");
        EndStartupTrace();
        if (!mark) return;
        const std::u16string text = DecimalText(settled) + u"\n";
        WriteStartupFile(W(file), std::string(text.begin(), text.end()), false);  // digits only
        if (MainWnd) PostMessageW(MainWnd, WM_CLOSE, 0, 0);
    });
    PostMessageW(app.Handle(), WM_COMMAND, cmNotificationProc, 0);
}

int runGame() {
    // The settings unit starts with nothing to do and ends last, freeing (and so saving) the
    // settings after every window has written its values.
    const UnitEnd settingsUnit(endUserSettings);
    TraceStartup("main block");
    // A trace of a start-up that never reached its settled board is still written.
    const UnitEnd trace(EndStartupTrace);

    StartCommonUnit();
    const UnitEnd commonUnit(EndCommonUnit);
    TraceStartup("common unit");
    // A box that shows its messages: a non-visual unit's report (a malformed Windows folder,
    // undecodable bytes in the settings file) is shown and the program goes on.
    MsgBox = std::make_unique<TGameMsgBox>();

    StartResourceModulesUnit();
    const UnitEnd resourceUnit(EndResourceModulesUnit);
    TraceStartup("resource modules");
    StartRegistryUnit();
    const UnitEnd registryUnit(EndRegistryUnit);
    TraceStartup("registry unit");
    StartSystemInfoUnit();
    const UnitEnd systemInfoUnit(EndSystemInfoUnit);
    TraceStartup("system information and folders");
    StartFramework();
    const UnitEnd framework(EndFramework);
    TraceStartup("framework");

    UserSettings = OpenUserSettings(u"Kvor\\Zib");
    TraceStartup("settings opened");

    const IconHandle icon = LoadIconByName(u"MAINICON");
    const std::unique_ptr<TAboutInfo> about = makeAboutInfo(icon.get());
    AboutInfo = about.get();
    struct AboutInfoEnd {
        ~AboutInfoEnd() { AboutInfo = nullptr; }
    } const aboutInfoEnd;
    TraceStartup("icon and about record");

    // Destroyed before the about record: the application destroys the remaining windows.
    const auto app = std::make_unique<TSApplication>(u"S-Zib_", u"MAINICON", helpFileName());
    TraceStartup("application object");
    CreatePuzzleForm();
    TraceStartup("puzzle window created");
    armStartupMark(*app);
    return app->Run();
}

// Shown when the program cannot go on; the units have ended already, so straight to the box.
void reportFatal(const std::u16string& text) {
    const std::u16string msg = u"Tessarino musste wegen eines Fehlers beendet werden:\n\n" + text;
    modalBox(nullptr, W(msg), L"Tessarino", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return runGame();
    } catch (const std::exception& e) {
        reportFatal(ExceptionText(e));
    } catch (...) {
        reportFatal(u"unbekannter Fehler");
    }
    return 1;
}
