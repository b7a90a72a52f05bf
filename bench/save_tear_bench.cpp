// How often a kill in the middle of a save tears the settings file: the library's atomic save
// beside a writer that overwrites the file in place. Prints the figures; the crash test asserts
// only that the atomic save never tears.
#include <cstdio>
#include <cstdlib>

#include "common/common_unit.h"
#include "tests/settings/save_kills.h"
#include "tests/support/test_seed.h"

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::atoi(argv[1]) : 100;
    StartCommonUnit();
    const std::uint32_t seed = testsupport::freshSeed();
    int status = 0;
    for (const auto mode : {savegen::Mode::InPlace, savegen::Mode::Atomic}) {
        const bool inPlace = mode == savegen::Mode::InPlace;
        const savegen::RunResult r = savegen::KillRepeatedly(inPlace ? "tear_inplace" : "tear_atomic", mode, kills, seed);
        if (!r.failure.empty()) {
            std::fprintf(stderr, "%s\n", r.failure.c_str());
            status = 1;
        }
        std::printf("%-15s %4d kills (%d in the middle of a write), %4d torn files (%5.1f %%), %d generations saved\n",
                    inPlace ? "in-place writes" : "atomic saves", r.kills, r.midWrite, r.torn,
                    100.0 * r.torn / (r.kills ? r.kills : 1), r.generations);
    }
    EndCommonUnit();
    return status;
}
