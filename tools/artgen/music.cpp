// MUSIC/001.MID: "Twinkle, Twinkle, Little Star" (traditional) for flute, glockenspiel, piano and bass.
// The player restarts the file when it ends, so every note stops exactly at the end of the last full bar, and
// the piece ends on the tonic chord that it also starts on.
#include <array>
#include <cstdint>
#include <vector>

#include "artgen.h"
#include "audio_smf.h"

namespace artgen {

namespace {

constexpr int k_ticks_per_quarter = 480;
constexpr std::uint32_t k_beat = k_ticks_per_quarter;
constexpr std::uint32_t k_bar = 4 * k_beat;
constexpr double k_tempo = 108;

// General MIDI programs, counted from 0.
constexpr int k_acoustic_grand_piano = 0;
constexpr int k_glockenspiel = 9;
constexpr int k_acoustic_bass = 32;
constexpr int k_flute = 73;

enum Channel { k_flute_channel = 0, k_glockenspiel_channel = 1, k_piano_channel = 2, k_bass_channel = 3 };

enum Controller { k_volume = 7, k_pan = 10, k_reverb = 91, k_chorus = 93 };

struct Note {
    int key;  // 0 = rest
    int beats;
};

constexpr int C5 = 72, D5 = 74, E5 = 76, F5 = 77, G5 = 79, A5 = 81;

// Four bars each: "Twinkle, twinkle ... what you are" and "Up above ... in the sky".
const std::vector<Note> k_phrase_a = {{C5, 1}, {C5, 1}, {G5, 1}, {G5, 1}, {A5, 1}, {A5, 1}, {G5, 2},
                                      {F5, 1}, {F5, 1}, {E5, 1}, {E5, 1}, {D5, 1}, {D5, 1}, {C5, 2}};
const std::vector<Note> k_phrase_b = {{G5, 1}, {G5, 1}, {F5, 1}, {F5, 1}, {E5, 1}, {E5, 1}, {D5, 2},
                                      {G5, 1}, {G5, 1}, {F5, 1}, {F5, 1}, {E5, 1}, {E5, 1}, {D5, 2}};
// The closing tag repeats "how I wonder what you are".
const std::vector<Note> k_tag = {{F5, 1}, {F5, 1}, {E5, 1}, {E5, 1}, {D5, 1}, {D5, 1}, {C5, 2}};

enum class Chord { C, F, G };

// One chord per half bar.
const std::vector<Chord> k_chords_a = {Chord::C, Chord::C, Chord::F, Chord::C,
                                       Chord::F, Chord::C, Chord::G, Chord::C};
const std::vector<Chord> k_chords_b = {Chord::C, Chord::F, Chord::C, Chord::G,
                                       Chord::C, Chord::F, Chord::C, Chord::G};
const std::vector<Chord> k_chords_intro = {Chord::C, Chord::C, Chord::G, Chord::G};
const std::vector<Chord> k_chords_tag = {Chord::F, Chord::C, Chord::G, Chord::C};

// Close voicings around middle C, below the flute; bass roots in the second octave.
std::array<int, 3> voicing(Chord chord) {
    switch (chord) {
        case Chord::C:
            return {55, 60, 64};
        case Chord::F:
            return {57, 60, 65};
        case Chord::G:
            return {55, 59, 62};
    }
    return {};
}

int bass_root(Chord chord) {
    switch (chord) {
        case Chord::C:
            return 36;
        case Chord::F:
            return 41;
        case Chord::G:
            return 43;
    }
    return 0;
}

int bass_fifth(Chord chord) {
    return bass_root(chord) == 36 ? 43 : bass_root(chord) - 5;
}

struct Arrangement {
    SmfTrack conductor, flute, glockenspiel, piano, bass;
};

void set_up(SmfTrack& track, const char* name, int channel, int program, int volume, int pan) {
    track.name(0, name);
    track.program(0, channel, program);
    track.control(0, channel, k_volume, volume);
    track.control(0, channel, k_pan, pan);
    track.control(0, channel, k_reverb, 40);
    track.control(0, channel, k_chorus, 0);
}

// Quarter notes a little detached so repeated notes are heard as two; longer notes held almost to the next
// one. A note that ends the piece is held to the very end.
std::uint32_t play_melody(SmfTrack& track, int channel, std::uint32_t start, const std::vector<Note>& notes,
                          int transpose, int velocity, bool hold_last = false) {
    std::uint32_t tick = start;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const std::uint32_t length = notes[i].beats * k_beat;
        if (notes[i].key != 0) {
            const bool last = hold_last && i + 1 == notes.size();
            const std::uint32_t sounding = last ? length : length - (notes[i].beats == 1 ? 50 : 30);
            const int accent = (tick % k_bar == 0) ? 8 : (tick % (2 * k_beat) == 0 ? 3 : 0);
            track.note(tick, sounding, channel, notes[i].key + transpose, velocity + accent);
        }
        tick += length;
    }
    return tick;
}

// Bass on beats 1 and 3, piano chords on 2 and 4: the bounce of a nursery song.
void oom_pah(Arrangement& a, std::uint32_t start, const std::vector<Chord>& chords, bool hold_last = false) {
    for (std::size_t half = 0; half < chords.size(); ++half) {
        const std::uint32_t tick = start + half * 2 * k_beat;
        const Chord chord = chords[half];
        const bool repeat = half % 2 == 1 && chords[half - 1] == chord;
        const bool last = hold_last && half + 1 == chords.size();
        if (last) {
            a.bass.note(tick, 2 * k_beat, k_bass_channel, bass_root(chord), 80);
            for (int key : voicing(chord)) a.piano.note(tick, 2 * k_beat, k_piano_channel, key, 56);
            continue;
        }
        a.bass.note(tick, k_beat - 40, k_bass_channel, repeat ? bass_fifth(chord) : bass_root(chord),
                    half % 2 == 0 ? 84 : 76);
        for (int key : voicing(chord)) a.piano.note(tick + k_beat, k_beat / 2, k_piano_channel, key, 50);
    }
}

// Broken chords in eighths for the second verse.
void arpeggio(Arrangement& a, std::uint32_t start, const std::vector<Chord>& chords) {
    constexpr std::array<int, 4> k_order = {0, 1, 2, 1};
    for (std::size_t half = 0; half < chords.size(); ++half) {
        const std::uint32_t tick = start + half * 2 * k_beat;
        const Chord chord = chords[half];
        const auto keys = voicing(chord);
        for (std::size_t step = 0; step < k_order.size(); ++step) {
            a.piano.note(tick + step * k_beat / 2, k_beat / 2 - 30, k_piano_channel, keys[k_order[step]],
                         step == 0 ? 54 : 44);
        }
        const bool repeat = half % 2 == 1 && chords[half - 1] == chord;
        a.bass.note(tick, 2 * k_beat - 60, k_bass_channel, repeat ? bass_fifth(chord) : bass_root(chord),
                    half % 2 == 0 ? 84 : 76);
    }
}

std::uint32_t verse(Arrangement& a, std::uint32_t start, bool second) {
    std::uint32_t tick = start;
    for (const auto* phrase : {&k_phrase_a, &k_phrase_b, &k_phrase_a}) {
        const auto& chords = phrase == &k_phrase_b ? k_chords_b : k_chords_a;
        if (second) {
            play_melody(a.glockenspiel, k_glockenspiel_channel, tick, *phrase, 12, 72);
            play_melody(a.flute, k_flute_channel, tick, *phrase, 0, 62);
            arpeggio(a, tick, chords);
        } else {
            play_melody(a.flute, k_flute_channel, tick, *phrase, 0, 84);
            oom_pah(a, tick, chords);
        }
        tick += 4 * k_bar;
    }
    return tick;
}

}  // namespace

