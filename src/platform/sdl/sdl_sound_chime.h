// The default sound, played in place of a sound file that is missing or cannot be read: a gentle two-note
// bell, "ding-dong" (E6 then C6), of about 0.3 s with faded ends, made here rather than read from a file.
#pragma once

#include <cstdint>
#include <vector>

namespace zuvela {

inline constexpr double k_chime_seconds = 0.32;
inline constexpr double k_chime_first_hz = 1318.51;   // E6
inline constexpr double k_chime_second_hz = 1046.50;  // C6
inline constexpr double k_chime_second_at = 0.11;     // seconds from the start

// 16-bit mono samples at `sample_rate`.
std::vector<std::int16_t> default_chime_samples(int sample_rate);

// The same as a WAV file in memory.
std::vector<std::uint8_t> default_chime_wav(int sample_rate);

}  // namespace zuvela
