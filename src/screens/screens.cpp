#include "screens/screens.h"

#include "platform/errors.h"
#include "shell/forma_main.h"

namespace zuvela {

void Screens::ugasi_glavni_ekran() {
    for (ControlId id : k_main_screen_set) m_window.scene().set_visible(id, false);
}

void Screens::upali_glavni_ekran() {
    for (ControlId id : k_main_screen_set) m_window.scene().set_visible(id, true);
}

void Screens::glavni_ekran_zamrznut() {
    set_main_enabled(false);
}

void Screens::glavni_ekran_odmrznut() {
    set_main_enabled(true);
}

void Screens::set_main_enabled(bool enabled) {
    Scene& scene = m_window.scene();
    for (ControlId id : k_main_screen_set) {
        if (id == ControlId::Papir) {
            scene.set_visible(id, enabled);
        } else {
            scene.set_enabled(id, enabled);
        }
    }
}

void Screens::galerijski_ekran_zamrznut() {
    set_tiles_enabled(false);
    m_window.scene().set_enabled(ControlId::Back, false);
}

void Screens::galerijski_ekran_odmrznut() {
    set_tiles_enabled(true);
    m_window.scene().set_enabled(ControlId::Back, true);
}

void Screens::set_tiles_enabled(bool enabled) {
    for (int k = 1; k <= k_gallery_tiles; ++k) m_window.scene().set_enabled(gallery_tile(k), enabled);
}

void Screens::galerijski_ekran_ugasi() {
    Scene& scene = m_window.scene();
    scene.set_visible(ControlId::Back, false);
    for (int k = 1; k <= k_gallery_tiles; ++k) scene.set_visible(gallery_tile(k), false);
    run_trapped([&] { m_window.assign_background("/PICTURE/GLAVNA-2.JPG"); });
}

void Screens::freeze_for_panel() {
    const int mode = m_window.state().screen_mode;
    if (mode == 0) glavni_ekran_zamrznut();
    if (mode == 1) galerijski_ekran_zamrznut();
}

void Screens::thaw_after_panel() {
    const int mode = m_window.state().screen_mode;
    if (mode == 0) glavni_ekran_odmrznut();
    if (mode == 1) galerijski_ekran_odmrznut();
}

}  // namespace zuvela
