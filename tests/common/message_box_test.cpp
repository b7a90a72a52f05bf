// Tests of the message boxes: caption, sound prefix and flags through the modal-box gate, a real
// box closed by a hook, and resource sounds played into the session's audio file.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/message_box.h"
#include "common/wtext.h"

namespace {

std::string utf8(const std::u16string& s) {
    std::string r;
    for (const char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
}

struct BoxCall {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT style;
};

// Records every box and answers it with a fixed button.
class BoxRecorder {
public:
    BoxRecorder()
        : FScope([this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
              calls.push_back({owner, U(text), U(caption), style});
              return 42;
          }) {}
    std::vector<BoxCall> calls;

private:
    ScopedModalBoxFunction FScope;
};

// A top-level window with a caption, destroyed with the object.
class CaptionWindow {
public:
    explicit CaptionWindow(const std::u16string& caption)
        : FWnd(CreateWindowExW(0, L"STATIC", W(caption), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {}
    ~CaptionWindow() {
        if (FWnd) DestroyWindow(FWnd);
    }
    CaptionWindow(const CaptionWindow&) = delete;
    CaptionWindow& operator=(const CaptionWindow&) = delete;
    HWND get() const { return FWnd; }

private:
    HWND FWnd;
};

TEST(ShowMessageBox, MessageCaptionAndFlagsReachTheGate) {
    const std::u16string longCaption(300, u'c');
    CaptionWindow titled(u"Tessarino Caption");
    CaptionWindow exact(std::u16string(252, u'e'));
    CaptionWindow tooLong(longCaption);
    CaptionWindow untitled(u"");
    ASSERT_TRUE(titled.get() && exact.get() && tooLong.get() && untitled.get());
    const HWND noOwnerMark = reinterpret_cast<HWND>(static_cast<INT_PTR>(0xFFFF));
    struct Row {
        const char* name;
        HWND owner;
        std::u16string msg;
        std::uint16_t flags;
        bool shown;
        HWND expectedOwner;
        std::u16string text;
        std::u16string caption;
    } const rows[] = {
        {"no owner", nullptr, u"Hello", MB_OK, true, nullptr, u"Hello", u"???"},
        {"0xFFFF is no owner", noOwnerMark, u"Hello", MB_OK, true, nullptr, u"Hello", u"???"},
        {"owner caption", titled.get(), u"Hello", 0x31, true, titled.get(), u"Hello", u"Tessarino Caption"},
        {"caption of 252", exact.get(), u"x", 0x24, true, exact.get(), u"x", std::u16string(252, u'e')},
        {"caption cut at 252", tooLong.get(), u"x", 0x40, true, tooLong.get(), u"x", longCaption.substr(0, 252)},
        {"owner without caption", untitled.get(), u"x", 0x40, true, untitled.get(), u"x", u""},
        {"leading ! dropped", nullptr, u"!Achtung", 0x30, true, nullptr, u"Achtung", u"???"},
        {"only one ! dropped", nullptr, u"!!x", 0, true, nullptr, u"!x", u"???"},
        {"sound, then text", nullptr, u"$TESTSND Hello world", 0x40, true, nullptr, u"Hello world", u"???"},
        {"sound, then ! text", nullptr, u"$!TESTSND !Hi", 0x40, true, nullptr, u"Hi", u"???"},
        {"missing sound, text", nullptr, u"$nosuchsound Hi", 0x40, true, nullptr, u"Hi", u"???"},
        {"sound alone", nullptr, u"$TESTSND", 0x40, false, nullptr, u"", u""},
        {"sound and a space", nullptr, u"$TESTSND ", 0x40, false, nullptr, u"", u""},
        {"empty message", nullptr, u"", 0, true, nullptr, u"", u"???"},
        {"$ in the middle", nullptr, u"a $b c", 0, true, nullptr, u"a $b c", u"???"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BoxRecorder boxes;
        const std::u16string before = row.msg;
        const int result = ShowMessageBox(row.owner, row.msg, row.flags);
        EXPECT_EQ(row.msg, before);
        if (!row.shown) {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(boxes.calls.empty());
            continue;
        }
        EXPECT_EQ(result, 42);
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].owner, row.expectedOwner);
        EXPECT_EQ(boxes.calls[0].text, row.text) << utf8(boxes.calls[0].text);
        EXPECT_EQ(boxes.calls[0].caption, row.caption) << utf8(boxes.calls[0].caption);
        EXPECT_EQ(boxes.calls[0].style, row.flags);
    }
    sndPlaySoundW(nullptr, 0);
}

TEST(ShowMessageBox, InfoBoxShowsInformation) {
    BoxRecorder boxes;
    EXPECT_EQ(InfoBox(nullptr, u"Info"), 42);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].style, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(boxes.calls[0].text, u"Info");
}

TEST(ModalBoxGate, ScopesNestAndRestore) {
    std::vector<int> seen;
    {
        ScopedModalBoxFunction outer([&seen](HWND, const wchar_t*, const wchar_t*, UINT) {
            seen.push_back(1);
            return 1;
        });
        {
            ScopedModalBoxFunction inner([&seen](HWND, const wchar_t*, const wchar_t*, UINT) {
                seen.push_back(2);
                return 2;
            });
            EXPECT_EQ(modalBox(nullptr, L"a", L"b", 0), 2);
        }
        EXPECT_EQ(modalBox(nullptr, L"a", L"b", 0), 1);
        // An empty function means the system's box; the scope gives the previous one back.
        const ModalBoxFunction previous = setModalBoxFunction(nullptr);
        EXPECT_TRUE(static_cast<bool>(previous));
        setModalBoxFunction(previous);
        EXPECT_EQ(modalBox(nullptr, L"a", L"b", 0), 1);
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 1, 1}));
}

