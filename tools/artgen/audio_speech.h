// Spoken words for the colour sounds, rendered by the espeak-ng command at generation time.
#pragma once

#include <string>
#include <vector>

namespace artgen {

struct Voice {
    std::string name;  // espeak-ng voice and variant, e.g. "en-us+klatt3"
    int words_per_minute = 130;
    int pitch = 50;  // espeak-ng's 0..99
};

// The word as mono samples in [-1, 1] at sample_rate: DC removed, 20 ms of silence fading in before its real
// start, and faded out over its last 70 ms, so it can be placed anywhere in a mix.
std::vector<float> speak(const std::string& text, const Voice& voice, int sample_rate);

}  // namespace artgen
