// The twelve colour names in every language the palette speaks, as a parent says them to a small child.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace artgen {

struct ColourNames {
    std::string folder;  // under SOUND/VOICE; empty for English, which lives in SOUND/VOICE itself
    std::string voice;   // espeak-ng voice and variant
    std::array<const char*, 12> words;         // in slot order
    std::array<const char*, 12> own_voices{};  // where a word is heard right only in another voice
    std::string voice_for(std::size_t slot) const { return own_voices[slot] ? own_voices[slot] : voice; }
};

const std::vector<ColourNames>& colour_names();

}  // namespace artgen
