#include "audio/sound_switch.h"

#include "shell/forma_main.h"

namespace zuvela {

SoundSwitch::SoundSwitch(FormaMain& window) : m_window(window) {
    window.router().on_click(ControlId::MuteWave, [this] { MuteWave_Click(); });
}

void SoundSwitch::MuteWave_Click() {
    ProgramState& state = m_window.state();
    if (state.sounds_on() == 1) {
        state.set_sounds_on(0);
    } else if (state.sounds_on() == 0) {
        state.set_sounds_on(1);
    }
}

}  // namespace zuvela
