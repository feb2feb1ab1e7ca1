#include "audio_speech.h"

#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <stdexcept>

extern char** environ;

namespace artgen {

namespace {

namespace fs = std::filesystem;

class TempFile {
  public:
    explicit TempFile(const std::string& stem) {
        static int counter = 0;
        m_path = fs::temp_directory_path() /
                 ("zuvela-artgen-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + stem);
    }
    ~TempFile() {
        std::error_code ignored;
        fs::remove(m_path, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

void run_espeak(const std::string& text, const Voice& voice, const fs::path& wav) {
    const std::string speed = std::to_string(voice.words_per_minute);
    const std::string pitch = std::to_string(voice.pitch);
    const std::string out = wav.string();
    std::vector<std::string> args = {"espeak-ng", "-v",  voice.name, "-s", speed,
                                     "-p",        pitch, "-w",       out,  text};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot run espeak-ng (apt-get install espeak-ng)");
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("espeak-ng failed on \"" + text + "\"");
    }
}

std::vector<float> read_mono(const fs::path& wav, int& sample_rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
    if (!file) throw std::runtime_error("cannot read " + wav.string() + ": " + sf_strerror(nullptr));
    std::vector<float> frames(static_cast<std::size_t>(info.frames) * info.channels);
    const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    std::vector<float> mono(static_cast<std::size_t>(got));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c) sum += frames[i * info.channels + c];
        mono[i] = sum / static_cast<float>(info.channels);
    }
    sample_rate = info.samplerate;
    return mono;
}

// Linear interpolation is plenty for speech that holds almost nothing above 5 kHz.
std::vector<float> resample(const std::vector<float>& in, int from_rate, int to_rate) {
    if (from_rate == to_rate || in.empty()) return in;
    const double step = static_cast<double>(from_rate) / to_rate;
    const auto count = static_cast<std::size_t>(std::floor((in.size() - 1) / step)) + 1;
    std::vector<float> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double pos = i * step;
        const auto k = static_cast<std::size_t>(pos);
        const double frac = pos - k;
        const float next = k + 1 < in.size() ? in[k + 1] : in[k];
        out[i] = static_cast<float>(in[k] * (1.0 - frac) + next * frac);
    }
    return out;
}

constexpr float k_silence = 0.002f;  // about -54 dBFS: espeak-ng's own silence is quieter

// The word from its real start to its real end, where it first and last rises above silence, with the same
// margin of silence before it in every file: the fade-in lies in the margin and leaves the first consonant
// whole, the fade-out ends on the word's last sample instead of in the silence after it. espeak-ng stops a
// final vowel dead and often starts at its very first sample, so neither edge may be taken as it comes.
std::vector<float> shape_edges(const std::vector<float>& in, int sample_rate) {
    const auto loud = [](float s) { return std::abs(s) >= k_silence; };
    const auto first = std::find_if(in.begin(), in.end(), loud);
    if (first == in.end()) return {};
    const auto last = std::find_if(in.rbegin(), in.rend(), loud).base();
    const auto margin = static_cast<std::ptrdiff_t>(sample_rate / 50);
    const std::ptrdiff_t before = std::min(margin, first - in.begin());
    std::vector<float> out(static_cast<std::size_t>(margin - before), 0.0f);
    out.insert(out.end(), first - before, last);

    for (std::ptrdiff_t i = 0; i < margin; ++i) {
        out[static_cast<std::size_t>(i)] *=
            static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / margin));
    }
    const std::size_t word = out.size() - static_cast<std::size_t>(margin);
    // Squared, so that the last milliseconds before the silence are well below hearing over the music.
    const std::size_t fade = std::min<std::size_t>(sample_rate * 7 / 100, word / 2);
    for (std::size_t i = 0; i < fade; ++i) {
        const double x = static_cast<double>(i + 1) / static_cast<double>(fade + 1);
        const double gain = 0.5 - 0.5 * std::cos(std::numbers::pi * x);
        out[out.size() - 1 - i] *= static_cast<float>(gain * gain);
    }
    return out;
}

}  // namespace

std::vector<float> speak(const std::string& text, const Voice& voice, int sample_rate) {
    const TempFile wav("speech.wav");
    run_espeak(text, voice, wav.path());
    int rate = 0;
    std::vector<float> samples = read_mono(wav.path(), rate);

    double mean = 0;
    for (float s : samples) mean += s;
    if (!samples.empty()) mean /= static_cast<double>(samples.size());
    for (float& s : samples) s -= static_cast<float>(mean);

    samples = shape_edges(resample(samples, rate, sample_rate), sample_rate);
    if (samples.empty()) throw std::runtime_error("espeak-ng said nothing for \"" + text + "\"");
    return samples;
}

}  // namespace artgen
