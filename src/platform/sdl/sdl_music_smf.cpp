#include "platform/sdl/sdl_music_smf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/errors.h"

namespace zuvela {

namespace {

constexpr int k_channels = 16;
constexpr std::uint32_t k_default_tempo_us = 500'000;  // 120 beats a minute
constexpr int k_cc_expression = 11;
constexpr int k_cc_all_sound_off = 120;
constexpr int k_cc_all_notes_off = 123;
constexpr int k_tail_steps = 12;
// The synthesizer counts ticks in 32 bits with a sign.
constexpr std::uint32_t k_max_tick = 0x7fffffff;
// 6 000 beats a minute.
constexpr std::uint32_t k_min_tempo_us = 10'000;
// Past these the synthesizer takes seconds to load a piece, on the event thread when nothing prepared it.
constexpr std::size_t k_max_events = 200'000;
constexpr int k_max_tracks = 256;
constexpr double k_max_seconds = 30 * 60;

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
    std::size_t events = 0;
    std::uint16_t channels_used = 0;
    std::vector<TempoChange> tempo;
    std::array<Expression, k_channels> expression{};
};

[[noreturn]] void refuse(const std::string& why) {
    throw PlatformError("unplayable MIDI file: " + why);
}

// Reads a variable-length quantity of at most four bytes, within the track.
std::uint32_t read_vlq(const std::uint8_t* data, std::size_t end, std::size_t& p) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) refuse("a track ends inside an event");
        const std::uint8_t c = data[p++];
        value = value << 7 | (c & 0x7f);
        if (!(c & 0x80)) return value;
    }
    refuse("a number longer than four bytes");
}

// The synthesizer reads a track event by event up to its End of Track, whatever the chunk's length says, and
// takes a number too long, a data byte with no status before it or a tempo of the wrong length as something
// else: it reads on past the track, even backwards, for minutes. So a track must be exactly what both
// readers see alike, and is refused otherwise.
void read_track(const std::uint8_t* data, std::size_t begin, std::size_t end, Parsed& out) {
    std::size_t p = begin;
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    for (;;) {
        tick += read_vlq(data, end, p);
        if (tick > std::uint64_t(k_max_tick)) refuse("the piece is too long");
        if (p >= end) refuse("a track ends inside an event");
        ++out.events;
        std::uint8_t status = data[p];
        if (status & 0x80) {
            ++p;
            if (status < 0xf0) running = status;
        } else if (running != 0) {
            status = running;
        } else {
            refuse("a data byte with no status to run on");
        }
        if (status == 0xff) {
            if (p >= end) refuse("a track ends inside an event");
            const std::uint8_t type = data[p++];
            const std::uint32_t length = read_vlq(data, end, p);
            if (length > end - p) refuse("a track ends inside an event");
            if (type == 0x51) {
                if (length != 3) refuse("a tempo of the wrong length");
                const std::uint32_t tempo =
                    std::uint32_t(data[p]) << 16 | std::uint32_t(data[p + 1]) << 8 | data[p + 2];
                if (tempo < k_min_tempo_us) refuse("a tempo too fast");
                out.tempo.push_back({std::uint32_t(tick), tempo});
            } else if (type == 0x2f) {
                out.end_tick = std::max(out.end_tick, std::uint32_t(tick));
                return;
            }
            p += length;
        } else if (status == 0xf0 || status == 0xf7) {
            const std::uint32_t length = read_vlq(data, end, p);
            if (length > end - p) refuse("a track ends inside an event");
            p += length;
        } else if (status < 0xf0) {
            const int kind = status & 0xf0;
            const int channel = status & 0x0f;
            const std::size_t n = (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
            if (n > end - p) refuse("a track ends inside an event");
            if (kind == 0xb0 && data[p] == k_cc_expression) {
                Expression& e = out.expression[std::size_t(channel)];
                if (tick >= e.tick) e = Expression{std::uint32_t(tick), data[p + 1] & 0x7f};
            }
            out.channels_used = std::uint16_t(out.channels_used | (1u << channel));
            p += n;
        } else {
            refuse("a system message inside a track");
        }
    }
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
    // The synthesizer plays the tracks of format 2 one after the other; their length is not measured here.
    if (out.format > 1) refuse("format " + std::to_string(out.format));
    if (out.format == 0 && declared_tracks != 1) refuse("format 0 with more than one track");
    out.header_end = 8 + header_length;

    std::size_t p = out.header_end;
    out.tracks_end = p;
    while (p + 8 <= size && out.tracks < declared_tracks) {
        std::size_t length = be32(data + p + 4);
        const bool is_track = std::memcmp(data + p, "MTrk", 4) == 0;
        if (length > size - p - 8) {
            // The synthesizer reads the next track from where this one's End of Track left it.
            if (is_track && out.tracks + 1 < declared_tracks) refuse("a track runs past the end of the file");
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
    if (f.events > k_max_events) refuse("too many events");
    if (f.tracks > k_max_tracks) refuse("too many tracks");
    if (!(seconds_at(f, f.end_tick) <= k_max_seconds)) refuse("the piece is too long");
    std::vector<std::uint8_t> out(smf.begin(), smf.end());
    if (!f.complete || f.channels_used == 0 || f.tracks >= 0xffff || !(tail_seconds > 0)) {
        if (timing) *timing = MidiTiming{seconds_at(f, f.end_tick), f.end_tick};
        return out;
    }

    const double ticks_per_second =
        smpte(f) ? smpte_ticks_per_second(f) : 1e6 / tempo_at(f, f.end_tick) * f.division;
    const double tail = std::max(1.0, std::round(tail_seconds * ticks_per_second));
    if (double(f.end_tick) + tail > double(k_max_tick)) refuse("the piece is too long");
    const auto tail_ticks = std::uint32_t(tail);

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