// Closes the message boxes of this thread with IDOK as soon as they are activated, and
// records their captions and texts. A watchdog cancels a box the hook missed, so the test
// fails instead of hanging.
class BoxCloser {
public:
    BoxCloser() : FThread(GetCurrentThreadId()), FDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        current = this;
        FHook = SetWindowsHookExW(WH_CBT, &BoxCloser::hookProc, nullptr, FThread);
        FWatchdog = std::thread([this] {
            if (WaitForSingleObject(FDone, 30000) == WAIT_TIMEOUT)
                EnumThreadWindows(FThread, &BoxCloser::cancelBox, 0);
        });
    }
    ~BoxCloser() {
        SetEvent(FDone);
        FWatchdog.join();
        if (FHook) UnhookWindowsHookEx(FHook);
        CloseHandle(FDone);
        current = nullptr;
    }
    BoxCloser(const BoxCloser&) = delete;
    BoxCloser& operator=(const BoxCloser&) = delete;

    bool hooked() const { return FHook != nullptr; }
    std::vector<std::u16string> captions;
    std::vector<std::u16string> texts;

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current) {
            const HWND wnd = reinterpret_cast<HWND>(wParam);
            wchar_t cls[16] = {};
            GetClassNameW(wnd, cls, 16);
            if (std::wstring(cls) == L"#32770") {
                wchar_t buf[512] = {};
                GetWindowTextW(wnd, buf, 512);
                current->captions.push_back(U(buf));
                buf[0] = 0;
                GetDlgItemTextW(wnd, 0xFFFF, buf, 512);
                current->texts.push_back(U(buf));
                PostMessageW(wnd, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static BOOL CALLBACK cancelBox(HWND wnd, LPARAM) {
        PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    static inline BoxCloser* current = nullptr;
    DWORD FThread;
    HANDLE FDone;
    HHOOK FHook = nullptr;
    std::thread FWatchdog;
};

TEST(ModalBoxGate, DefaultIsTheSystemMessageBox) {
    BoxCloser closer;
    ASSERT_TRUE(closer.hooked());
    EXPECT_EQ(ShowMessageBox(nullptr, u"!Hallo Welt", MB_OK | MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(closer.captions.size(), 1u);
    EXPECT_EQ(closer.captions[0], u"???");
    EXPECT_EQ(closer.texts[0], u"Hallo Welt");
}

// --- Resource sounds ------------------------------------------------------------------------

// The file into which the test session routes all sound (Z: is the Unix root under Wine);
// empty without one. Each time the sound device is opened the file is written anew.
std::u16string audioFile() {
    const char* path = std::getenv("TESS_AUDIO_RAW");
    if (!path || !*path) return {};
    std::u16string p = u"Z:";
    for (const char* c = path; *c; ++c) p += *c == '/' ? u'\\' : static_cast<char16_t>(static_cast<unsigned char>(*c));
    return p;
}

// Bytes in the audio file, -1 when there is none.
long long audioBytes(const std::u16string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(W(file), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST(ResourceSound, SynchronousSoundIsPlayedBeforeReturning) {
    const std::u16string file = audioFile();
    if (file.empty()) GTEST_SKIP() << "no audio file in this session (TESS_AUDIO_RAW)";
    sndPlaySoundW(nullptr, 0);
    struct Row {
        const char* name;
        std::u16string msg;  // through ShowMessageBox, else PlayResourceSound
        std::u16string sound;
        bool played;
    } const rows[] = {
        {"missing resource", u"", u"!nosuchsound", false},
        {"box prefix, any letter case", u"$!testsnd", u"", true},
        {"direct", u"", u"!TESTSND", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileW(W(file));
        ASSERT_EQ(audioBytes(file), -1);
        if (!row.msg.empty()) {
            EXPECT_EQ(ShowMessageBox(nullptr, row.msg, MB_OK), 0);
        } else {
            PlayResourceSound(row.sound);
        }
        // 0.1 s of 8-bit mono at 8000 Hz: at least 800 bytes whatever the device makes of it.
        if (row.played) {
            EXPECT_GE(audioBytes(file), 800);
        } else {
            EXPECT_EQ(audioBytes(file), -1);
        }
    }
}

}  // namespace
