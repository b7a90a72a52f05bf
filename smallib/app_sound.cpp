// The application's sounds: WAVE images from the program's raw-data resources, one held at a time.
#include "smallib/application.h"

#include <mmsystem.h>

#include "common/lazy_library.h"
#include "common/wtext.h"

void TSApplication::playSound(const std::u16string& nm) {
    if (!withSound) return;
    const bool wait = !nm.empty() && nm.front() == u'!';
    const std::u16string name = wait ? nm.substr(1) : nm;
    // Exact comparison: "up" after "UP" loads again, and both find the same resource.
    if (name != FCurSndName) {
        clearSnd();
        FCurSndName = name;
        HMODULE const module = GetModuleHandleW(nullptr);
        if (HRSRC const info = name.empty() ? nullptr : FindResourceW(module, W(name), RT_RCDATA)) {
            FSndHnd = LoadResource(module, info);
            FSndPtr = FSndHnd ? LockResource(FSndHnd) : nullptr;
        }
    }
    // The image stays mapped with the module, so a sound still playing in the background keeps
    // valid data when the next one is loaded.
    static const auto play = LazyFunction<decltype(&sndPlaySoundW)>(L"winmm.dll", "sndPlaySoundW");
    if (FSndPtr && play) play(static_cast<const wchar_t*>(FSndPtr), SND_MEMORY | (wait ? 0 : SND_ASYNC));
}

void TSApplication::clearSnd() {
    if (!FSndPtr && !FSndHnd) return;
    if (FSndHnd) FreeResource(FSndHnd);
    FSndHnd = nullptr;
    FSndPtr = nullptr;
    FCurSndName.clear();
}
