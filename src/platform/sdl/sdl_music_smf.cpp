#include "platform/sdl/sdl_music_smf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>

#include "platform/errors.h"

namespace zuvela {

namespace {

constexpr int k_channels = 16;
constexpr std::uint32_t k_default_tempo_us = 500'000;  // 120 beats a minute
constexpr int k_cc_expression = 11;
constexpr int k_cc_all_sound_off = 120;
constexpr int k_cc_all_notes_off = 123;
constexpr int k_tail_steps = 12;

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint16_t be16(const std::uint8_t* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}

struct TempoChange {
    std::uint32_t tick;
    std::uint32_t us_per_quarter;
};

struct Expression {
    std::uint32_t tick = 0;
    int value = 127;
};

struct Parsed {
    std::uint16_t format = 0;
    std::uint16_t division = 0;
    std::size_t header_end = 0;  // first byte after the header chunk
    std::size_t tracks_end = 0;  // first byte after the last complete chunk read
    int tracks = 0;
    bool complete = true;  // every chunk lies wholly inside the file
    std::uint32_t end_tick = 0;
    std::uint16_t channels_used = 0;
    std::vector<TempoChange> tempo;
    std::array<Expression, k_channels> expression{};
};

// Reads a variable-length quantity; false when the bytes run out or it is longer than four bytes.
bool read_vlq(const std::uint8_t* data, std::size_t end, std::size_t& p, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        const std::uint8_t c = data[p++];
        value = value << 7 | (c & 0x7f);
        if (!(c & 0x80)) return true;
    }
    return false;
}

void read_track(const std::uint8_t* data, std::size_t begin, std::size_t end, Parsed& out) {
    std::size_t p = begin;
    std::uint32_t tick = 0;
    std::uint8_t running = 0;
    std::optional<std::uint32_t> end_of_track;
    while (p < end && !end_of_track) {
        std::uint32_t delta = 0;
        if (!read_vlq(data, end, p, delta) || p >= end) break;
        tick += delta;
        std::uint8_t status = data[p];
        if (status & 0x80) {
            ++p;
            if (status < 0xf0) running = status;
        } else if (running != 0) {
            status = running;
        } else {
            break;  // a data byte with no status to run on
        }
        if (status == 0xff) {
            if (p >= end) break;
            const std::uint8_t type = data[p++];
            std::uint32_t length = 0;
            if (!read_vlq(data, end, p, length) || length > end - p) break;
            if (type == 0x51 && length == 3) {
                out.tempo.push_back(
                    {tick, std::uint32_t(data[p]) << 16 | std::uint32_t(data[p + 1]) << 8 | data[p + 2]});
            } else if (type == 0x2f) {
                end_of_track = tick;
            }
            p += length;
        } else if (status == 0xf0 || status == 0xf7) {
            std::uint32_t length = 0;
            if (!read_vlq(data, end, p, length) || length > end - p) break;
            p += length;
        } else if (status >= 0x80 && status < 0xf0) {
            const int kind = status & 0xf0;
            const int channel = status & 0x0f;
            const std::size_t n = (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
            if (n > end - p) break;
            if (kind == 0xb0 && data[p] == k_cc_expression) {
                Expression& e = out.expression[std::size_t(channel)];
                if (tick >= e.tick) e = Expression{tick, data[p + 1] & 0x7f};
            }
            out.channels_used = std::uint16_t(out.channels_used | (1u << channel));
            p += n;
        } else {
            break;  // system messages have no place in a file
        }
    }
    out.end_tick = std::max(out.end_tick, end_of_track.value_or(tick));
}

Parsed parse(std::span<const std::uint8_t> smf) {
    const std::uint8_t* data = smf.data();
    const std::size_t size = smf.size();
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0) throw PlatformError("not a standard MIDI file");
    const std::uint32_t header_length = be32(data + 4);
    if (header_length < 6 || header_length > size - 8) throw PlatformError("damaged MIDI header");
    Parsed out;
    out.format = be16(data + 8);
    const std::uint16_t declared_tracks = be16(data + 10);
    out.division = be16(data + 12);
    if (declared_tracks == 0 || out.division == 0)
        throw PlatformError("MIDI file without tracks or time base");
    out.header_end = 8 + header_length;

    std::size_t p = out.header_end;
    out.tracks_end = p;
    while (p + 8 <= size && out.tracks < declared_tracks) {
        std::size_t length = be32(data + p + 4);
        const bool is_track = std::memcmp(data + p, "MTrk", 4) == 0;
        if (length > size - p - 8) {
            out.complete = false;
            length = size - p - 8;
        }
        if (is_track) {
            read_track(data, p + 8, p + 8 + length, out);
            ++out.tracks;
        }
        p += 8 + length;
        if (out.complete) out.tracks_end = p;
    }
    if (out.tracks == 0) throw PlatformError("MIDI file without a track");
    std::stable_sort(out.tempo.begin(), out.tempo.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    return out;
}

bool smpte(const Parsed& f) {
    return (f.division & 0x8000) != 0;
}

double smpte_ticks_per_second(const Parsed& f) {
    const int frames = -int(std::int8_t(f.division >> 8));
    const int ticks = f.division & 0xff;
    return double(frames == 29 ? 29.97 : frames) * ticks;
}

double seconds_at(const Parsed& f, std::uint32_t tick) {
    if (smpte(f)) return tick / smpte_ticks_per_second(f);
    double seconds = 0;
    std::uint32_t from = 0;
    std::uint32_t tempo = k_default_tempo_us;
    for (const TempoChange& change : f.tempo) {
        if (change.tick >= tick) break;
        seconds += double(change.tick - from) * tempo / 1e6 / f.division;
        from = change.tick;
        tempo = change.us_per_quarter;
    }
    return seconds + double(tick - from) * tempo / 1e6 / f.division;
}

std::uint32_t tempo_at(const Parsed& f, std::uint32_t tick) {
    std::uint32_t tempo = k_default_tempo_us;
    for (const TempoChange& change : f.tempo) {
        if (change.tick > tick) break;
        tempo = change.us_per_quarter;
    }
    return tempo == 0 ? k_default_tempo_us : tempo;
}

void put_vlq(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t bytes[5];
    int n = 0;
    bytes[n++] = std::uint8_t(value & 0x7f);
    while (value >>= 7) bytes[n++] = std::uint8_t((value & 0x7f) | 0x80);
    while (n > 0) out.push_back(bytes[--n]);
}

void put_be32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

}  // namespace

MidiTiming read_midi_timing(std::span<const std::uint8_t> smf) {
    const Parsed f = parse(smf);
    return MidiTiming{seconds_at(f, f.end_tick), f.end_tick};
}

std::vector<std::uint8_t> with_release_tail(std::span<const std::uint8_t> smf, double tail_seconds,
                                            MidiTiming* timing) {
    const Parsed f = parse(smf);
    std::vector<std::uint8_t> out(smf.begin(), smf.end());
    if (!f.complete || f.channels_used == 0 || f.tracks >= 0xffff || !(tail_seconds > 0)) {
        if (timing) *timing = MidiTiming{seconds_at(f, f.end_tick), f.end_tick};
        return out;
    }

    const double ticks_per_second =
        smpte(f) ? smpte_ticks_per_second(f) : 1e6 / tempo_at(f, f.end_tick) * f.division;
    const auto tail_ticks = std::uint32_t(std::max(1.0, std::round(tail_seconds * ticks_per_second)));

    std::vector<std::uint8_t> track;
    std::uint32_t at = 0;  // the track counts from the start of the piece
    auto event = [&](std::uint32_t tick, std::uint8_t status, std::uint8_t a, std::uint8_t b) {
        put_vlq(track, tick - at);
        at = tick;
        track.insert(track.end(), {status, a, b});
    };
    for (int step = 1; step <= k_tail_steps; ++step) {
        const std::uint32_t tick =
            f.end_tick + std::uint32_t(std::llround(double(tail_ticks) * step / k_tail_steps));
        const double left = 1.0 - double(step) / k_tail_steps;
        for (int c = 0; c < k_channels; ++c) {
            if (!(f.channels_used & (1u << c))) continue;
            const int value = int(std::lround(f.expression[std::size_t(c)].value * left * left));
            event(tick, std::uint8_t(0xb0 | c), k_cc_expression, std::uint8_t(value));
        }
    }
    const std::uint32_t end = f.end_tick + tail_ticks;
    for (int c = 0; c < k_channels; ++c) {
        if (!(f.channels_used & (1u << c))) continue;
        event(end, std::uint8_t(0xb0 | c), k_cc_all_sound_off, 0);
        event(end, std::uint8_t(0xb0 | c), k_cc_all_notes_off, 0);
    }
    track.insert(track.end(), {0x00, 0xff, 0x2f, 0x00});

    out.resize(f.tracks_end);  // drops anything after the last track
    const std::uint16_t format = f.format == 0 ? 1 : f.format;
    const auto tracks = std::uint16_t(f.tracks + 1);
    out[8] = std::uint8_t(format >> 8);
    out[9] = std::uint8_t(format);
    out[10] = std::uint8_t(tracks >> 8);
    out[11] = std::uint8_t(tracks);
    const std::size_t chunk = out.size();
    out.resize(chunk + 8);
    std::memcpy(out.data() + chunk, "MTrk", 4);
    put_be32(out.data() + chunk + 4, std::uint32_t(track.size()));
    out.insert(out.end(), track.begin(), track.end());

    if (timing) *timing = MidiTiming{seconds_at(f, end), end};
    return out;
}

}  // namespace zuvela
