#include "rollover/tile_rollovers.h"

#include "screens/gallery_layout.h"
#include "screens/screens.h"
#include "shell/forma_main.h"

namespace zuvela {

namespace {

bool names_a_tile(int k) {
    return k >= 1 && k <= k_gallery_tiles;
}

}  // namespace

TileRollovers::TileRollovers(FormaMain& window) : m_window(window) {
    for (int k = 1; k <= k_gallery_tiles; ++k) {
        window.router().on_mouse_move(gallery_tile(k),
                                      [this, k](const MouseArgs&) { Galerija_MouseMove(k); });
    }
}

void TileRollovers::Galerija_MouseMove(int k) {
    ProgramState& state = m_window.state();
    if (state.screen_mode != 1) return;
    m_window.assign_picture(gallery_tile(k), tile_picture_literal(TileLook::Highlighted, k));
    const int lit = state.highlighted_tile;
    if (names_a_tile(lit) && lit != k) {
        m_window.assign_picture(gallery_tile(lit), tile_picture_literal(TileLook::Normal, lit));
    }
    state.highlighted_tile = std::int16_t(k);
}

void TileRollovers::mouse_move_galerija1_bele() {
    const int lit = m_window.state().highlighted_tile;
    if (names_a_tile(lit))
        m_window.assign_picture(gallery_tile(lit), tile_picture_literal(TileLook::Normal, lit));
}

}  // namespace zuvela
