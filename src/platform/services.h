// The smaller services: clock, sound effects, music, printer, browser and the keyboard lock.
#pragma once

#include <cstdint>
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
    // Starts the WAV file on the effect channel and returns at once; an effect still playing is replaced. A
    // file that is missing or cannot be read plays the default chime instead. Reports no failure.
    virtual void play(const std::string& path) = 0;
    // Starts a spoken word on the voice channel, beside the effect; a word still being spoken is replaced. A
    // missing or unreadable file is silent.
    virtual void speak(const std::string& path) = 0;
};

// Background music: one MIDI piece at a time on the default synthesizer. Segments and their playbacks are
// named by handles greater than 0. Every call may throw PlatformError; with no audio device the calls succeed
// and nothing is heard.
class Music {
  public:
    virtual ~Music() = default;
    // A new performance, replacing the previous one; its playback is no longer reachable through it.
    virtual void create_performance() = 0;
    // Hundredths of a decibel: 150 is the normal level, -3000 is 31.5 dB below it.
    virtual void set_master_volume(std::int32_t level) = 0;
    // Reads a standard MIDI file. Throws PlatformError when it is missing or unreadable.
    virtual int load_segment(const std::string& path) = 0;
    // Starts the segment from its beginning at once; returns the handle of this playback.
    virtual int play_segment(int segment) = 0;
    virtual bool is_playing(int segment, int playback) = 0;
    // Ends the playback now; whatever music an earlier performance left playing falls silent too.
    virtual void stop(int segment, int playback) = 0;
    // Releases the performance and the audio device.
    virtual void close_down() = 0;
};

class Printer {
  public:
    virtual ~Printer() = default;
    // One landscape page on the default printer, the picture at its own size at the top-left of the printable
    // area. Returns at once: the page is handed to the printer in the background, in order. No printer, or
    // one that fails: nothing is printed and nothing is reported.
    virtual void print_landscape(const Raster& picture) = 0;
};

class Browser {
  public:
    virtual ~Browser() = default;
    // Opens the address in the desktop's default browser. Reports nothing; if no browser starts, nothing
    // happens.
    virtual void open(const std::string& url) = 0;
    // Opens it as open() does and waits a moment for the desktop's answer: false when no browser could be
    // started (there is none), true when one started or is still starting.
    virtual bool open_and_check(const std::string& url) {
        open(url);
        return true;
    }
};

// Key messages and flags as the lock sees them.
inline constexpr int k_key_message_down = 256;
inline constexpr int k_key_message_up = 257;
inline constexpr int k_key_message_sys_down = 260;  // a key going down while Alt is held
inline constexpr int k_key_message_sys_up = 261;
inline constexpr int k_key_flag_alt_down = 0x20;

// Virtual key codes of the keys the lock cares about (letters are their upper-case ASCII value).
inline constexpr int k_vk_shift = 16;
inline constexpr int k_vk_control = 17;
inline constexpr int k_vk_alt = 18;
inline constexpr int k_vk_left_super = 91;
inline constexpr int k_vk_right_super = 92;
inline constexpr int k_vk_menu = 93;

// One keyboard event anywhere on the desktop, as the lock examines it.
struct LockedKey {
    int code = 0;     // 0: the event is to be examined
    int message = 0;  // k_key_message_*
    int key = 0;      // virtual key code
    int flags = 0;    // k_key_flag_alt_down when an Alt key is held
};

class KeyLock {
  public:
    virtual ~KeyLock() = default;
    // Puts the lock in force: every key event on the desktop, our own window's included, is shown to
    // `swallow`, and those it answers true for reach nothing. Returns a non-zero handle, or 0 when nothing
    // could be locked.
    virtual int install(std::function<bool(const LockedKey&)> swallow) = 0;
    virtual void release(int handle) = 0;
};

}  // namespace zuvela
