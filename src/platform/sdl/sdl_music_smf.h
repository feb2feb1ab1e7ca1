// What the music back end needs to know about a standard MIDI file, read without a synthesizer: whether it is
// one, how long it lasts, and the same piece with a short release at its end.
//
// SDL_mixer's Timidity stops rendering at the file's last event, so notes that are still sounding there (a
// piece that ends on a held chord) are cut off in mid-waveform. with_release_tail() lets them ring out over a
// short fade instead, the way a synthesizer releases them after a segment ends.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zuvela {

struct MidiTiming {
    double seconds = 0;          // from the start to the end of the longest track
    std::uint32_t end_tick = 0;  // that end, in the file's ticks
};

// Throws PlatformError when the bytes are not a standard MIDI file of format 0 or 1 whose every track runs,
// event by well-formed event, to an End of Track inside its chunk (the last chunk may be cut short by the end
// of the file), with tempos of at most 6 000 beats a minute.
MidiTiming read_midi_timing(std::span<const std::uint8_t> smf);

// The file with one more track: from the end of the piece, the expression of every channel it uses falls to
// silence over `tail_seconds`, then all of their sounds are switched off. The piece itself is unchanged; the
// new file lasts `tail_seconds` longer. Throws PlatformError as read_midi_timing does, and for a piece the
// synthesizer would take too long to load or that is no tune: over 30 minutes, 200 000 events or 256 tracks.
std::vector<std::uint8_t> with_release_tail(std::span<const std::uint8_t> smf, double tail_seconds,
                                            MidiTiming* timing = nullptr);

}  // namespace zuvela
