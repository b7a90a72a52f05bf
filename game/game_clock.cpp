// The playing time of a game.
#include "game/game_clock.h"

namespace {

// A clock that went backwards (a test's, or a restarted counter) adds nothing.
std::int64_t stretch(std::uint64_t since, std::uint64_t now) {
    return now > since ? static_cast<std::int64_t>(now - since) : 0;
}

}  // namespace

void TGameClock::Reset(std::int64_t elapsedMs) {
    FElapsed = elapsedMs > 0 ? elapsedMs : 0;
    FRunning = false;
    FSince = 0;
}

void TGameClock::Run(bool running, std::uint64_t now) {
    if (running == FRunning) return;
    if (running)
        FSince = now;
    else
        FElapsed += stretch(FSince, now);
    FRunning = running;
}

std::int64_t TGameClock::ElapsedMs(std::uint64_t now) const {
    return FElapsed + (FRunning ? stretch(FSince, now) : 0);
}
