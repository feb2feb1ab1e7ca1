#include "coloring/printing.h"

#include <ostream>

#include "coloring/canvas.h"
#include "platform/errors.h"
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
    if (keep_snapshot()) m_canvas.load_picture_file(snapshot_path());

    m_window.scene().set_visible(ControlId::PrintPict, true);
    try {
        m_window.wait_three_seconds();
    } catch (const EndProgram&) {
        // Leaving during the notice (Yes, or the session's end): the page asked for is not lost on the way
        // out; the printer decides how long it may take.
        platform.printer.print_landscape(*m_canvas.picture());
        throw;
    }
    m_window.scene().set_visible(ControlId::PrintPict, false);

    // A wipe or a gallery choice during the wait changed the canvas's picture: that one is printed.
    platform.printer.print_landscape(*m_canvas.picture());
}

bool Printing::keep_snapshot() {
    const std::string path = snapshot_path();
    try {
        m_window.platform().files.save_bitmap(*m_canvas.picture(), path);
        return true;
    } catch (const PlatformError& error) {
        m_window.diagnostics() << "zuvela: printing without keeping the picture in " << path << ": "
                               << error.what() << "\n";
        return false;
    }
}

}  // namespace zuvela
