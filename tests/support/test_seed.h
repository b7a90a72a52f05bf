// The seed of the randomised tests: TESS_SEED when set, else a fresh one; printed so that a failure can be replayed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace testsupport {

// A seed for one randomised run, printed with how to replay it.
inline std::uint32_t freshSeed() {
    const char* env = std::getenv("TESS_SEED");
    const std::uint32_t seed = env && *env ? static_cast<std::uint32_t>(std::strtoul(env, nullptr, 0))
                                           : std::random_device{}();
    std::printf("TESS_SEED=%u (set it to replay)\n", static_cast<unsigned>(seed));
    return seed;
}

// One seed shared by every randomised test of a program.
inline std::uint32_t testSeed() {
    static const std::uint32_t seed = freshSeed();
    return seed;
}

}  // namespace testsupport
