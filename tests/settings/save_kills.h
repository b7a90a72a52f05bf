// The kill harness of the crash tests: a writer that saves settings generations over and over
// (natively a forked process, on Windows tess_save_writer.exe beside the running program) is
// killed at random moments, and the settings file is checked after each kill.
#pragma once

#include <cstdint>
#include <string>

#include "tests/settings/save_generations.h"

namespace savegen {

struct RunResult {
    int kills = 0;
    int torn = 0;
    int generations = 0;
    // Kills after which a temporary file had changed and was still there: kills that met a write.
    int midWrite = 0;
    // Temporary files beside the settings file after the last kill.
    int leftovers = 0;
    // Why the run could not go on as planned; empty when it did.
    std::string failure;
};

// Whether bytes are, byte for byte, the settings file of generation n (n < 0: never).
bool IsGeneration(const std::string& bytes, int n, const std::u16string& scratchPath);

// Starts the writer iterations times in a scratch folder of its own (named after name, beside
// the running program), kills it after a random delay and checks the file after each kill. A
// file that is not one of the generations (IsGeneration), or an older one, counts as torn; it
// is put back to the last good generation before the next round.
RunResult KillRepeatedly(const char* name, Mode mode, int iterations, std::uint32_t seed);

}  // namespace savegen
