// The modules searched for resources, and icons loaded by resource name or from an ".ICO" file.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <utility>

#include "common/string_list.h"

// --- Start and end of the unit -------------------------------------------------------------

// Creates ResourceModules holding the program's own module.
void StartResourceModulesUnit();
// Releases every module in ResourceModules other than the program's own (FreeLibrary), then
// frees the list.
void EndResourceModulesUnit();

// The modules in which resources are looked up, searched from the last entry to the first.
// Each entry has an empty text and carries its module handle, attached as a plain (not owned)
// HINSTANCE__ pointer: ObjectAs<HINSTANCE__>(i). A module added here (LoadLibraryExW) belongs
// to the list from then on and is released by EndResourceModulesUnit.
extern std::unique_ptr<TStringList> ResourceModules;

// --- Icons --------------------------------------------------------------------------------

// An icon handle that destroys the icon when it owns it. Icons taken from a file are owned;
// icons of a resource module are shared by the system and must not be destroyed.
class IconHandle {
public:
    IconHandle() = default;
    IconHandle(HICON icon, bool owned) noexcept : FIcon(icon), FOwned(owned && icon) {}
    ~IconHandle() { reset(); }
    IconHandle(IconHandle&& other) noexcept
        : FIcon(std::exchange(other.FIcon, nullptr)), FOwned(std::exchange(other.FOwned, false)) {}
    IconHandle& operator=(IconHandle&& other) noexcept {
        if (this != &other) {
            reset();
            FIcon = std::exchange(other.FIcon, nullptr);
            FOwned = std::exchange(other.FOwned, false);
        }
        return *this;
    }
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;

    HICON get() const noexcept { return FIcon; }
    bool owned() const noexcept { return FOwned; }
    explicit operator bool() const noexcept { return FIcon != nullptr; }
    void reset() noexcept {
        if (FOwned) DestroyIcon(FIcon);
        FIcon = nullptr;
        FOwned = false;
    }

private:
    HICON FIcon = nullptr;
    bool FOwned = false;
};

// name ending in ".ico" (any letter case): the first icon of that file, the path used as it
// stands (ExtractIconW). Any other name: the icon resource of that name in the last module of
// ResourceModules that has one (LoadIconW). Empty when nothing is found, and for a file that
// holds no icon.
IconHandle LoadIconByName(std::u16string_view name);
// The icon resource of that name at the system's small-icon size, looked up like
// LoadIconByName (shared, never destroyed); empty for an ".ico" name and when nothing is found.
IconHandle LoadSmallIconByName(std::u16string_view name);
