#include "coloring/wipe.h"

#include "coloring/canvas.h"
#include "coloring/wipe_order.h"
#include "shell/forma_main.h"

namespace zuvela {

namespace {

constexpr Color k_white = rgb(255, 255, 255);

}  // namespace

Wipe::Wipe(FormaMain& window, Canvas& canvas) : m_window(window), m_canvas(canvas) {
    window.router().on_click(ControlId::Papir, [this] { Papir_Click(); });
}

void Wipe::Papir_Click() {
    brisanje_slika();
}

void Wipe::brisanje_slika() {
    Platform& platform = m_window.platform();
    const int wipe_pattern = draw_wipe_pattern(platform.random);
    m_last_pattern = wipe_pattern;
    if (m_window.state().window_sounds_on()) m_window.play_sound_effect("/SOUND/LJUBICASTA.WAV");

    // The sweep paints a copy of what the canvas shows; its image stays untouched until the blank sheet
    // comes.
    Raster screen = m_canvas.image();
    m_canvas.show_directly(&screen);
    // An end request leaves from inside a pass: the canvas must not keep pointing at the copy.
    struct ShowImageAgain {
        Canvas& canvas;
        ~ShowImageAgain() { canvas.show_directly(nullptr); }
    } show_image_again{m_canvas};
    const WipePattern passes = wipe_pattern_passes(wipe_pattern);
    present_pass(passes.first, screen);
    if (passes.second) present_pass(*passes.second, screen);

    m_canvas.load_picture("/PICTURE/00.GIF");
}

void Wipe::present_pass(WipePass pass, Raster& screen) {
    Clock& clock = m_window.platform().clock;
    const double start = clock.monotonic_seconds();
    int painted = 0;
    while (painted < k_wipe_pass_steps) {
        const double frame_start = clock.monotonic_seconds();
        const int due = wipe_steps_due(frame_start - start, k_pass_seconds);
        if (due > painted) {
            m_canvas.did_change(paint_wipe_steps(screen, pass, painted, due, k_white));
            painted = due;
            m_window.render();
        }
        if (painted >= k_wipe_pass_steps) break;
        // Input waits until the sweep is over, but a session ending does not.
        if (const int signal_number = m_window.platform().display.end_requested())
            m_window.end_on_signal(signal_number);
        const double spent = clock.monotonic_seconds() - frame_start;
        clock.sleep_for(k_frame_seconds - spent);
    }
}

}  // namespace zuvela
