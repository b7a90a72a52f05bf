// The running program's path, name and folder, recorded when the common unit starts.
#pragma once

#include <string>
#include <string_view>

// Set by StartCommonUnit (common_unit.h), cleared by EndCommonUnit.
//   ProgramPath: the folder followed by the file name, lower-cased with a capital first letter
//                (C:\GAMES\PUZZLE.EXE gives C:\GAMES\Puzzle.exe)
//   ProgramName: the file name without extension as the system reported it (PUZZLE)
//   ProgramDir:  the folder, ending with the platform's path separator (C:\GAMES\)
extern std::u16string ProgramPath;
extern std::u16string ProgramName;
extern std::u16string ProgramDir;

struct TProgramPathValues {
    std::u16string Path;
    std::u16string Name;
    std::u16string Dir;
};

// Derives the three values from the executable's full path as the system reports it.
// separator is the platform's path separator; taking it as an argument lets the Windows
// rules be checked anywhere. Lower-casing uses MakeLower (the user's locale).
TProgramPathValues DeriveProgramPaths(std::u16string_view modulePath, char16_t separator);
