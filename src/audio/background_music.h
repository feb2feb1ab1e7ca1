// The music button and the tune that starts again whenever it ends, for as long as the music is on.
#pragma once

#include <cstdint>

namespace zuvela {

class FormaMain;

class BackgroundMusic {
  public:
    explicit BackgroundMusic(FormaMain& window);

    void MusicOn_Click();
    void SetVolume(std::uint8_t level);
    void tmrRepeat_Timer();
    void stop_music();

  private:
    FormaMain& m_window;
};

}  // namespace zuvela
