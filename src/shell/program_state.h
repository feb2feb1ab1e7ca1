// The program's state variables, with their first values.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/raster.h"
#include "platform/services.h"

namespace zuvela {

using Flag = std::int16_t;   // holds 0 or 1
using Truth = std::int16_t;  // -1 true, 0 false
inline constexpr Truth k_true = -1;
inline constexpr Truth k_false = 0;

inline constexpr int k_palette_slots = 12;

struct ProgramState {
    // Program-wide.
    std::string app_dir;
    std::int16_t current_picture = 0;
    std::int32_t current_color = 0;
    std::int16_t screen_mode = 0;
    Flag music_off = 0;
    std::int32_t last_x = 0;
    std::int32_t last_y = 0;

    // Main-window fields.
    std::string app_path;
    Flag music_playing = 0;
    Truth fill_mode = k_false;
    std::array<Flag, k_palette_slots> palette_selected{};
    std::int16_t highlighted_tile = 0;
    std::int32_t keyboard_hook = 0;
    // The key event the lock examined last.
    LockedKey key_event;
    // The display switch in force; restoring without one fails.
    bool display_ddraw = false;
    // The music performance, once the music has been opened; the piece and its playback, once switched on.
    bool music_performance = false;
    int music_segment = 0;
    int music_segment_state = 0;

    Flag sounds_on() const { return m_sounds_on; }
    Flag window_sounds_on() const { return m_window_sounds_on; }
    // The program-wide flag and the window's copy are always written together.
    void set_sounds_on(Flag on) { m_sounds_on = m_window_sounds_on = on; }

  private:
    Flag m_sounds_on = 0;
    Flag m_window_sounds_on = 0;
};

}  // namespace zuvela
