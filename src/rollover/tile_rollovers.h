// The gallery tile under the pointer lights up; one number remembers which tile was lit last, so each move
// puts back only that one.
#pragma once

namespace zuvela {

class FormaMain;

class TileRollovers {
  public:
    explicit TileRollovers(FormaMain& window);

    // Galerija1_MouseMove … Galerija25_MouseMove.
    void Galerija_MouseMove(int k);
    // Puts the last lit tile back to normal; the number is kept.
    void mouse_move_galerija1_bele();

  private:
    FormaMain& m_window;
};

}  // namespace zuvela
