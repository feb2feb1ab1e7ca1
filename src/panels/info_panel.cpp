#include "panels/info_panel.h"

#include "screens/screens.h"
#include "shell/forma_main.h"

namespace zuvela {

InfoPanel::InfoPanel(FormaMain& window, Screens& screens) : m_window(window), m_screens(screens) {
    EventRouter& router = window.router();
    router.on_click(ControlId::Zatvori, [this] { Zatvori_Click(); });
    router.on_click(ControlId::visit_site, [this] { visit_site_Click(); });
    router.on_click(ControlId::Firma, [this] { Firma_Click(); });
    router.on_mouse_move(ControlId::Registered, [this](const MouseArgs&) { Registered_MouseMove(); });
    router.on_mouse_move(ControlId::visit_site, [this](const MouseArgs&) {
        m_window.assign_picture(ControlId::visit_site, "/PICTURE/VISIT2.JPG");
    });
    router.on_mouse_move(ControlId::Firma, [this](const MouseArgs&) {
        m_window.assign_picture(ControlId::Firma, "/PICTURE/CTRLRQOZ2.JPG");
    });
    router.on_mouse_move(ControlId::Zatvori, [this](const MouseArgs&) {
        m_window.assign_picture(ControlId::Zatvori, "/PICTURE/CLOSE2.JPG");
    });
    window.seams().show_info_panel = [this] { show_info_panel(); };
}

void InfoPanel::show_info_panel() {
    m_screens.freeze_for_panel();
    Scene& scene = m_window.scene();
    scene.set_visible(ControlId::Registered, true);
    scene.set_visible(ControlId::visit_site, true);
    scene.set_visible(ControlId::Firma, true);
    scene.set_visible(ControlId::Zatvori, true);
}

void InfoPanel::Zatvori_Click() {
    Scene& scene = m_window.scene();
    scene.set_visible(ControlId::Registered, false);
    scene.set_visible(ControlId::visit_site, false);
    scene.set_visible(ControlId::Firma, false);
    scene.set_visible(ControlId::Zatvori, false);
    m_screens.thaw_after_panel();
}

void InfoPanel::visit_site_Click() {
    open_link(m_window.config().product_url);
}

void InfoPanel::Firma_Click() {
    open_link(m_window.config().studio_url);
}

void InfoPanel::open_link(const std::string& url) {
    Platform& platform = m_window.platform();
    platform.display.minimise_main();
    // With no browser to show, the child would face the bare desktop with nothing to bring the book back by.
    if (!platform.browser.open_and_check(url)) platform.display.restore_main();
}

void InfoPanel::Registered_MouseMove() {
    m_window.assign_picture(ControlId::Zatvori, "/PICTURE/CLOSE1.JPG");
    m_window.assign_picture(ControlId::Firma, "/PICTURE/CTRLRQOZ1.JPG");
    m_window.assign_picture(ControlId::visit_site, "/PICTURE/VISIT1.JPG");
}

}  // namespace zuvela
