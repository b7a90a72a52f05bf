// Child program of the crash test: saves ever newer settings generations until it is killed.
// Usage: tess_save_writer <settings file> atomic|inplace <name of the event to set when running>
#include <windows.h>

#include <cwchar>
#include <string>

#include "common/common_unit.h"
#include "common/wtext.h"
#include "tests/settings/save_generations.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    StartCommonUnit();
    const std::u16string path = U(argv[1]);
    const auto mode = std::wcscmp(argv[2], L"inplace") == 0 ? savegen::Mode::InPlace : savegen::Mode::Atomic;
    HANDLE running = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (!running) return 3;
    SetEvent(running);
    CloseHandle(running);
    // Runs until the test kills it; a generation that cannot be read means a torn file.
    for (;;)
        if (savegen::SaveNext(path, mode) < 0) return 4;
}
