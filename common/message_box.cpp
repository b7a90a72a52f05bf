// The program's message boxes with optional resource sounds, and the one gate every modal box passes.
#include "common/message_box.h"

#include <mmsystem.h>

#include <iterator>
#include <string>
#include <utility>

#include "common/lazy_library.h"
#include "common/wtext.h"

namespace {

ModalBoxFunction& currentModalBox() {
    static ModalBoxFunction fn;
    return fn;
}

}  // namespace

int modalBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    const ModalBoxFunction& fn = currentModalBox();
    return fn ? fn(owner, text, caption, style) : MessageBoxW(owner, text, caption, style);
}

ModalBoxFunction setModalBoxFunction(ModalBoxFunction fn) { return std::exchange(currentModalBox(), std::move(fn)); }

int ShowMessageBox(HWND owner, std::u16string_view msg, std::uint16_t flags) {
    // Some callers pass 0xFFFF where they mean "no window".
    if (owner == reinterpret_cast<HWND>(static_cast<INT_PTR>(0xFFFF))) owner = nullptr;
    if (!msg.empty() && msg.front() == u'$') {
        const auto space = msg.find(u' ');
        PlayResourceSound(msg.substr(1, space == std::u16string_view::npos ? std::u16string_view::npos : space - 1));
        if (space == std::u16string_view::npos) return 0;
        msg.remove_prefix(space + 1);
        if (msg.empty()) return 0;
    }
    if (!msg.empty() && msg.front() == u'!') msg.remove_prefix(1);

    std::u16string caption = u"???";
    if (owner) {
        wchar_t buf[253] = {};
        const int n = GetWindowTextW(owner, buf, static_cast<int>(std::size(buf)));
        caption = U(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    const std::u16string text(msg);
    return modalBox(owner, W(text), W(caption), flags);
}

std::uint16_t InfoBox(HWND owner, std::u16string_view msg) {
    return static_cast<std::uint16_t>(ShowMessageBox(owner, msg, MB_ICONINFORMATION));
}

void PlayResourceSound(std::u16string_view name) {
    UINT flags = SND_MEMORY | SND_ASYNC;
    if (!name.empty() && name.front() == u'!') {
        name.remove_prefix(1);
        flags = SND_MEMORY;
    }
    if (name.empty()) return;
    const std::u16string resName(name);
    const HMODULE module = GetModuleHandleW(nullptr);
    // A loaded resource stays mapped with the module, so a sound playing in the background
    // keeps valid data after this returns; there is nothing to free.
    const HRSRC info = FindResourceW(module, W(resName), RT_RCDATA);
    if (!info) return;
    const HGLOBAL res = LoadResource(module, info);
    const void* data = res ? LockResource(res) : nullptr;
    if (!data) return;
    static const auto play = LazyFunction<decltype(&sndPlaySoundW)>(L"winmm.dll", "sndPlaySoundW");
    if (play) play(static_cast<const wchar_t*>(data), flags);
}
