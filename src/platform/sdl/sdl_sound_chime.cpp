#include "platform/sdl/sdl_sound_chime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zuvela {

namespace {

constexpr double k_peak = 0.35;         // of full scale
constexpr double k_attack = 0.004;      // seconds: each strike starts without a click
constexpr double k_fade_out = 0.06;     // seconds: the end falls to silence
constexpr double k_first_decay = 0.09;  // seconds to fall to 1/e
constexpr double k_second_decay = 0.11;

// A soft bell: mostly the fundamental, a little octave and a faint inharmonic partial.
double bell(double t, double hz, double decay) {
    if (t < 0) return 0;
    constexpr double two_pi = 2 * std::numbers::pi;
    const double attack = t < k_attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / k_attack) : 1.0;
    const double tone = std::sin(two_pi * hz * t) +
                        0.22 * std::sin(two_pi * 2.0 * hz * t) * std::exp(-t / 0.05) +
                        0.06 * std::sin(two_pi * 2.76 * hz * t) * std::exp(-t / 0.03);
    return attack * std::exp(-t / decay) * tone;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void put_tag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(tag[i]));
}

}  // namespace

std::vector<std::int16_t> default_chime_samples(int sample_rate) {
    const auto frames = std::size_t(std::lround(k_chime_seconds * sample_rate));
    std::vector<double> wave(frames);
    double peak = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / sample_rate;
        const double left = k_chime_seconds - t;
        const double fade =
            left < k_fade_out ? 0.5 - 0.5 * std::cos(std::numbers::pi * left / k_fade_out) : 1.0;
        wave[i] = fade * (0.8 * bell(t, k_chime_first_hz, k_first_decay) +
                          bell(t - k_chime_second_at, k_chime_second_hz, k_second_decay));
        peak = std::max(peak, std::abs(wave[i]));
    }
    std::vector<std::int16_t> samples(frames);
    const double scale = peak > 0 ? k_peak * 32767.0 / peak : 0;
    for (std::size_t i = 0; i < frames; ++i) samples[i] = std::int16_t(std::lround(wave[i] * scale));
    return samples;
}

std::vector<std::uint8_t> default_chime_wav(int sample_rate) {
    const std::vector<std::int16_t> samples = default_chime_samples(sample_rate);
    const auto data_bytes = std::uint32_t(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + data_bytes);
    put_tag(out, "RIFF");
    put32(out, 36 + data_bytes);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, std::uint32_t(sample_rate));
    put32(out, std::uint32_t(sample_rate) * 2);
    put16(out, 2);
    put16(out, 16);
    put_tag(out, "data");
    put32(out, data_bytes);
    for (std::int16_t s : samples) put16(out, std::uint16_t(s));
    return out;
}

}  // namespace zuvela
