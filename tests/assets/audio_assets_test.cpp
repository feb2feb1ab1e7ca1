// Checks the committed colour chimes, spoken colour names and background music as a player would meet them.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <numbers>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "shell/language.h"

namespace {

const std::filesystem::path k_assets = ZUVELA_ASSET_DIR;

constexpr std::array<const char*, 12> k_colour_sounds = {
    "CRVENA.WAV", "ZELENA.WAV",    "ZUTA.WAV",  "SVPLAVA.WAV", "ORANZ.WAV", "LJUBICASTA.WAV",
    "SIVA.WAV",   "TAMNOZUTA.WAV", "BRAON.WAV", "PLAVA.WAV",   "CRNA.WAV",  "PINK.WAV",
};

struct Sound {
    int sample_rate = 0;
    std::vector<double> samples;  // in [-1, 1]
    double seconds() const { return static_cast<double>(samples.size()) / sample_rate; }
};

// Checks the format every sound shares on the way in: mono 16-bit PCM WAV.
void read_sound(const std::filesystem::path& path, Sound& sound) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    std::vector<short> pcm(static_cast<std::size_t>(info.frames) * info.channels);
    const sf_count_t read = sf_readf_short(file, pcm.data(), info.frames);
    sf_close(file);
    ASSERT_EQ(read, info.frames);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    ASSERT_EQ(info.channels, 1);
    EXPECT_TRUE(info.samplerate == 22050 || info.samplerate == 44100) << info.samplerate;
    sound.sample_rate = info.samplerate;
    sound.samples.assign(pcm.size(), 0.0);
    std::transform(pcm.begin(), pcm.end(), sound.samples.begin(), [](short s) { return s / 32768.0; });
}

double peak_of(const std::vector<double>& samples, std::size_t begin, std::size_t end) {
    double peak = 0;
    for (std::size_t i = begin; i < end; ++i) peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

// How loud a sound is while it sounds: the mean power of its 50 ms blocks within 20 dB of the loudest, so
// neither a bell's quiet ring nor the gaps in a word count against it.
double gated_level_db(const Sound& sound) {
    const auto block = static_cast<std::size_t>(sound.sample_rate / 20);
    std::vector<double> powers;
    for (std::size_t begin = 0; begin + block <= sound.samples.size(); begin += block / 2) {
        double energy = 0;
        for (std::size_t i = begin; i < begin + block; ++i) energy += sound.samples[i] * sound.samples[i];
        powers.push_back(energy / static_cast<double>(block));
    }
    const double loudest = *std::max_element(powers.begin(), powers.end());
    double sum = 0;
    int count = 0;
    for (double p : powers) {
        if (p >= loudest / 100) {
            sum += p;
            ++count;
        }
    }
    return 10.0 * std::log10(sum / count + 1e-12);
}

std::vector<double> power_spectrum(const std::vector<double>& samples, std::size_t begin, std::size_t size) {
    using Complex = std::complex<double>;
    std::vector<Complex> a(size);
    for (std::size_t i = 0; i < size; ++i) {
        a[i] = samples[begin + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / size));
    }
    for (std::size_t i = 1, j = 0; i < size; ++i) {
        std::size_t bit = size >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= size; len <<= 1) {
        const Complex w = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < size; i += len) {
            Complex wk = 1;
            for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
                const Complex u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    std::vector<double> power(size / 2);
    for (std::size_t i = 1; i < size / 2; ++i) power[i] = std::norm(a[i]);
    return power;
}

constexpr std::size_t k_frame = 2048;

// The median, over the frames that sound, of the share of a frame's energy in its 32 strongest frequency
// bins. A few bell notes put nearly all their energy there; a voice spreads it over dozens of harmonics
// that glide with the intonation.
double tonality(const Sound& sound) {
    std::vector<double> energies, shares;
    for (std::size_t begin = 0; begin + k_frame <= sound.samples.size(); begin += k_frame / 4) {
        std::vector<double> power = power_spectrum(sound.samples, begin, k_frame);
        const double energy = std::accumulate(power.begin(), power.end(), 0.0);
        std::partial_sort(power.begin(), power.begin() + 32, power.end(), std::greater<>());
        energies.push_back(energy);
        shares.push_back(std::accumulate(power.begin(), power.begin() + 32, 0.0) / (energy + 1e-30));
    }
    const double loudest = *std::max_element(energies.begin(), energies.end());
    std::vector<double> sounding;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        if (energies[i] >= loudest / 100) sounding.push_back(shares[i]);
    }
    std::nth_element(sounding.begin(), sounding.begin() + sounding.size() / 2, sounding.end());
    return sounding[sounding.size() / 2];
}

// The whole sound's spectrum, normalised, for telling two motifs apart.
std::vector<double> long_term_spectrum(const Sound& sound) {
    std::vector<double> sum(k_frame / 2, 0.0);
    for (std::size_t begin = 0; begin + k_frame <= sound.samples.size(); begin += k_frame / 4) {
        const std::vector<double> power = power_spectrum(sound.samples, begin, k_frame);
        for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += std::sqrt(power[i]);
    }
    const double norm = std::sqrt(std::inner_product(sum.begin(), sum.end(), sum.begin(), 0.0));
    for (double& v : sum) v /= norm;
    return sum;
}

