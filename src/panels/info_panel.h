// The info panel: Ctrl+R opens it over either screen; two links open the product's and the studio's web
// sites.
#pragma once

#include <string>

namespace zuvela {

class FormaMain;
class Screens;

class InfoPanel {
  public:
    InfoPanel(FormaMain& window, Screens& screens);

    void show_info_panel();
    void Zatvori_Click();
    void visit_site_Click();
    void Firma_Click();
    void Registered_MouseMove();

  private:
    // The window steps aside and the default browser opens the address; the panel stays open. When no
    // browser could be started, the window comes back.
    void open_link(const std::string& url);

    FormaMain& m_window;
    Screens& m_screens;
};

}  // namespace zuvela
