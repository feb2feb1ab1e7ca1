#include "screens/gallery.h"

#include <utility>

#include "platform/errors.h"
#include "screens/gallery_layout.h"
#include "screens/screens.h"
#include "shell/asset_paths.h"
#include "shell/forma_main.h"

namespace zuvela {

Gallery::Gallery(FormaMain& window, Screens& screens, LoadOntoCanvas load_onto_canvas)
    : m_window(window), m_screens(screens), m_load_onto_canvas(std::move(load_onto_canvas)) {
    EventRouter& router = window.router();
    router.on_click(ControlId::MoreImages, [this] { MoreImages_Click(); });
    router.on_click(ControlId::Back, [this] { Back_Click(); });
    for (int k = 1; k <= k_gallery_tiles; ++k)
        router.on_click(gallery_tile(k), [this, k] { Galerija_Click(k); });
}

void Gallery::MoreImages_Click() {
    // Each step is a procedure of its own: one that fails ends quietly and the next still runs.
    run_trapped([&] { m_screens.ugasi_glavni_ekran(); });
    run_trapped([&] { Prikazi_More_Images(); });
    run_trapped([&] { Galerijske_pozicije(); });
    run_trapped([&] { Prikaz_Prve_Galerije(); });
}

void Gallery::Prikazi_More_Images() {
    m_window.scene().set_visible(ControlId::Back, true);
    m_window.assign_background("/PICTURE/GALERIJA-2.JPG");
}

void Gallery::Galerijske_pozicije() {
    for (int k = 1; k <= k_gallery_tiles; ++k)
        m_window.scene().set_position(gallery_tile(k), tile_position(k));
}

void Gallery::Prikaz_Prve_Galerije() {
    m_window.state().screen_mode = 1;
    for (int k = 1; k <= k_gallery_tiles; ++k) {
        m_window.assign_picture(gallery_tile(k), tile_picture_literal(TileLook::Normal, k));
        m_window.scene().set_visible(gallery_tile(k), true);
    }
}

void Gallery::Back_Click() {
    m_screens.galerijski_ekran_ugasi();
    m_screens.upali_glavni_ekran();
    m_window.state().screen_mode = 0;
}

void Gallery::Galerija_Click(int k) {
    ProgramState& state = m_window.state();
    if (state.screen_mode == 1) {
        m_load_onto_canvas(outline_picture_literal(k));
        state.current_picture = std::int16_t(k);
        state.screen_mode = 0;
    }
    m_screens.galerijski_ekran_ugasi();
    m_screens.upali_glavni_ekran();
}

}  // namespace zuvela