void expect_clean_edges_and_headroom(const Sound& sound) {
    EXPECT_LE(20.0 * std::log10(peak_of(sound.samples, 0, sound.samples.size())), -1.45);
    // A step at either end is heard as a click.
    const auto edge = static_cast<std::size_t>(sound.sample_rate / 200);
    ASSERT_GT(sound.samples.size(), 2 * edge);
    EXPECT_LE(peak_of(sound.samples, 0, edge), 0.01);
    EXPECT_LE(peak_of(sound.samples, sound.samples.size() - edge, sound.samples.size()), 0.01);
}

// The English names in SOUND/VOICE itself, then every language's folder the program may choose.
std::vector<std::filesystem::path> voice_folders() {
    std::vector<std::filesystem::path> folders = {k_assets / "SOUND" / "VOICE"};
    for (const zuvela::Language& language : zuvela::shipped_languages)
        folders.push_back(k_assets / "SOUND" / "VOICE" / language.folder);
    return folders;
}

class ColourSounds : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t i = 0; i < k_colour_sounds.size(); ++i) {
            SCOPED_TRACE(k_colour_sounds[i]);
            ASSERT_NO_FATAL_FAILURE(read_sound(k_assets / "SOUND" / k_colour_sounds[i], chimes[i]));
        }
        for (const std::filesystem::path& folder : voice_folders()) {
            std::array<Sound, 12>& language = voices[folder.filename() == "VOICE" ? "" : folder.filename()];
            for (std::size_t i = 0; i < k_colour_sounds.size(); ++i) {
                SCOPED_TRACE(folder / k_colour_sounds[i]);
                ASSERT_NO_FATAL_FAILURE(read_sound(folder / k_colour_sounds[i], language[i]));
            }
        }
    }

    std::array<Sound, 12> chimes;
    std::map<std::string, std::array<Sound, 12>> voices;  // by folder, "" for English
};

// The bucket and the wipe play two of the chimes whatever the colour, so a chime holding a word would name
// the wrong colour.
TEST_F(ColourSounds, ChimesAreShortTonalAndHoldNoWord) {
    for (std::size_t i = 0; i < chimes.size(); ++i) {
        SCOPED_TRACE(k_colour_sounds[i]);
        EXPECT_LE(chimes[i].seconds(), 0.8);
        EXPECT_GE(chimes[i].seconds(), 0.2);
        EXPECT_GE(tonality(chimes[i]), 0.99);
        expect_clean_edges_and_headroom(chimes[i]);
    }
}

TEST_F(ColourSounds, EveryColourHasItsSpokenNameApartInEveryLanguage) {
    for (const auto& [folder, language] : voices) {
        for (std::size_t i = 0; i < language.size(); ++i) {
            SCOPED_TRACE(folder + "/" + k_colour_sounds[i]);
            EXPECT_GE(language[i].seconds(), 0.4) << "room for a spoken word";
            EXPECT_LE(language[i].seconds(), 1.5);
            EXPECT_EQ(language[i].sample_rate, voices[""][i].sample_rate);
            EXPECT_LT(tonality(language[i]), 0.99) << "a chime where the word should be";
            expect_clean_edges_and_headroom(language[i]);
            // The word fades out on its own end: a vowel that stops dead is heard as a click.
            const std::vector<double>& s = language[i].samples;
            std::size_t end = s.size();
            while (end > 0 && std::abs(s[end - 1]) <= 0.001) --end;
            const auto tail = static_cast<std::size_t>(language[i].sample_rate / 200);
            ASSERT_GT(end, tail);
            double energy = 0;
            for (std::size_t k = end - tail; k < end; ++k) energy += s[k] * s[k];
            EXPECT_LE(10 * std::log10(energy / static_cast<double>(tail)), -40.0) << "dBFS in the last 5 ms";
        }
    }
    // A folder the program never chooses is dead weight in the package; a chosen one missing is a silent
    // palette.
    std::set<std::string> shipped;
    for (const auto& entry : std::filesystem::directory_iterator(k_assets / "SOUND" / "VOICE"))
        if (entry.is_directory()) shipped.insert(entry.path().filename());
    std::set<std::string> chosen;
    for (const zuvela::Language& language : zuvela::shipped_languages)
        chosen.insert(std::string(language.folder));
    EXPECT_EQ(shipped, chosen);
}

TEST_F(ColourSounds, EachColourHasAMotifOfItsOwn) {
    std::array<std::vector<double>, 12> spectra;
    for (std::size_t i = 0; i < chimes.size(); ++i) spectra[i] = long_term_spectrum(chimes[i]);
    for (std::size_t a = 0; a < spectra.size(); ++a) {
        for (std::size_t b = a + 1; b < spectra.size(); ++b) {
            const double similarity =
                std::inner_product(spectra[a].begin(), spectra[a].end(), spectra[b].begin(), 0.0);
            EXPECT_LT(similarity, 0.85) << k_colour_sounds[a] << " sounds like " << k_colour_sounds[b];
        }
    }
}

// A child clicking along the palette should not meet one colour that shouts, nor a word drowned by its chime.
TEST_F(ColourSounds, ChimesAndVoicesAreEquallyLoud) {
    double quietest = 0, loudest = -200;
    const auto check = [&](const Sound& sound, const std::string& name) {
        const double level = gated_level_db(sound);
        EXPECT_GE(level, -22.0) << name << ": too quiet to be heard over the music";
        quietest = std::min(quietest, level);
        loudest = std::max(loudest, level);
    };
    for (std::size_t i = 0; i < chimes.size(); ++i) {
        check(chimes[i], k_colour_sounds[i]);
        for (const auto& [folder, language] : voices) check(language[i], folder + "/" + k_colour_sounds[i]);
    }
    EXPECT_LE(loudest - quietest, 2.5);
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
