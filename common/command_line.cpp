// Single items of the process command line.
#include "common/command_line.h"

#include <windows.h>

#include <vector>

#include "common/text_helpers.h"
#include "common/wtext.h"

namespace {

// The program file's full path, however long it is.
std::u16string moduleFileName() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    while (buf.size() <= 0x8000) {
        const DWORD size = static_cast<DWORD>(buf.size());
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), size);
        if (n == 0) return {};
        if (n < size) return U(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
    return {};
}

}  // namespace

std::u16string commandLineItemOf(std::u16string_view commandLine, int index) {
    if (index < 0) return {};
    const std::u16string line(commandLine);
    const char16_t* p = line.c_str();
    std::u16string param;
    for (int i = 0; i <= index; ++i) {
        p = NextParam(p, param);
        if (param.empty()) return {};
    }
    return param;
}

void CommandLineItem(int index, std::u16string& s) {
    if (index == 0) {
        s = moduleFileName();
        return;
    }
    s = commandLineItemOf(U(GetCommandLineW()), index);
}
