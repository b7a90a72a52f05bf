// Helpers shared by the Windows test programs: key states, typed keys, message pumps, captured boxes, answered dialogs, a watchdog, form creation.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "common/message_box.h"
#include "smallib/form.h"

namespace wintest {

// A form of class F, created as the program creates its forms; the test fails when the window
// cannot be created.
template <class F, class... Args>
F* makeForm(Args&&... args) {
    F* form = TSForm::CreateForm<F>(std::forward<Args>(args)...);
    EXPECT_NE(form, nullptr);
    return form;
}

// Sets the thread's key state of the given virtual keys to "down" for its lifetime.
class KeysDown {
public:
    explicit KeysDown(std::initializer_list<int> keys);
    explicit KeysDown(const std::vector<int>& keys);
    ~KeysDown();
    KeysDown(const KeysDown&) = delete;
    KeysDown& operator=(const KeysDown&) = delete;

private:
    void press(const int* first, const int* last);

    BYTE FSaved[256] = {};
};

// Presses and releases keys through the system's input queue, as the keyboard does: modifiers
// first, then key, then everything released in reverse order.
void typeKeys(std::initializer_list<WORD> modifiers, WORD key);

// Dispatches the messages waiting in this thread's queue up to a WM_QUIT, which stays waiting
// for the test that looks for it.
void pumpMessagesLeavingQuit();
// Dispatches every message waiting in this thread's queue; a WM_QUIT among them is dropped.
void pumpMessagesDroppingQuit();
// Empties this thread's queue without dispatching anything.
void discardMessages();
// Whether a WM_QUIT is waiting (and takes it out of the queue).
bool takeQuitMessage();

// A box shown through the program's modal-box gate.
struct ShownBox {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT style;
};

// Answers every modal box with answer for its lifetime and records what was shown.
class BoxCapture {
public:
    explicit BoxCapture(int answer = IDOK);
    const std::vector<ShownBox>& boxes() const { return *FBoxes; }

private:
    std::shared_ptr<std::vector<ShownBox>> FBoxes = std::make_shared<std::vector<ShownBox>>();
    ScopedModalBoxFunction FScope;
};

// Ends a stuck test: unless disarmed within the time, runs expire with the watched thread
// (by default: WM_CLOSE to every dialog of the thread and a quit message with code 0xDEAD to
// it) and remembers that it fired. A safety net for CI only; tests never depend on the time it
// allows.
class Watchdog {
public:
    using Expiry = std::function<void(DWORD thread)>;
    explicit Watchdog(int seconds = 60, Expiry expire = closeDialogsAndQuit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    bool fired() const { return FFired; }

    static void closeDialogsAndQuit(DWORD thread);

private:
    DWORD FThread;
    std::mutex FMutex;
    std::condition_variable FDone;
    bool FDisarmed = false;
    std::atomic<bool> FFired{false};
    std::thread FWorker;
};

// Answers every dialog box ("#32770") this thread activates with a command, and counts them.
// Its watchdog cancels every window of the thread still open after a generous time, so a stuck
// box cannot hang the run; the test then fails on the count it expected.
class DialogAnswer {
public:
    explicit DialogAnswer(WORD answer);
    ~DialogAnswer();
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    int seen() const { return FSeen; }

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);

    struct Unhook {
        void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
    };

    WORD FAnswer;
    int FSeen = 0;
    // Declared before the watchdog: the hook stays until the watchdog has stopped.
    std::unique_ptr<std::remove_pointer_t<HHOOK>, Unhook> FHook;
    Watchdog FWatchdog;
};

}  // namespace wintest
