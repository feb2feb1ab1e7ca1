// A small Standard MIDI File writer: format 1, one chunk per track, ticks per quarter note as division.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace artgen {

class SmfTrack {
  public:
    void name(std::uint32_t tick, const std::string& text);
    void tempo(std::uint32_t tick, double beats_per_minute);
    void time_signature(std::uint32_t tick, int numerator, int denominator_power_of_two);
    void key_signature(std::uint32_t tick, int sharps, bool minor);
    void program(std::uint32_t tick, int channel, int program);
    void control(std::uint32_t tick, int channel, int controller, int value);
    void note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity);

    // Delta-timed events followed by End of Track at end_tick, which must not come before the last event.
    std::vector<std::uint8_t> chunk(std::uint32_t end_tick) const;

  private:
    struct Event {
        std::uint32_t tick;
        int order;  // at one tick: meta, then controllers, then note-offs, then note-ons
        std::uint32_t sequence;
        std::vector<std::uint8_t> bytes;
    };
    void add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes);
    std::vector<Event> m_events;
};

void write_smf(const std::filesystem::path& path, int ticks_per_quarter, const std::vector<SmfTrack>& tracks,
               std::uint32_t end_tick);

}  // namespace artgen
