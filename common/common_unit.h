// Start and end of the common unit: the message box and the program's path values.
#pragma once

// Creates MsgBox as a plain TMsgBox, then records ProgramPath, ProgramName and ProgramDir.
// Called explicitly by the program's start-up, before the units that use them.
void StartCommonUnit();

// Frees MsgBox and clears the path values.
void EndCommonUnit();
