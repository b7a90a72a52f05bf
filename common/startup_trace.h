// The start-up trace: with TESS_STARTUP_TRACE naming a file, the time of each start-up step is written there.
#pragma once

#include <string_view>

// Whether TESS_STARTUP_TRACE names a file (read once, at the first call of this or TraceStartup).
bool StartupTraceOn();

// Records one line "<ms since the process was created> ms  <step>", the step formatted like
// printf. Lines are kept in memory, so that tracing costs no file access between the steps.
// Without the variable every call does nothing.
void TraceStartup(const char* format, ...);

// Appends the recorded lines to the file, after a first line that says when the process was
// created (Unix time in nanoseconds), and ends the trace: later calls do nothing.
void EndStartupTrace() noexcept;

// Writes bytes to the file at path, replacing it or appending to it; true when all were written.
// Also writes the start-up benchmark's mark.
bool WriteStartupFile(const wchar_t* path, std::string_view bytes, bool append) noexcept;
