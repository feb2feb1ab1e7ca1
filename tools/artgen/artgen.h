// The art generator: every picture, pointer, sound and tune of the colouring book, drawn from code.
// Each writer produces the same bytes on every run.
#pragma once

#include <filesystem>

#include "screen_words.h"

namespace artgen {

struct OutputDirs {
    std::filesystem::path picture;  // assets/PICTURE
    std::filesystem::path sound;    // assets/SOUND
    std::filesystem::path voice;    // assets/SOUND/VOICE: the spoken colour names, a folder per language
    std::filesystem::path music;    // assets/MUSIC
    std::filesystem::path builtin;  // res/builtin: pictures that exist only inside the executable
    std::filesystem::path icons;    // res/icons: the desktop's icon theme folders
};

// 00.GIF … 25.GIF and the gallery tiles GALERIJA1BELE_NN.JPG / GALERIJA1ZUTE_NN.JPG.
void write_outline_pictures(const OutputDirs& out);

// Backdrops, panels, buttons, swatches, the two canvas pointer icons, and the built-in splash card,
// application icon and pointers.
void write_interface_pictures(const OutputDirs& out);
// The pictures that carry words, in one language: PICTURE/<folder>/, and for English PICTURE itself with the
// splash card in res/builtin.
void write_pictures_with_words(const OutputDirs& out, const ScreenWords& words);

// The twelve colour chimes and the twelve spoken colour names in every language.
void write_sounds(const OutputDirs& out);

// The application icon for the desktop, at every size of the hicolor theme and as SVG.
void write_app_icons(const OutputDirs& out);

// MUSIC/001.MID.
void write_music(const OutputDirs& out);

}  // namespace artgen
