// A probe for the end-to-end script: finds the game's windows from another process and reads or presses them.
//
//   e2e_probe client <caption>      the client width and height of the top-level window
//   e2e_probe box <caption> [press] the texts of the message box with that caption, one a line
//                                   (UTF-8); with "press" its OK button is pressed afterwards,
//                                   and the probe returns once the box has closed
//   e2e_probe menu                  waits for an open pop-up menu
//   e2e_probe gone <caption>        waits until no message box with that caption is shown
//
// Each waits up to ten seconds for its window; exit code 1 when none appeared (or a pressed box
// did not close), 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int PollMilliseconds = 100;
constexpr int PollRounds = 100;

std::string utf8(const std::wstring& s) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Another process's window text; WM_GETTEXT is marshalled across processes by the system.
std::wstring textOf(HWND w) {
    wchar_t buffer[1024] = {};
    SendMessageW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

enum class Kind { Window, Dialog, Menu };

struct Search {
    const wchar_t* caption;
    Kind kind;
    HWND found;
};

BOOL CALLBACK matchTopLevel(HWND w, LPARAM lParam) {
    auto& s = *reinterpret_cast<Search*>(lParam);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    const std::wstring name = cls;
    const Kind kind = name == L"#32770" ? Kind::Dialog : name == L"#32768" ? Kind::Menu : Kind::Window;
    if (kind == s.kind && IsWindowVisible(w) && (!s.caption || textOf(w) == s.caption)) {
        s.found = w;
        return FALSE;
    }
    return TRUE;
}

// Any visible window of that kind when caption is null.
HWND waitFor(const wchar_t* caption, Kind kind) {
    for (int i = 0; i < PollRounds; ++i) {
        Search s{caption, kind, nullptr};
        EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(PollMilliseconds);
    }
    return nullptr;
}

// A box is hidden before its owner is enabled again, and destroyed after: only then may the
// next click go to the owner.
bool waitGone(HWND w) {
    for (int i = 0; i < PollRounds; ++i) {
        if (!IsWindow(w)) return true;
        Sleep(PollMilliseconds);
    }
    return false;
}

BOOL CALLBACK printStatic(HWND w, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (lstrcmpiW(cls, L"Static") == 0) {
        const std::wstring text = textOf(w);
        if (!text.empty()) std::printf("%s\n", utf8(text).c_str());
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"menu") return waitFor(nullptr, Kind::Menu) ? 0 : 1;
    if (argc < 3) return 2;
    const std::wstring what = argv[1];
    const wchar_t* caption = argv[2];
    if (what == L"client") {
        HWND const w = waitFor(caption, Kind::Window);
        if (!w) return 1;
        RECT r{};
        GetClientRect(w, &r);
        std::printf("%ld %ld\n", r.right, r.bottom);
        return 0;
    }
    if (what == L"gone") {
        // Without a window manager Wine may take seconds to take a box down, and the program
        // goes on only when it is gone.
        for (int i = 0; i < PollRounds; ++i) {
            Search s{caption, Kind::Dialog, nullptr};
            EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&s));
            if (!s.found) return 0;
            Sleep(PollMilliseconds);
        }
        return 1;
    }
    if (what == L"box") {
        HWND const w = waitFor(caption, Kind::Dialog);
        if (!w) return 1;
        EnumChildWindows(w, printStatic, 0);
        std::fflush(stdout);
        if (argc > 3 && std::wstring(argv[3]) == L"press") {
            PostMessageW(w, WM_COMMAND, IDOK, 0);
            return waitGone(w) ? 0 : 1;
        }
        return 0;
    }
    return 2;
}
