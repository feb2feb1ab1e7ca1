#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

namespace zuvela {

namespace {

constexpr const char* k_freepats_config = "/etc/timidity/freepats.cfg";

std::atomic<bool> g_instance{false};

std::string timidity_config(const SdlAudioSettings& settings) {
    if (!settings.timidity_config.empty()) return settings.timidity_config;
    if (const char* env = std::getenv("TIMIDITY_CFG"); env && *env) return env;
    if (::access(k_freepats_config, R_OK) == 0) return k_freepats_config;
    return {};
}

}  // namespace

SdlAudio::SdlAudio(SdlAudioSettings settings) : m_settings(std::move(settings)) {
    if (g_instance.exchange(true)) throw std::logic_error("SdlAudio: only one per program");
}

SdlAudio::~SdlAudio() {
    if (m_open) close();
    g_instance = false;
}

bool SdlAudio::hold() {
    ++m_holders;
    if (!m_open && !m_failed) m_failed = !open();
    return m_open;
}

void SdlAudio::release() {
    if (m_holders > 0 && --m_holders == 0 && m_open) close();
}

bool SdlAudio::open() {
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Zuvela");
    // The synthesizer is chosen before SDL_mixer loads and opens its MIDI players.
    const std::string config = timidity_config(m_settings);
    if (!config.empty()) {
        SDL_SetHint("SDL_MIXER_DISABLE_FLUIDSYNTH", "1");
        Mix_SetTimidityCfg(config.c_str());
    } else {
        SDL_SetHint("SDL_MIXER_DISABLE_FLUIDSYNTH", "0");
        Mix_SetTimidityCfg(nullptr);
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MID);
    if (Mix_OpenAudioDevice(m_settings.frequency, AUDIO_S16SYS, 2, m_settings.buffer_frames, nullptr, 0) !=
        0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Uint16 format = 0;
    Mix_QuerySpec(&m_frequency, &format, &m_output_channels);
    Mix_AllocateChannels(k_mixer_channels);
    m_midi_synthesizer = config.empty() ? "fluidsynth" : "timidity";
    m_open = true;
    return true;
}

void SdlAudio::close() {
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_open = false;
    m_frequency = 0;
    m_output_channels = 0;
    m_midi_synthesizer.clear();
}

}  // namespace zuvela
