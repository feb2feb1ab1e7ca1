// The gallery screen: 25 tiles, one per outline picture, and Back. A tile click puts its picture, clean, on
// the canvas and returns to the colouring screen.
#pragma once

namespace zuvela {

class Canvas;
class FormaMain;
class Screens;

class Gallery {
  public:
    Gallery(FormaMain& window, Screens& screens, Canvas& canvas);

    void MoreImages_Click();
    void Prikazi_More_Images();
    void Galerijske_pozicije();
    void Prikaz_Prve_Galerije();
    void Back_Click();
    // Galerija1_Click … Galerija25_Click.
    void Galerija_Click(int k);

  private:
    FormaMain& m_window;
    Screens& m_screens;
    Canvas& m_canvas;
};

}  // namespace zuvela
