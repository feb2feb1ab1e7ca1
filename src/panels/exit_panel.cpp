#include "panels/exit_panel.h"

#include "screens/screens.h"
#include "shell/forma_main.h"

namespace zuvela {

ExitPanel::ExitPanel(FormaMain& window, Screens& screens) : m_window(window), m_screens(screens) {
    EventRouter& router = window.router();
    router.on_click(ControlId::Ne, [this] { Ne_Click(); });
    router.on_click(ControlId::Da, [this] { m_window.Da_Click(); });
    router.on_mouse_move(ControlId::Izlaz, [this](const MouseArgs&) { Izlaz_MouseMove(); });
    router.on_mouse_move(ControlId::Da, [this](const MouseArgs&) { Da_MouseMove(); });
    router.on_mouse_move(ControlId::Ne, [this](const MouseArgs&) { Ne_MouseMove(); });
    window.seams().show_exit_dialog = [this] { show_exit_dialog(); };
}

void ExitPanel::show_exit_dialog() {
    m_screens.freeze_for_panel();
    Scene& scene = m_window.scene();
    scene.set_visible(ControlId::Izlaz, true);
    scene.set_visible(ControlId::Da, true);
    scene.set_visible(ControlId::Ne, true);
}

void ExitPanel::Ne_Click() {
    Scene& scene = m_window.scene();
    scene.set_visible(ControlId::Da, false);
    scene.set_visible(ControlId::Ne, false);
    scene.set_visible(ControlId::Izlaz, false);
    m_screens.thaw_after_panel();
}

void ExitPanel::Izlaz_MouseMove() {
    m_window.assign_picture(ControlId::Da, "/PICTURE/YES1.JPG");
    m_window.assign_picture(ControlId::Ne, "/PICTURE/NO1.JPG");
}

void ExitPanel::Da_MouseMove() {
    m_window.assign_picture(ControlId::Da, "/PICTURE/YES2.JPG");
}

void ExitPanel::Ne_MouseMove() {
    m_window.assign_picture(ControlId::Ne, "/PICTURE/NO2.JPG");
}

}  // namespace zuvela
