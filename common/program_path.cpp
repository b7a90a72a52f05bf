// The running program's path values and the rule that derives them.
#include "common/program_path.h"

#include "common/text_helpers.h"

std::u16string ProgramPath;
std::u16string ProgramName;
std::u16string ProgramDir;

TProgramPathValues DeriveProgramPaths(std::u16string_view modulePath, char16_t separator) {
    const std::size_t sep = modulePath.rfind(separator);
    const std::size_t nameStart = sep == std::u16string_view::npos ? 0 : sep + 1;
    const std::u16string_view fileName = modulePath.substr(nameStart);

    TProgramPathValues v;
    v.Name = std::u16string(fileName.substr(0, fileName.rfind(u'.')));

    std::u16string displayName(fileName);
    MakeLower(displayName);
    // Only ASCII letters are capitalised: the name also serves as a registry key.
    if (!displayName.empty() && displayName[0] >= u'a' && displayName[0] <= u'z')
        displayName[0] = static_cast<char16_t>(displayName[0] - u'a' + u'A');

    v.Dir = std::u16string(modulePath.substr(0, nameStart));
    v.Path = v.Dir + displayName;
    return v;
}
