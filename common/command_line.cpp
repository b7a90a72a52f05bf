// Single items of the process command line.
#include "common/command_line.h"

#include <windows.h>


#include "common/platform.h"
#include "common/text_helpers.h"
#include "common/wtext.h"

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
        s = platform::ModulePath();
        return;
    }
    s = commandLineItemOf(U(GetCommandLineW()), index);
}
