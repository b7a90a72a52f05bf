// Test helpers for the application, dialogs and menus: a hookable form, dialog drivers, screen shots, the sound file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "smallib/form.h"
#include "tests/support/win_test_support.h"

namespace apptest {

using wintest::BoxCapture;
using wintest::discardMessages;
using wintest::KeysDown;
using wintest::makeForm;
using wintest::pumpMessagesDroppingQuit;
using wintest::ShownBox;
using wintest::typeKeys;
using wintest::Watchdog;

// A form whose handlers a test can replace. It answers the start command 20 of the message
// loop itself, so that no diagnostic box appears.
class HookForm : public TSForm {
public:
    explicit HookForm(const std::u16string& name, const std::u16string& menu = u"");

    int HandleCommand(WORD id, WORD NotifyCode) override;
    int wmLButtonDown(WORD SHift, int x, int y) override;
    int wmInitMenuPopup(HMENU menu, int position, bool isSystemMenu) override;
    void wmCopyData(ULONG_PTR dwData, DWORD cbData, const void* lpData) override;

    // Answers a command; no value lets the form's own handling run.
    std::function<std::optional<int>(WORD id, WORD NotifyCode)> onCommand;
    std::function<int(int x, int y)> onLButtonDown;
    std::function<void(HMENU menu, int position)> onInitMenuPopup;

    std::vector<std::pair<WORD, WORD>> commands;  // every command the form was given
    std::vector<ULONG_PTR> copiedData;            // dwData of every WM_COPYDATA routed here
};

// Runs action on every dialog box (class "#32770") this thread opens while the object lives,
// once the box is idle: fully initialised and painted. The action closes the box.
class DialogDriver {
public:
    using Action = std::function<void(HWND dlg)>;
    explicit DialogDriver(Action action);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    int dialogsSeen() const { return FSeen; }
    // The position at which the last dialog was created (before it moved itself).
    POINT createdAt() const { return FCreatedAt; }
    bool timedOut() const { return FWatchdog.fired(); }

private:
    static LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK idleTimer(HWND dlg, UINT, UINT_PTR id, DWORD);

    Action FAction;
    HHOOK FHook = nullptr;
    int FSeen = 0;
    POINT FCreatedAt{};
    Watchdog FWatchdog;
};

// Presses a push button of a dialog as a click would.
void clickButton(HWND dlg, int id);

// Writes the screen (the whole X display) as a 24-bit BMP file; false on failure.
bool saveScreenShot(const std::u16string& path);

// The file that ALSA writes the played sound into (TESS_AUDIO_RAW, as a Windows path); empty
// when sound is not captured.
std::u16string audioFile();
// Its size in bytes; -1 when it does not exist.
std::int64_t fileSize(const std::u16string& path);
// The number of 16-bit samples in it that are not silent (0 for a missing file). The audio
// output pads an underrun with silence, so this counts what was played, however late.
std::int64_t soundSamples(const std::u16string& path);

}  // namespace apptest
