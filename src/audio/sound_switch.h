// The sound button: switches every sound effect off and on. A sound already playing is not cut off.
#pragma once

namespace zuvela {

class FormaMain;

class SoundSwitch {
  public:
    explicit SoundSwitch(FormaMain& window);

    void MuteWave_Click();

  private:
    FormaMain& m_window;
};

}  // namespace zuvela
