// WAV files for tests, chunk by chunk: riff({wav_format(...), wav_chunk("data", samples)}).
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "support/bytes.h"

namespace zuvela::test {

// A chunk padded to an even length; `claimed` overrides the length its header gives.
inline Bytes wav_chunk(const char* id, const Bytes& body, std::uint32_t claimed = 0xffffffff) {
    Bytes c;
    put_text(c, id);
    put_le(c, claimed == 0xffffffff ? std::uint32_t(body.size()) : claimed, 4);
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() & 1) c.push_back(0);
    return c;
}

// A 16-byte format chunk; `block_align` 0 is the one the other fields imply.
inline Bytes wav_format(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits,
                        unsigned block_align = 0) {
    if (block_align == 0) block_align = channels * bits / 8;
    Bytes f;
    put_le(f, tag, 2);
    put_le(f, channels, 2);
    put_le(f, rate, 4);
    put_le(f, rate * block_align, 4);
    put_le(f, block_align, 2);
    put_le(f, bits, 2);
    return wav_chunk("fmt ", f);
}

inline Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes w;
    put_text(w, "RIFF");
    put_le(w, 0, 4);
    put_text(w, "WAVE");
    for (const Bytes& c : chunks) w.insert(w.end(), c.begin(), c.end());
    const auto length = std::uint32_t(w.size() - 8);
    for (int i = 0; i < 4; ++i) w[std::size_t(4 + i)] = std::uint8_t(length >> (8 * i));
    return w;
}

// A sine tone as a 16-bit mono WAV at 44.1 kHz, with 5 ms ramps at both ends.
inline Bytes tone_wav(double hz, double seconds, double amplitude = 0.4) {
    constexpr int rate = 44100;
    const int frames = int(seconds * rate);
    const int ramp = rate / 200;
    Bytes samples;
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / ramp, double(frames - 1 - i) / ramp});
        const double v = amplitude * edge * std::sin(2 * std::numbers::pi * hz * i / rate);
        put_le(samples, std::uint16_t(std::int16_t(std::lround(v * 32767))), 2);
    }
    return riff({wav_format(1, 1, rate, 16), wav_chunk("data", samples)});
}

}  // namespace zuvela::test
