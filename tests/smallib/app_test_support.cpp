// Test helpers for the application, dialogs and menus: a hookable form, dialog drivers, screen shots, the sound file.
#include "tests/smallib/app_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "common/wtext.h"
#include "smallib/application.h"

namespace apptest {

HookForm::HookForm(const std::u16string& name, const std::u16string& menu) : TSForm(nullptr, name, menu, u"", WHITE_BRUSH) {}

int HookForm::HandleCommand(WORD id, WORD NotifyCode) {
    commands.emplace_back(id, NotifyCode);
    if (onCommand)
        if (const std::optional<int> r = onCommand(id, NotifyCode)) return *r;
    if (id == cmStart) return 0;
    return TSForm::HandleCommand(id, NotifyCode);
}

int HookForm::wmLButtonDown(WORD SHift, int x, int y) {
    if (onLButtonDown) return onLButtonDown(x, y);
    return TSForm::wmLButtonDown(SHift, x, y);
}

int HookForm::wmInitMenuPopup(HMENU menu, int position, bool isSystemMenu) {
    if (onInitMenuPopup) onInitMenuPopup(menu, position);
    return TSForm::wmInitMenuPopup(menu, position, isSystemMenu);
}

void HookForm::wmCopyData(ULONG_PTR dwData, DWORD, const void*) { copiedData.push_back(dwData); }

namespace {

thread_local DialogDriver* currentDriver = nullptr;
constexpr UINT_PTR IdleTimerId = 0x7E57;

}  // namespace

DialogDriver::DialogDriver(Action action) : FAction(std::move(action)) {
    currentDriver = this;
    FHook = SetWindowsHookExW(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver() {
    if (FHook) UnhookWindowsHookEx(FHook);
    currentDriver = nullptr;
}

LRESULT CALLBACK DialogDriver::cbtHook(int code, WPARAM wParam, LPARAM lParam) {
    DialogDriver* const self = currentDriver;
    if (self && (code == HCBT_CREATEWND || code == HCBT_ACTIVATE)) {
        HWND const wnd = reinterpret_cast<HWND>(wParam);
        wchar_t cls[16] = {};
        GetClassNameW(wnd, cls, 16);
        if (std::wcscmp(cls, L"#32770") == 0) {
            if (code == HCBT_CREATEWND) {
                const CREATESTRUCTW* cs = reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
                self->FCreatedAt = POINT{cs->x, cs->y};
            } else if (!GetPropW(wnd, L"apptest.seen")) {
                SetPropW(wnd, L"apptest.seen", reinterpret_cast<HANDLE>(1));
                ++self->FSeen;
                // WM_TIMER comes only when nothing else is waiting: the box is set up and painted.
                SetTimer(wnd, IdleTimerId, 1, idleTimer);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogDriver::idleTimer(HWND dlg, UINT, UINT_PTR id, DWORD) {
    // A modal box is shown only when its loop first runs idle, which may come after this timer:
    // then wait for the next idle moment.
    if (!IsWindowVisible(dlg)) return;
    KillTimer(dlg, id);
    UpdateWindow(dlg);
    RemovePropW(dlg, L"apptest.seen");
    if (currentDriver && currentDriver->FAction) currentDriver->FAction(dlg);
}

void clickButton(HWND dlg, int id) { PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

bool saveScreenShot(const std::u16string& path) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    HDC const screen = GetDC(nullptr);
    HDC const mem = CreateCompatibleDC(screen);
    HBITMAP const bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ const old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) / 4) * 4;
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(h));
    const int lines = GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (lines != h) return false;

    BITMAPFILEHEADER bf{};
    bf.bfType = 0x4D42;  // "BM"
    bf.bfOffBits = sizeof bf + sizeof bi;
    bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE const file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, &bf, sizeof bf, &written, nullptr) && WriteFile(file, &bi, sizeof bi, &written, nullptr) &&
              WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(file);
    return ok;
}

std::u16string audioFile() {
    wchar_t unixPath[1024] = {};
    const DWORD n = GetEnvironmentVariableW(L"TESS_AUDIO_RAW", unixPath, 1024);
    if (n == 0 || n >= 1024) return {};
    // Wine maps the Unix root to drive Z:.
    std::u16string path = u"Z:" + U(unixPath, n);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
}

std::int64_t fileSize(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::int64_t soundSamples(const std::u16string& path) {
    HANDLE const file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::int64_t count = 0;
    std::vector<std::int16_t> buf(8192);
    DWORD read = 0;
    while (ReadFile(file, buf.data(), static_cast<DWORD>(buf.size() * sizeof(std::int16_t)), &read, nullptr) && read > 0)
        count += std::count_if(buf.begin(), buf.begin() + read / sizeof(std::int16_t), [](std::int16_t v) { return v != 0; });
    CloseHandle(file);
    return count;
}

}  // namespace apptest
