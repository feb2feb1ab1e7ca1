// Checks the committed colour sounds and background music as a player would meet them.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

const std::filesystem::path k_assets = ZUVELA_ASSET_DIR;

constexpr std::array<const char*, 12> k_colour_sounds = {
    "CRVENA.WAV", "ZELENA.WAV",    "ZUTA.WAV",  "SVPLAVA.WAV", "ORANZ.WAV", "LJUBICASTA.WAV",
    "SIVA.WAV",   "TAMNOZUTA.WAV", "BRAON.WAV", "PLAVA.WAV",   "CRNA.WAV",  "PINK.WAV",
};

double rms_dbfs(const std::vector<short>& samples) {
    double energy = 0;
    for (short s : samples) energy += (s / 32768.0) * (s / 32768.0);
    return 10.0 * std::log10(energy / static_cast<double>(samples.size()) + 1e-12);
}

double peak_of(const std::vector<short>& samples, std::size_t begin, std::size_t end) {
    int peak = 0;
    for (std::size_t i = begin; i < end; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak / 32768.0;
}

TEST(ColourSounds, AreShortCleanMonoPcmWithAChimeAndAWord) {
    const double minus_1_dbfs = std::pow(10.0, -1.0 / 20.0);
    double quietest = 0, loudest = -200;
    for (const char* name : k_colour_sounds) {
        SCOPED_TRACE(name);
        const auto path = k_assets / "SOUND" / name;
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        std::vector<short> samples(static_cast<std::size_t>(info.frames) * info.channels);
        const sf_count_t read = sf_readf_short(file, samples.data(), info.frames);
        sf_close(file);
        ASSERT_EQ(read, info.frames);

        EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
        EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
        EXPECT_EQ(info.channels, 1);
        EXPECT_TRUE(info.samplerate == 22050 || info.samplerate == 44100) << info.samplerate;

        const double seconds = static_cast<double>(info.frames) / info.samplerate;
        EXPECT_LE(seconds, 1.5);
        // Shorter than this there is no room for a chime and a spoken colour.
        EXPECT_GE(seconds, 0.5);

        EXPECT_LE(peak_of(samples, 0, samples.size()), minus_1_dbfs);
        const double level = rms_dbfs(samples);
        EXPECT_GE(level, -24.0) << "too quiet to be heard over the music";
        quietest = std::min(quietest, level);
        loudest = std::max(loudest, level);

        // A step at either end is heard as a click.
        const auto edge = static_cast<std::size_t>(info.samplerate / 200);
        ASSERT_GT(samples.size(), 2 * edge);
        EXPECT_LE(peak_of(samples, 0, edge), 0.01);
        EXPECT_LE(peak_of(samples, samples.size() - edge, samples.size()), 0.01);
    }
    // A child clicking along the palette should not meet one colour that shouts.
    EXPECT_LE(loudest - quietest, 4.0);
}

class MidiReader {
  public:
    explicit MidiReader(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    bool at_end() const { return m_pos >= m_bytes.size(); }
    std::size_t remaining() const { return m_bytes.size() - m_pos; }
    std::size_t position() const { return m_pos; }
    std::uint8_t peek() const { return m_bytes.at(m_pos); }
    std::uint8_t byte() { return m_bytes.at(m_pos++); }
    std::uint32_t big_endian(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = (value << 8) | byte();
        return value;
    }
    std::uint32_t variable_length() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = byte();
            value = (value << 7) | (b & 0x7f);
            if ((b & 0x80) == 0) return value;
        }
        throw std::runtime_error("variable-length quantity longer than four bytes");
    }
    std::string tag() {
        std::string text;
        for (int i = 0; i < 4; ++i) text += static_cast<char>(byte());
        return text;
    }
    void skip(std::size_t count) { m_pos += count; }

  private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

struct Track {
    std::uint32_t end_tick = 0;
    std::uint32_t last_note_off = 0;
    int notes = 0;
    int notes_left_sounding = 0;
    bool has_program = false;
    bool end_of_track_last = false;
    std::map<std::uint32_t, std::uint32_t> tempo_changes;  // tick -> microseconds per quarter note
    int bar_numerator = 0;
    int bar_denominator = 0;
};

Track parse_track(MidiReader& in, std::size_t length) {
    Track track;
    const std::size_t end = in.position() + length;
    std::uint32_t tick = 0;
    std::uint8_t running = 0;
    std::map<int, int> sounding;  // channel * 128 + key -> count
    while (in.position() < end) {
        track.end_of_track_last = false;
        tick += in.variable_length();
        std::uint8_t status = in.peek() & 0x80 ? in.byte() : running;
        if (status == 0xff) {
            const std::uint8_t type = in.byte();
            const std::uint32_t size = in.variable_length();
            if (type == 0x51 && size == 3) {
                track.tempo_changes[tick] = in.big_endian(3);
            } else if (type == 0x58 && size == 4) {
                track.bar_numerator = in.byte();
                track.bar_denominator = 1 << in.byte();
                in.skip(2);
            } else {
                in.skip(size);
            }
            if (type == 0x2f) {
                track.end_tick = tick;
                track.end_of_track_last = true;
            }
            continue;
        }
        if (status == 0xf0 || status == 0xf7) {
            in.skip(in.variable_length());
            continue;
        }
        if ((status & 0x80) == 0) throw std::runtime_error("data byte without running status");
        running = status;
        const int kind = status & 0xf0;
        const int channel = status & 0x0f;
        const int data1 = in.byte();
        const int data2 = (kind == 0xc0 || kind == 0xd0) ? 0 : in.byte();
        if (kind == 0x90 && data2 > 0) {
            ++sounding[channel * 128 + data1];
            ++track.notes;
        } else if (kind == 0x80 || (kind == 0x90 && data2 == 0)) {
            if (sounding[channel * 128 + data1] > 0) --sounding[channel * 128 + data1];
            track.last_note_off = std::max(track.last_note_off, tick);
        } else if (kind == 0xc0) {
            track.has_program = true;
        }
    }
    for (const auto& [key, count] : sounding) track.notes_left_sounding += count;
    return track;
}

TEST(BackgroundMusic, IsAFormat1MidiFileOfAboutAMinuteThatLoopsOnAFullBar) {
    std::ifstream file(k_assets / "MUSIC" / "001.MID", std::ios::binary);
    ASSERT_TRUE(file);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    ASSERT_LT(bytes.size(), 200'000u);
    MidiReader in(bytes);

    ASSERT_EQ(in.tag(), "MThd");
    ASSERT_EQ(in.big_endian(4), 6u);
    EXPECT_EQ(in.big_endian(2), 1u) << "format";
    const std::uint32_t track_count = in.big_endian(2);
    const std::uint32_t division = in.big_endian(2);
    ASSERT_EQ(division & 0x8000, 0u) << "ticks per quarter note, not SMPTE time";
    ASSERT_GT(division, 0u);

    std::vector<Track> tracks;
    while (!in.at_end()) {
        ASSERT_GE(in.remaining(), 8u);
        const std::string tag = in.tag();
        const std::uint32_t length = in.big_endian(4);
        ASSERT_LE(length, in.remaining());
        if (tag != "MTrk") {
            in.skip(length);
            continue;
        }
        const std::size_t start = in.position();
        tracks.push_back(parse_track(in, length));
        ASSERT_EQ(in.position(), start + length) << "track " << tracks.size() << " overruns its chunk";
    }
    ASSERT_EQ(tracks.size(), track_count);

    std::map<std::uint32_t, std::uint32_t> tempo = {{0, 500'000}};
    std::uint32_t end_tick = 0;
    int numerator = 4, denominator = 4;
    int melodic_tracks = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        SCOPED_TRACE("track " + std::to_string(i));
        const Track& t = tracks[i];
        EXPECT_TRUE(t.end_of_track_last) << "every track ends with End of Track";
        EXPECT_EQ(t.notes_left_sounding, 0) << "a note that is never released hangs over the restart";
        EXPECT_LE(t.last_note_off, t.end_tick);
        if (t.notes > 0) {
            ++melodic_tracks;
            EXPECT_TRUE(t.has_program) << "a track that plays sets its instrument";
        }
        for (const auto& [tick, micros] : t.tempo_changes) tempo[tick] = micros;
        if (t.bar_numerator != 0) {
            numerator = t.bar_numerator;
            denominator = t.bar_denominator;
        }
        end_tick = std::max(end_tick, t.end_tick);
    }
    EXPECT_GE(melodic_tracks, 3) << "melody, accompaniment and bass";

    const std::uint32_t bar = division * 4 * numerator / denominator;
    EXPECT_EQ(end_tick % bar, 0u) << "the piece ends on a bar line";
    for (const Track& t : tracks) {
        if (t.notes > 0) {
            EXPECT_GE(t.last_note_off + bar, end_tick) << "no long silence before the restart";
        }
    }

    double seconds = 0;
    for (auto it = tempo.begin(); it != tempo.end() && it->first < end_tick; ++it) {
        const auto next = std::next(it);
        const std::uint32_t until = next == tempo.end() ? end_tick : std::min(next->first, end_tick);
        seconds += static_cast<double>(until - it->first) / division * it->second / 1e6;
    }
    EXPECT_GE(seconds, 45.0);
    EXPECT_LE(seconds, 90.0);
}

}  // namespace
