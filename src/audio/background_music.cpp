#include "audio/background_music.h"

#include "shell/asset_paths.h"
#include "shell/forma_main.h"

namespace zuvela {

BackgroundMusic::BackgroundMusic(FormaMain& window) : m_window(window) {
    window.router().on_click(ControlId::MusicOn, [this] { MusicOn_Click(); });
    window.seams().tmrRepeat_Timer = [this] { tmrRepeat_Timer(); };
    window.seams().stop_music = [this] { stop_music(); };
}

void BackgroundMusic::MusicOn_Click() {
    ProgramState& state = m_window.state();
    Music& music = m_window.platform().music;
    music.create_performance();
    state.music_performance = true;
    SetVolume(0);
    if (state.music_off == 1) {
        state.music_playing = 1;
        state.music_off = 0;
        state.music_segment = music.load_segment(asset_path(state.app_path, "/MUSIC/001.MID"));
        SetVolume(75);
        state.music_segment_state = music.play_segment(state.music_segment);
        m_window.scene().set_timer_enabled(true);
    } else if (state.music_off == 0) {
        // The performance made above silences what the previous switch-on started.
        music.stop(state.music_segment, state.music_segment_state);
        m_window.scene().set_timer_enabled(false);
        state.music_playing = 0;
        state.music_off = 1;
    }
}

void BackgroundMusic::SetVolume(std::uint8_t level) {
    const auto hundredths_of_db = std::int16_t(level * 42 - 3000);
    m_window.platform().music.set_master_volume(std::int32_t(hundredths_of_db));
}

void BackgroundMusic::tmrRepeat_Timer() {
    ProgramState& state = m_window.state();
    if (state.music_segment == 0) return;
    Music& music = m_window.platform().music;
    if (music.is_playing(state.music_segment, state.music_segment_state)) return;
    state.music_segment_state = music.play_segment(state.music_segment);
}

void BackgroundMusic::stop_music() {
    ProgramState& state = m_window.state();
    m_window.platform().music.stop(state.music_segment, state.music_segment_state);
    m_window.scene().set_timer_enabled(false);
    state.music_playing = 0;
}

}  // namespace zuvela