void write_music(const OutputDirs& out) {
    Arrangement a;
    a.conductor.name(0, "Twinkle, Twinkle, Little Star");
    a.conductor.tempo(0, k_tempo);
    a.conductor.time_signature(0, 4, 2);
    a.conductor.key_signature(0, 0, false);
    set_up(a.flute, "Flute", k_flute_channel, k_flute, 100, 64);
    set_up(a.glockenspiel, "Glockenspiel", k_glockenspiel_channel, k_glockenspiel, 88, 76);
    set_up(a.piano, "Piano", k_piano_channel, k_acoustic_grand_piano, 88, 50);
    set_up(a.bass, "Bass", k_bass_channel, k_acoustic_bass, 100, 64);

    std::uint32_t tick = 0;
    play_melody(a.glockenspiel, k_glockenspiel_channel, tick,
                {{84, 1}, {88, 1}, {91, 1}, {88, 1}, {86, 2}, {0, 2}}, 0, 64);
    oom_pah(a, tick, k_chords_intro);
    tick += 2 * k_bar;

    tick = verse(a, tick, false);
    tick = verse(a, tick, true);

    play_melody(a.glockenspiel, k_glockenspiel_channel, tick, k_tag, 12, 72, true);
    play_melody(a.flute, k_flute_channel, tick, k_tag, 0, 70, true);
    oom_pah(a, tick, k_chords_tag, true);
    tick += 2 * k_bar;

    write_smf(out.music / "001.MID", k_ticks_per_quarter,
              {a.conductor, a.flute, a.glockenspiel, a.piano, a.bass}, tick);
}

}  // namespace artgen
