#include "shell/language_pictures.h"

#include <algorithm>
#include <ostream>

#include "platform/errors.h"
#include "shell/asset_paths.h"

namespace zuvela {

namespace {

constexpr std::string_view k_picture_folder = "/PICTURE/";

}  // namespace

bool carries_words(std::string_view file) {
    return std::find(k_pictures_with_words.begin(), k_pictures_with_words.end(), file) !=
           k_pictures_with_words.end();
}

PictureRef LanguagePictures::load(const std::string& app_dir, std::string_view literal,
                                  std::ostream& diagnostics) {
    if (literal.starts_with(k_picture_folder)) {
        if (PictureRef picture = in_language(app_dir, literal.substr(k_picture_folder.size()), diagnostics))
            return picture;
    }
    return m_files.load_picture(asset_path(app_dir, literal));
}

PictureRef LanguagePictures::copy_of_builtin(const std::string& app_dir, std::string_view file,
                                             std::ostream& diagnostics) {
    return in_language(app_dir, file, diagnostics);
}

PictureRef LanguagePictures::in_language(const std::string& app_dir, std::string_view file,
                                         std::ostream& diagnostics) {
    if (m_folder.empty() || !carries_words(file)) return nullptr;
    std::string literal(k_picture_folder);
    literal.append(m_folder).append("/").append(file);
    const std::string path = asset_path(app_dir, literal);
    try {
        return m_files.load_picture(path);
    } catch (const PlatformError& e) {
        // The rollovers load their pictures again on every move of the pointer.
        if (m_reported.insert(path).second)
            diagnostics << "zuvela: " << path << ": " << e.what() << "; the English picture shows instead\n";
        return nullptr;
    }
}

}  // namespace zuvela
