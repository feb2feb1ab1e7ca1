// The smaller services: clock, sound effects, music, printer, browser and the keyboard lock.
#pragma once

#include <functional>
#include <string>

#include "platform/raster.h"

namespace zuvela {

class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds on a clock that never runs backwards.
    virtual double monotonic_seconds() = 0;
    // Lets the thread sleep; used to pace animation frames.
    virtual void sleep_for(double seconds) = 0;
};

class SoundEffects {
  public:
    virtual ~SoundEffects() = default;
    // Starts the WAV file and returns at once; a sound still playing is replaced. Reports no failure.
    virtual void play(const std::string& path) = 0;
};

class Music {
  public:
    virtual ~Music() = default;
    virtual void close_down() = 0;
};

class Printer {
  public:
    virtual ~Printer() = default;
    virtual void print_landscape(const Raster& picture) = 0;
};

class Browser {
  public:
    virtual ~Browser() = default;
    // Opens the address in the desktop's default browser. Reports nothing; if no browser starts, nothing
    // happens.
    virtual void open(const std::string& url) = 0;
};

// The key a lock examines: whether it is let through to the desktop or swallowed.
struct LockedKey {
    int code = 0;
    bool down = true;
};

class KeyLock {
  public:
    virtual ~KeyLock() = default;
    // Returns a non-zero handle when the lock is in force.
    virtual int install(std::function<bool(const LockedKey&)> swallow) = 0;
    virtual void release(int handle) = 0;
};

}  // namespace zuvela
