// Standard MIDI files for tests: tracks of raw events, or a piece of notes.
#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include "support/bytes.h"

namespace zuvela::test {

inline void put_vlq(Bytes& out, std::uint32_t value) {
    std::uint8_t bytes[5];
    int n = 0;
    bytes[n++] = std::uint8_t(value & 0x7f);
    while (value >>= 7) bytes[n++] = std::uint8_t((value & 0x7f) | 0x80);
    while (n > 0) out.push_back(bytes[--n]);
}

inline const Bytes k_end_of_track = {0x00, 0xff, 0x2f, 0x00};

// A Set Tempo event after `delta` ticks.
inline Bytes tempo_event(std::uint32_t delta, std::uint32_t us_per_quarter) {
    Bytes e;
    put_vlq(e, delta);
    e.insert(e.end(), {0xff, 0x51, 0x03});
    put_be(e, us_per_quarter, 3);
    return e;
}

// The tracks as given, each in its chunk: they must carry their own End of Track.
inline Bytes midi_file(const std::vector<Bytes>& tracks, unsigned format = 1, unsigned division = 96) {
    Bytes smf;
    put_text(smf, "MThd");
    put_be(smf, 6, 4);
    put_be(smf, format, 2);
    put_be(smf, std::uint32_t(tracks.size()), 2);
    put_be(smf, division, 2);
    for (const Bytes& track : tracks) {
        put_text(smf, "MTrk");
        put_be(smf, std::uint32_t(track.size()), 4);
        smf.insert(smf.end(), track.begin(), track.end());
    }
    return smf;
}

struct MidiNote {
    int key;
    double start;  // seconds
    double length;
};

// A format 0 file at 120 beats a minute, 480 ticks a quarter (960 ticks a second), one program.
inline Bytes midi_notes(int program, const std::vector<MidiNote>& notes) {
    struct Event {
        std::uint32_t tick;
        std::array<std::uint8_t, 3> bytes;
    };
    std::vector<Event> events;
    for (const MidiNote& n : notes) {
        events.push_back({std::uint32_t(n.start * 960), {0x90, std::uint8_t(n.key), 100}});
        events.push_back({std::uint32_t((n.start + n.length) * 960), {0x80, std::uint8_t(n.key), 0}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    Bytes track = {0x00, 0xc0, std::uint8_t(program)};
    std::uint32_t at = 0;
    for (const Event& e : events) {
        put_vlq(track, e.tick - at);
        at = e.tick;
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    track.insert(track.end(), k_end_of_track.begin(), k_end_of_track.end());
    return midi_file({track}, 0, 480);
}

}  // namespace zuvela::test
