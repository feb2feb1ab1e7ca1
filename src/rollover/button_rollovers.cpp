#include "rollover/button_rollovers.h"

#include <array>
#include <span>

#include "coloring/palette.h"
#include "rollover/tile_rollovers.h"
#include "shell/forma_main.h"

namespace zuvela {

namespace {

struct ButtonLooks {
    ControlId button;
    std::string_view resting;
    std::string_view hover;
};

// MuteWave and MusicOn have one pair per state; their off pairs are numbered the other way round.
constexpr std::array<ButtonLooks, 4> k_plain_buttons = {{
    {ControlId::MoreImages, "/PICTURE/MOREIMAGES1.JPG", "/PICTURE/MOREIMAGES2.JPG"},
    {ControlId::Rubber, "/PICTURE/GUMICA1.JPG", "/PICTURE/GUMICA2.JPG"},
    {ControlId::Papir, "/PICTURE/PAPIR1.JPG", "/PICTURE/PAPIR2.JPG"},
    {ControlId::Back, "/PICTURE/BACK1.JPG", "/PICTURE/BACK2.JPG"},
}};
constexpr ButtonLooks k_sounds_on_looks{ControlId::MuteWave, "/PICTURE/ZVUCNIK1.JPG",
                                        "/PICTURE/ZVUCNIK2.JPG"};
constexpr ButtonLooks k_sounds_off_looks{ControlId::MuteWave, "/PICTURE/SOUNDOFF2.JPG",
                                         "/PICTURE/SOUNDOFF1.JPG"};
constexpr ButtonLooks k_music_on_looks{ControlId::MusicOn, "/PICTURE/MUZIKA1.JPG", "/PICTURE/MUZIKA2.JPG"};
constexpr ButtonLooks k_music_off_looks{ControlId::MusicOn, "/PICTURE/MUSICOFF2.JPG",
                                        "/PICTURE/MUSICOFF1.JPG"};

struct Neighbours {
    ControlId button;
    std::array<ControlId, 3> rested;
    int count;
};

// Which buttons each hover puts back to rest, in order.
constexpr std::array<Neighbours, 6> k_neighbours = {{
    {ControlId::MoreImages, {ControlId::Rubber, ControlId::Papir, ControlId::MuteWave}, 3},
    {ControlId::MuteWave, {ControlId::Rubber, ControlId::Papir}, 2},
    {ControlId::MusicOn, {ControlId::Rubber, ControlId::Papir, ControlId::MuteWave}, 3},
    {ControlId::Rubber, {ControlId::Papir}, 1},
    {ControlId::Papir, {ControlId::Rubber}, 1},
    {ControlId::Back, {}, 0},
}};

// The pair for the button's current state; none when a switch holds neither 0 nor 1.
const ButtonLooks* looks_of(ControlId button, const ProgramState& state) {
    for (const ButtonLooks& looks : k_plain_buttons) {
        if (looks.button == button) return &looks;
    }
    if (button == ControlId::MuteWave) {
        if (state.sounds_on() == 1) return &k_sounds_on_looks;
        if (state.sounds_on() == 0) return &k_sounds_off_looks;
    }
    if (button == ControlId::MusicOn) {
        if (state.music_off == 0) return &k_music_on_looks;
        if (state.music_off == 1) return &k_music_off_looks;
    }
    return nullptr;
}

}  // namespace

ButtonRollovers::ButtonRollovers(FormaMain& window, Palette& palette, TileRollovers& tiles)
    : m_window(window), m_palette(palette), m_tiles(tiles) {
    EventRouter& router = window.router();
    for (const Neighbours& n : k_neighbours) {
        const ControlId button = n.button;
        router.on_mouse_move(button, [this, button](const MouseArgs&) { Button_MouseMove(button); });
    }
    router.on_mouse_move(ControlId::Form, [this](const MouseArgs&) { Form_MouseMove(); });
    window.seams().reset_rollover_buttons = [this] { reset_rollover_buttons(); };
}

std::string_view ButtonRollovers::resting_picture(ControlId button) const {
    const ButtonLooks* looks = looks_of(button, m_window.state());
    return looks ? looks->resting : std::string_view();
}

std::string_view ButtonRollovers::hover_picture(ControlId button) const {
    const ButtonLooks* looks = looks_of(button, m_window.state());
    return looks ? looks->hover : std::string_view();
}

void ButtonRollovers::rest(ControlId button) {
    if (const std::string_view literal = resting_picture(button); !literal.empty()) {
        m_window.assign_picture(button, literal);
    }
}

void ButtonRollovers::Button_MouseMove(ControlId button) {
    if (const std::string_view literal = hover_picture(button); !literal.empty()) {
        m_window.assign_picture(button, literal);
    }
    for (const Neighbours& n : k_neighbours) {
        if (n.button != button) continue;
        for (ControlId neighbour : std::span(n.rested).first(std::size_t(n.count))) rest(neighbour);
    }
}

void ButtonRollovers::Form_MouseMove() {
    reset_rollovers();
}

void ButtonRollovers::reset_rollovers() {
    rest(ControlId::MoreImages);
    for (int slot = 1; slot <= k_palette_slots; ++slot) m_palette.show_swatch(slot, 1);
    rest(ControlId::Rubber);
    rest(ControlId::Papir);
    rest(ControlId::Back);
    if (m_window.state().screen_mode == 1) m_tiles.mouse_move_galerija1_bele();
    rest(ControlId::MuteWave);
    rest(ControlId::MusicOn);
}

void ButtonRollovers::reset_rollover_buttons() {
    rest(ControlId::MoreImages);
    rest(ControlId::Rubber);
    rest(ControlId::Papir);
    rest(ControlId::MuteWave);
    rest(ControlId::MusicOn);
}

}  // namespace zuvela
