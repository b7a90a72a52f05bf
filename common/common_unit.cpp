// Start and end of the common unit.
#include "common/common_unit.h"

#include <memory>

#include "common/msgbox.h"
#include "common/platform.h"
#include "common/program_path.h"

void StartCommonUnit() {
    MsgBox = std::make_unique<TMsgBox>();
    const TProgramPathValues v = DeriveProgramPaths(platform::ModulePath(), platform::PathSeparator());
    ProgramPath = v.Path;
    ProgramName = v.Name;
    ProgramDir = v.Dir;
}

void EndCommonUnit() {
    MsgBox.reset();
    ProgramPath.clear();
    ProgramName.clear();
    ProgramDir.clear();
}
