// Helpers shared by the Windows test programs: key states, typed keys, message pumps, captured boxes, answered dialogs, a watchdog.
#include "tests/support/win_test_support.h"

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <iterator>

#include "common/wtext.h"

namespace wintest {

KeysDown::KeysDown(std::initializer_list<int> keys) { press(keys.begin(), keys.end()); }

KeysDown::KeysDown(const std::vector<int>& keys) { press(keys.data(), keys.data() + keys.size()); }

void KeysDown::press(const int* first, const int* last) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    std::copy(std::begin(FSaved), std::end(FSaved), std::begin(state));
    for (const int* k = first; k != last; ++k) state[*k] = 0x80;
    SetKeyboardState(state);
}

KeysDown::~KeysDown() { SetKeyboardState(FSaved); }

void typeKeys(std::initializer_list<WORD> modifiers, WORD key) {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, DWORD flags) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = flags;
        inputs.push_back(in);
    };
    for (const WORD m : modifiers) add(m, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) add(*m, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void pumpMessagesLeavingQuit() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Taken out by the peek: post it again for the test that looks for it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void pumpMessagesDroppingQuit() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void discardMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

bool takeQuitMessage() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

BoxCapture::BoxCapture(int answer)
    : FScope([boxes = FBoxes, answer](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
          boxes->push_back(ShownBox{owner, U(text), U(caption), style});
          return answer;
      }) {}

namespace {

bool isDialogBox(HWND wnd) {
    wchar_t cls[16] = {};
    GetClassNameW(wnd, cls, 16);
    return std::wcscmp(cls, L"#32770") == 0;
}

}  // namespace

void Watchdog::closeDialogsAndQuit(DWORD thread) {
    EnumThreadWindows(
        thread,
        [](HWND wnd, LPARAM) -> BOOL {
            if (isDialogBox(wnd)) PostMessageW(wnd, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
    PostThreadMessageW(thread, WM_QUIT, 0xDEAD, 0);
}

Watchdog::Watchdog(int seconds, Expiry expire) : FThread(GetCurrentThreadId()) {
    FWorker = std::thread([this, seconds, expire = std::move(expire)] {
        std::unique_lock lock(FMutex);
        if (FDone.wait_for(lock, std::chrono::seconds(seconds), [this] { return FDisarmed; })) return;
        FFired = true;
        expire(FThread);
    });
}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(FMutex);
        FDisarmed = true;
    }
    FDone.notify_one();
    FWorker.join();
}

namespace {

thread_local DialogAnswer* currentAnswer = nullptr;

void cancelEveryWindow(DWORD thread) {
    EnumThreadWindows(
        thread,
        [](HWND wnd, LPARAM) -> BOOL {
            PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        },
        0);
}

}  // namespace

DialogAnswer::DialogAnswer(WORD answer)
    : FAnswer(answer),
      FHook(SetWindowsHookExW(WH_CBT, hook, nullptr, GetCurrentThreadId())),
      FWatchdog(60, cancelEveryWindow) {
    currentAnswer = this;
}

DialogAnswer::~DialogAnswer() { currentAnswer = nullptr; }

LRESULT CALLBACK DialogAnswer::hook(int code, WPARAM wParam, LPARAM lParam) {
    DialogAnswer* const self = currentAnswer;
    if (code == HCBT_ACTIVATE && self && isDialogBox(reinterpret_cast<HWND>(wParam))) {
        ++self->FSeen;
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, self->FAnswer, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace wintest
