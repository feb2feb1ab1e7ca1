// The twelve colour sounds: a soft bell pitched for the slot, then the colour's name.
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "artgen.h"
#include "audio_speech.h"

namespace artgen {

namespace {

constexpr int k_sample_rate = 22050;
constexpr double k_max_seconds = 1.5;

struct ColourSound {
    const char* file;
    const char* word;
};

// Slot order. Slot 08's file name says dark yellow, but its swatch is white, so it says "white".
constexpr std::array<ColourSound, 12> k_colour_sounds = {{
    {"CRVENA.WAV", "red"},
    {"ZELENA.WAV", "green"},
    {"ZUTA.WAV", "yellow"},
    {"SVPLAVA.WAV", "light blue"},
    {"ORANZ.WAV", "orange"},
    {"LJUBICASTA.WAV", "violet"},
    {"SIVA.WAV", "grey"},
    {"TAMNOZUTA.WAV", "white"},
    {"BRAON.WAV", "brown"},
    {"PLAVA.WAV", "blue"},
    {"CRNA.WAV", "black"},
    {"PINK.WAV", "pink"},
}};

// espeak-ng's Klatt voices are the clearest of its English ones; slower than its default and a little higher.
const Voice k_voice{"en-us+klatt3", 130, 60};

// C major pentatonic from G4 up: any two colours clicked in a row sound well together, and the pitch climbs
// left to right.
double slot_frequency(std::size_t slot) {
    constexpr std::array<int, 12> k_semitones_above_g4 = {0, 2, 5, 7, 9, 12, 14, 17, 19, 21, 24, 26};
    return 392.0 * std::pow(2.0, k_semitones_above_g4[slot] / 12.0);
}

constexpr double k_lead_in = 0.015;     // silence before the strike, so the file starts at zero
constexpr double k_voice_delay = 0.24;  // from the strike to the first syllable
constexpr double k_tail = 0.04;         // after the last syllable
constexpr double k_final_fade = 0.06;   // takes the bell's remainder to zero
constexpr float k_bell_level = 0.42f;
constexpr double k_voice_rms = 0.17;
const float k_peak = static_cast<float>(std::pow(10.0, -1.5 / 20.0));

// Partials of a soft, glockenspiel-like bell; the upper ones die away quickly so a repeated chime never
// grates.
void add_bell(std::vector<float>& mix, std::size_t start, double frequency) {
    struct Partial {
        double ratio, amplitude, decay_seconds;
    };
    constexpr std::array<Partial, 4> k_partials = {{
        {1.0, 1.0, 0.16},
        {2.0, 0.30, 0.09},
        {3.0, 0.10, 0.05},
        {5.4, 0.04, 0.03},
    }};
    constexpr double k_attack = 0.004;
    const double norm = 1.0 / (1.0 + 0.30 + 0.10 + 0.04);
    for (std::size_t i = start; i < mix.size(); ++i) {
        const double t = static_cast<double>(i - start) / k_sample_rate;
        double sample = 0;
        for (const auto& p : k_partials) {
            sample += p.amplitude * std::exp(-t / p.decay_seconds) *
                      std::sin(2.0 * std::numbers::pi * frequency * p.ratio * t);
        }
        const double attack = t < k_attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / k_attack) : 1.0;
        mix[i] += static_cast<float>(k_bell_level * norm * attack * sample);
    }
}

// Peak normalising alone left short, dense words like "blue" several decibels louder than the others, so the
// word is set by its mean level and the peak only limits it.
float voice_gain(const std::vector<float>& voice) {
    double energy = 0;
    float peak = 0;
    for (float s : voice) {
        energy += static_cast<double>(s) * s;
        peak = std::max(peak, std::abs(s));
    }
    const double rms = std::sqrt(energy / static_cast<double>(voice.size()));
    return static_cast<float>(std::min(k_voice_rms / rms, static_cast<double>(k_peak) / peak));
}

std::vector<float> colour_sound(std::size_t slot) {
    const std::vector<float> voice = speak(k_colour_sounds[slot].word, k_voice, k_sample_rate);
    const float gain = voice_gain(voice);

    const auto at = [](double seconds) {
        return static_cast<std::size_t>(std::lround(seconds * k_sample_rate));
    };
    const std::size_t strike = at(k_lead_in);
    const std::size_t voice_start = strike + at(k_voice_delay);
    std::vector<float> mix(voice_start + voice.size() + at(k_tail), 0.0f);
    if (mix.size() > at(k_max_seconds)) {
        throw std::runtime_error(std::string(k_colour_sounds[slot].file) + " would be longer than 1.5 s");
    }

    add_bell(mix, strike, slot_frequency(slot));
    for (std::size_t i = 0; i < voice.size(); ++i) {
        mix[voice_start + i] += gain * voice[i];
    }

    const std::size_t fade = at(k_final_fade);
    for (std::size_t i = 0; i < fade; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(fade);
        mix[mix.size() - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * x));
    }

    float peak = 0;
    for (float s : mix) peak = std::max(peak, std::abs(s));
    if (peak > k_peak) {
        for (float& s : mix) s *= k_peak / peak;
    }
    return mix;
}

void write_wav(const std::filesystem::path& path, const std::vector<float>& samples) {
    std::vector<short> pcm(samples.size());
    std::transform(samples.begin(), samples.end(), pcm.begin(), [](float s) {
        return static_cast<short>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
    });
    SF_INFO info{};
    info.samplerate = k_sample_rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error("cannot write " + path.string() + ": " + sf_strerror(nullptr));
    const auto count = static_cast<sf_count_t>(pcm.size());
    const bool ok = sf_writef_short(file, pcm.data(), count) == count;
    if (sf_close(file) != 0 || !ok) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void write_sounds(const OutputDirs& out) {
    for (std::size_t slot = 0; slot < k_colour_sounds.size(); ++slot) {
        write_wav(out.sound / k_colour_sounds[slot].file, colour_sound(slot));
    }
}

}  // namespace artgen
