// The colour sounds: SOUND/<COLOUR>.WAV is a short bell motif of its own for each colour, and
// SOUND/VOICE/<COLOUR>.WAV says the colour's name in English, SOUND/VOICE/<LANGUAGE>/<COLOUR>.WAV in the
// other languages. The bucket and the wipe reuse two of the chimes, so no
// word may sit inside a chime: a child filling with red must not hear "light blue".
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
#include "colour_names.h"

namespace artgen {

namespace {

constexpr int k_sample_rate = 22050;
constexpr double k_max_chime_seconds = 0.8;
constexpr double k_max_voice_seconds = 1.5;

constexpr double k_lead_in = 0.015;  // silence before the first strike, so the file starts at zero
// The player starts the voice together with the chime; the word waits for the first strike to ring, as when
// both were one file.
constexpr double k_voice_delay = 0.22;
constexpr double k_chime_ring = 0.42;  // from the last strike to the end of the file
constexpr double k_voice_tail = 0.04;
constexpr double k_final_fade = 0.08;

// Both kinds of sound are set to this gated level (see gated_level), so a word and its chime, and any two
// colours clicked in a row, come out equally loud.
constexpr double k_target_level_db = -17.0;
const double k_peak = std::pow(10.0, -1.5 / 20.0);

// One strike of a motif: when, which step of the C major pentatonic scale (0 = G4, 5 = G5, negative below
// G4), and how hard.
struct Note {
    double at;
    int step;
    double velocity = 1.0;
};

enum class Opening { none, drop };

struct ColourSound {
    const char* file;
    Opening opening;
    std::vector<Note> motif;
};

// Slot order.
// Light blue plays for every bucket fill, so it opens with a water drop and scatters droplets; violet plays
// for every wipe, so it is a quick sweep up the scale.
const std::array<ColourSound, 12>& colour_sounds() {
    static const std::array<ColourSound, 12> sounds = {{
        {"CRVENA.WAV", Opening::none, {{0.0, 3}, {0.10, 5}}},
        {"ZELENA.WAV", Opening::none, {{0.0, 2}, {0.08, 3, 0.8}, {0.16, 4}}},
        {"ZUTA.WAV", Opening::none, {{0.0, 6}, {0.06, 7, 0.7}, {0.12, 6, 0.8}, {0.18, 7}}},
        {"SVPLAVA.WAV", Opening::drop, {{0.06, 9, 0.55}, {0.10, 7, 0.45}, {0.15, 10, 0.4}, {0.21, 8, 0.35}}},
        {"ORANZ.WAV", Opening::none, {{0.0, 6}, {0.12, 4}}},
        {"LJUBICASTA.WAV",
         Opening::none,
         {{0.000, 0, 0.45},
          {0.032, 1, 0.5},
          {0.064, 2, 0.55},
          {0.096, 3, 0.6},
          {0.128, 4, 0.65},
          {0.160, 5, 0.7},
          {0.192, 6, 0.8},
          {0.224, 7, 1.0}}},
        {"SIVA.WAV", Opening::none, {{0.0, 1, 0.9}, {0.14, 1, 0.6}}},
        {"TAMNOZUTA.WAV", Opening::none, {{0.0, 8}, {0.08, 10, 0.8}}},
        {"BRAON.WAV", Opening::none, {{0.0, -2}, {0.12, 0}}},
        {"PLAVA.WAV", Opening::none, {{0.0, 7}, {0.09, 5, 0.8}, {0.18, 4}}},
        {"CRNA.WAV", Opening::none, {{0.0, -1}, {0.13, -3}}},
        {"PINK.WAV", Opening::none, {{0.0, 9}, {0.07, 6, 0.7}, {0.14, 9, 0.8}, {0.21, 6}}},
    }};
    return sounds;
}

// Slower than espeak-ng's default and a little higher. A long word is spoken faster until it fits.
constexpr int k_words_per_minute = 130;
constexpr int k_fastest_words_per_minute = 190;
constexpr int k_pitch = 60;

double step_frequency(int step) {
    constexpr std::array<int, 5> k_semitones = {0, 2, 5, 7, 9};  // G A C D E
    const int octave = step >= 0 ? step / 5 : -((-step + 4) / 5);
    const int semitones = 12 * octave + k_semitones[static_cast<std::size_t>(step - 5 * octave)];
    return 392.0 * std::pow(2.0, semitones / 12.0);
}

std::size_t samples_in(double seconds) {
    return static_cast<std::size_t>(std::lround(seconds * k_sample_rate));
}

// Partials of a soft, glockenspiel-like bell; the upper ones die away quickly so a repeated chime never
// grates. Partials above the band are left out rather than folded back as off-key whistles.
void add_bell(std::vector<float>& mix, std::size_t start, double frequency, double velocity) {
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
    const double nyquist_margin = 0.45 * k_sample_rate;
    for (std::size_t i = start; i < mix.size(); ++i) {
        const double t = static_cast<double>(i - start) / k_sample_rate;
        double sample = 0;
        for (const auto& p : k_partials) {
            if (frequency * p.ratio >= nyquist_margin) continue;
            sample += p.amplitude * std::exp(-t / p.decay_seconds) *
                      std::sin(2.0 * std::numbers::pi * frequency * p.ratio * t);
        }
        const double attack = t < k_attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / k_attack) : 1.0;
        mix[i] += static_cast<float>(velocity * attack * sample);
    }
}

// The "plop" of a drop landing: a sine that glides quickly upwards while it dies away.
void add_drop(std::vector<float>& mix, std::size_t start) {
    constexpr double k_from = 500.0, k_to = 1500.0, k_glide = 0.045, k_decay = 0.03;
    double phase = 0;
    for (std::size_t i = start; i < mix.size(); ++i) {
        const double t = static_cast<double>(i - start) / k_sample_rate;
        const double frequency = k_from + (k_to - k_from) * std::min(t / k_glide, 1.0);
        phase += 2.0 * std::numbers::pi * frequency / k_sample_rate;
        const double attack = std::min(t / 0.003, 1.0);
        mix[i] += static_cast<float>(attack * std::exp(-t / k_decay) * std::sin(phase));
    }
}

void fade_out(std::vector<float>& mix, double seconds) {
    const std::size_t fade = std::min(samples_in(seconds), mix.size());
    for (std::size_t i = 0; i < fade; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(fade);
        mix[mix.size() - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * x));
    }
}

