// The playing time of a game: milliseconds summed over the stretches in which it ran.
#pragma once

#include <cstdint>

// Reads no clock itself: every call is given the time now (milliseconds of any steady clock),
// so the window can feed it the system's tick count and a test a clock of its own.
class TGameClock {
public:
    // Stopped, with elapsedMs already played (a resumed game).
    void Reset(std::int64_t elapsedMs = 0);
    // Starts or stops the clock; a call that changes nothing keeps the stretch running.
    void Run(bool running, std::uint64_t now);
    bool Running() const { return FRunning; }

    std::int64_t ElapsedMs(std::uint64_t now) const;
    // Whole seconds played.
    std::int64_t Seconds(std::uint64_t now) const { return ElapsedMs(now) / 1000; }

private:
    std::int64_t FElapsed = 0;  // of the finished stretches
    std::uint64_t FSince = 0;   // start of the running stretch
    bool FRunning = false;
};
