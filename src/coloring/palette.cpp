#include "coloring/palette.h"

#include <cstdio>
#include <string>

#include "shell/forma_main.h"
#include "shell/language.h"

namespace zuvela {

namespace {

std::string swatch_literal(int look, int slot) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "/PICTURE/BOJE%d_%02d.JPG", look, slot);
    return buffer;
}

}  // namespace

Palette::Palette(FormaMain& window) : m_window(window) {
    for (int slot = 1; slot <= k_palette_slots; ++slot) {
        const ControlId swatch = palette_colors[std::size_t(slot - 1)].swatch;
        window.router().on_click(swatch, [this, slot] { Paleta_Click(slot); });
        window.router().on_mouse_move(swatch, [this, slot](const MouseArgs&) { Paleta_MouseMove(slot); });
    }
}

void Palette::Paleta_Click(int slot) {
    ProgramState& state = m_window.state();
    const PaletteColor& entry = palette_colors[std::size_t(slot - 1)];
    state.current_color = std::int32_t(entry.color);
    if (state.window_sounds_on()) {
        m_window.play_sound_effect(entry.sound);
        m_window.speak(voice_literal(m_window.config().language_folder, entry.voice));
    }
    gasi_boje_3_faze();
    state.palette_selected[std::size_t(slot - 1)] = 1;
    for (int s = 1; s <= k_palette_slots; ++s) show_swatch(s, 1);
}

void Palette::Paleta_MouseMove(int slot) {
    show_swatch(slot, 2);
    if (slot > 1) show_swatch(slot - 1, 1);
    if (slot < k_palette_slots) show_swatch(slot + 1, 1);
}

void Palette::gasi_boje_3_faze() {
    m_window.state().palette_selected.fill(0);
}

void Palette::show_swatch(int slot, int other_look) {
    const bool selected = m_window.state().palette_selected[std::size_t(slot - 1)] == 1;
    m_window.assign_picture(palette_colors[std::size_t(slot - 1)].swatch,
                            swatch_literal(selected ? 3 : other_look, slot));
}

}  // namespace zuvela