// The mean power of the 50 ms blocks within 20 dB of the loudest one, in dB. A chime rings on quietly and
// a word has gaps between its syllables; a plain mean over the whole file would count both against the
// sound, so it is set by how loud it is while it is actually sounding.
double gated_level(const std::vector<float>& samples) {
    const std::size_t block = samples_in(0.05), hop = block / 2;
    std::vector<double> powers;
    for (std::size_t begin = 0; begin + block <= samples.size(); begin += hop) {
        double energy = 0;
        for (std::size_t i = begin; i < begin + block; ++i)
            energy += static_cast<double>(samples[i]) * samples[i];
        powers.push_back(energy / static_cast<double>(block));
    }
    if (powers.empty()) throw std::runtime_error("sound shorter than one loudness block");
    const double gate = *std::max_element(powers.begin(), powers.end()) / 100.0;
    double sum = 0;
    int count = 0;
    for (double p : powers) {
        if (p >= gate) {
            sum += p;
            ++count;
        }
    }
    return 10.0 * std::log10(sum / count);
}

// The peak only limits: a word with a sharp consonant may come out a little below the target level.
void set_level(std::vector<float>& samples) {
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::abs(s));
    const double gain =
        std::min(std::pow(10.0, (k_target_level_db - gated_level(samples)) / 20.0), k_peak / peak);
    for (float& s : samples) s = static_cast<float>(s * gain);
}

