#include "coloring/tools.h"

#include "coloring/canvas.h"
#include "coloring/wipe.h"
#include "shell/asset_paths.h"
#include "shell/forma_main.h"

namespace zuvela {

Tools::Tools(FormaMain& window, Canvas& canvas, Wipe& wipe)
    : m_window(window), m_canvas(canvas), m_wipe(wipe) {
    window.router().on_click(ControlId::kapljica, [this] { kapljica_Click(); });
    window.router().on_click(ControlId::olovka, [this] { olovka_Click(); });
    window.router().on_click(ControlId::Rubber, [this] { Rubber_Click(); });
}

void Tools::kapljica_Click() {
    m_window.state().fill_mode = k_true;
    m_window.assign_picture(ControlId::olovka, "/PICTURE/OLOVKA2.JPG");
    m_window.assign_picture(ControlId::kapljica, "/PICTURE/KAPLJICA1.JPG");
    set_canvas_pointer("/PICTURE/KANTICA8.ICO");
}

void Tools::olovka_Click() {
    m_window.state().fill_mode = k_false;
    m_window.assign_picture(ControlId::olovka, "/PICTURE/OLOVKA1.JPG");
    m_window.assign_picture(ControlId::kapljica, "/PICTURE/KAPLJICA2.JPG");
    set_canvas_pointer("/PICTURE/CETKA.ICO");
}

void Tools::Rubber_Click() {
    m_wipe.brisanje_slika();
    const int picture = m_window.state().current_picture;
    if (picture >= 1 && picture <= 25) m_canvas.load_picture(outline_picture_literal(picture));
}

void Tools::set_canvas_pointer(std::string_view literal) {
    // An icon's hot spot is its centre, so the paint lands under the middle of the picture.
    const PictureRef icon = m_window.load_asset_picture(literal);
    m_window.scene().set_custom_pointer(
        ControlId::Slika, m_window.pointer_from_picture(icon, {icon->width / 2, icon->height / 2}));
}

}  // namespace zuvela
