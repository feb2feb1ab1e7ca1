// The leave confirmation: Ctrl+X opens it over either screen; Yes ends the program, No goes back.
#pragma once

namespace zuvela {

class FormaMain;
class Screens;

class ExitPanel {
  public:
    ExitPanel(FormaMain& window, Screens& screens);

    void show_exit_dialog();
    void Ne_Click();
    void Izlaz_MouseMove();
    void Da_MouseMove();
    void Ne_MouseMove();

  private:
    FormaMain& m_window;
    Screens& m_screens;
};

}  // namespace zuvela
