// The pictures that carry words are drawn once per language, in PICTURE/<folder>/ under the same names
// (PICTURE/DE/YES1.JPG): the language's copy shows where it can, and the English one where it cannot.
#pragma once

#include <array>
#include <iosfwd>
#include <set>
#include <string>
#include <string_view>

#include "platform/pictures.h"

namespace zuvela {

// Every picture with words in it. In English SPLASH.JPG exists only inside the program; the others lie beside
// it, and those the scene starts with are inside it too.
inline constexpr std::array<std::string_view, 24> k_pictures_with_words = {
    "GLAVNA-2.JPG",    "GALERIJA-2.JPG",  "CTRLX.JPG",   "CTRL-R-2.JPG", "PRINTING.JPG",  "SPLASH.JPG",
    "MOREIMAGES1.JPG", "MOREIMAGES2.JPG", "GUMICA1.JPG", "GUMICA2.JPG",  "KAPLJICA1.JPG", "KAPLJICA2.JPG",
    "OLOVKA1.JPG",     "OLOVKA2.JPG",     "BACK1.JPG",   "BACK2.JPG",    "YES1.JPG",      "YES2.JPG",
    "NO1.JPG",         "NO2.JPG",         "CLOSE1.JPG",  "CLOSE2.JPG",   "VISIT1.JPG",    "VISIT2.JPG",
};

bool carries_words(std::string_view file);

class LanguagePictures {
  public:
    // `folder` as chosen from the locale (shell/language.h); empty for English.
    LanguagePictures(PictureFiles& files, std::string folder) : m_files(files), m_folder(std::move(folder)) {}

    // app_dir followed by the literal ("/PICTURE/YES1.JPG"), from the language's folder when the picture
    // carries words. A copy there that is missing or cannot be decoded gives the English picture, and one
    // line on `diagnostics` the first time. Throws PlatformError as a load does when the English one fails
    // too.
    PictureRef load(const std::string& app_dir, std::string_view literal, std::ostream& diagnostics);

    // The language's copy of a picture the program carries inside itself, named by its file ("CTRLX.JPG"), or
    // null where the built-in one stays: English, a picture without words, or a copy that does not load (one
    // line on `diagnostics`, as above).
    PictureRef copy_of_builtin(const std::string& app_dir, std::string_view file, std::ostream& diagnostics);

  private:
    PictureRef in_language(const std::string& app_dir, std::string_view file, std::ostream& diagnostics);

    PictureFiles& m_files;
    std::string m_folder;
    std::set<std::string> m_reported;
};

}  // namespace zuvela
