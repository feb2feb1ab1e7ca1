// The gallery screen: 25 tiles, one per outline picture, and Back. A tile click puts its picture, clean, on
// the canvas and returns to the colouring screen.
#pragma once

#include <functional>
#include <string_view>

namespace zuvela {

class FormaMain;
class Screens;

class Gallery {
  public:
    // Puts the picture named by an asset literal on the canvas, clean.
    using LoadOntoCanvas = std::function<void(std::string_view literal)>;

    Gallery(FormaMain& window, Screens& screens, LoadOntoCanvas load_onto_canvas);

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
    LoadOntoCanvas m_load_onto_canvas;
};

}  // namespace zuvela
