// The modules searched for resources, and icons loaded by resource name or from an ".ICO" file.
#include "common/resource_modules.h"

#include <shellapi.h>

#include <string>

#include "common/wtext.h"

std::unique_ptr<TStringList> ResourceModules;

namespace {

// The extension of a file name, upper-cased ASCII, dot included; empty when there is none.
std::u16string upperExtension(std::u16string_view name) {
    const auto dot = name.find_last_of(u'.');
    const auto folder = name.find_last_of(u"\\/:");
    if (dot == std::u16string_view::npos || (folder != std::u16string_view::npos && folder > dot)) return {};
    std::u16string ext(name.substr(dot));
    for (char16_t& c : ext)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return ext;
}

}  // namespace

void StartResourceModulesUnit() {
    ResourceModules = std::make_unique<TStringList>();
    ResourceModules->AddObject(u"", GetModuleHandleW(nullptr));
}

void EndResourceModulesUnit() {
    if (!ResourceModules) return;
    const HMODULE own = GetModuleHandleW(nullptr);
    for (int i = ResourceModules->Count() - 1; i >= 0; --i) {
        const HMODULE module = ResourceModules->ObjectAs<HINSTANCE__>(i);
        if (module && module != own) FreeLibrary(module);
    }
    ResourceModules.reset();
}

IconHandle LoadIconByName(std::u16string_view name) {
    const std::u16string n(name);
    if (upperExtension(name) == u".ICO") {
        const HICON icon = ExtractIconW(GetModuleHandleW(nullptr), W(n), 0);
        // ExtractIconW answers 1 for a file that is no icon file, executable or library;
        // that is not a handle anybody could use or destroy.
        if (icon == reinterpret_cast<HICON>(static_cast<INT_PTR>(1))) return {};
        return IconHandle(icon, true);
    }
    if (!ResourceModules) return {};
    for (int i = ResourceModules->Count() - 1; i >= 0; --i) {
        const HMODULE module = ResourceModules->ObjectAs<HINSTANCE__>(i);
        if (!module) continue;
        if (const HICON icon = LoadIconW(module, W(n))) return IconHandle(icon, false);
    }
    return {};
}

IconHandle LoadSmallIconByName(std::u16string_view name) {
    if (upperExtension(name) == u".ICO" || !ResourceModules) return {};
    const std::u16string n(name);
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    for (int i = ResourceModules->Count() - 1; i >= 0; --i) {
        const HMODULE module = ResourceModules->ObjectAs<HINSTANCE__>(i);
        if (!module) continue;
        if (const auto icon = static_cast<HICON>(LoadImageW(module, W(n), IMAGE_ICON, cx, cy, LR_SHARED)))
            return IconHandle(icon, false);
    }
    return {};
}
