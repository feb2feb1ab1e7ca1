#include "coloring/printing.h"

#include "coloring/canvas.h"
#include "shell/asset_paths.h"
#include "shell/forma_main.h"

namespace zuvela {

Printing::Printing(FormaMain& window, Canvas& canvas) : m_window(window), m_canvas(canvas) {
    window.seams().print_picture = [this] { print_picture(); };
}

std::string Printing::snapshot_path() const {
    const std::string& elsewhere = m_window.config().snapshot_folder;
    if (!elsewhere.empty()) return elsewhere + "/01.GIF";
    return asset_path(m_window.state().app_path, "/MY_PICTURE/01.GIF");
}

void Printing::print_picture() {
    Platform& platform = m_window.platform();
    m_canvas.take_image_as_picture();
    platform.files.save_bitmap(*m_canvas.picture(), snapshot_path());
    m_canvas.load_picture_file(snapshot_path());

    m_window.scene().set_visible(ControlId::PrintPict, true);
    m_window.wait_three_seconds();
    m_window.scene().set_visible(ControlId::PrintPict, false);

    // A wipe or a gallery choice during the wait changed the canvas's picture: that one is printed.
    platform.printer.print_landscape(*m_canvas.picture());
}

}  // namespace zuvela