// A consonant's burst may stand well above the vowels, and capping the whole word at its peak leaves it
// quieter than the rest. The gain instead dips for a few milliseconds around such a burst: the smallest gain
// needed within 5 ms, smoothed over a window half that wide, so it never lets a sample past the peak.
void apply_gain_with_limiter(std::vector<float>& samples, double gain) {
    const std::size_t hold = samples_in(0.005), half = hold / 2;
    std::vector<double> needed(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        needed[i] = std::min(1.0, k_peak / (std::abs(samples[i]) * gain + 1e-12));
    std::vector<double> floor(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::size_t begin = i > hold ? i - hold : 0, end = std::min(samples.size(), i + hold + 1);
        floor[i] = *std::min_element(needed.begin() + static_cast<std::ptrdiff_t>(begin),
                                     needed.begin() + static_cast<std::ptrdiff_t>(end));
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::size_t begin = i > half ? i - half : 0, end = std::min(samples.size(), i + half + 1);
        double sum = 0;
        for (std::size_t k = begin; k < end; ++k) sum += floor[k];
        samples[i] = static_cast<float>(samples[i] * gain * sum / static_cast<double>(end - begin));
    }
}

// A word reaches the target level however sharp its consonants; limiting takes a little level away, so it is
// measured again until it holds.
void set_voice_level(std::vector<float>& samples) {
    for (int pass = 0; pass < 4; ++pass) {
        float peak = 0;
        for (float s : samples) peak = std::max(peak, std::abs(s));
        const double gain = std::pow(10.0, (k_target_level_db - gated_level(samples)) / 20.0);
        if (peak * gain <= k_peak) break;
        apply_gain_with_limiter(samples, gain);
    }
    set_level(samples);
}

std::vector<float> chime(const ColourSound& sound) {
    const double last = sound.motif.back().at;
    std::vector<float> mix(samples_in(k_lead_in + last + k_chime_ring), 0.0f);
    if (mix.size() > samples_in(k_max_chime_seconds)) {
        throw std::runtime_error(std::string(sound.file) + " would be longer than 0.8 s");
    }
    const std::size_t strike = samples_in(k_lead_in);
    if (sound.opening == Opening::drop) add_drop(mix, strike);
    for (const Note& note : sound.motif) {
        add_bell(mix, strike + samples_in(note.at), step_frequency(note.step), note.velocity);
    }
    fade_out(mix, k_final_fade);
    set_level(mix);
    return mix;
}

std::vector<float> voice(const std::string& word, const std::string& voice_name, const std::string& file) {
    const std::size_t start = samples_in(k_lead_in + k_voice_delay);
    const std::size_t room = samples_in(k_max_voice_seconds) - start - samples_in(k_voice_tail);
    for (int rate = k_words_per_minute; rate <= k_fastest_words_per_minute; rate += 10) {
        const std::vector<float> spoken = speak(word, Voice{voice_name, rate, k_pitch}, k_sample_rate);
        if (spoken.size() > room) continue;
        std::vector<float> mix(start + spoken.size() + samples_in(k_voice_tail), 0.0f);
        std::copy(spoken.begin(), spoken.end(), mix.begin() + static_cast<std::ptrdiff_t>(start));
        set_voice_level(mix);
        return mix;
    }
    throw std::runtime_error(file + " would be longer than 1.5 s");
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
    const auto& chimes = colour_sounds();
    for (const ColourSound& sound : chimes) write_wav(out.sound / sound.file, chime(sound));
    for (const ColourNames& language : colour_names()) {
        const std::filesystem::path folder = out.voice / language.folder;
        std::filesystem::create_directories(folder);
        for (std::size_t slot = 0; slot < chimes.size(); ++slot) {
            const std::string file = (folder / chimes[slot].file).lexically_relative(out.sound).string();
            write_wav(folder / chimes[slot].file,
                      voice(language.words[slot], language.voice_for(slot), file));
        }
    }
}

}  // namespace artgen
