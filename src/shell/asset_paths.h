// Asset paths: a folder variable followed by a literal that starts with the separator ("/PICTURE/01.GIF").
// The folder keeps its own spelling, since the file system tells upper from lower case; a doubled separator
// (a program in "/", or app_path's trailing one) resolves all the same.
#pragma once

#include <string>
#include <string_view>

namespace zuvela {

inline std::string make_app_dir(std::string_view program_folder) {
    return std::string(program_folder);
}

inline std::string make_app_path(std::string_view program_folder) {
    std::string path(program_folder);
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

inline std::string asset_path(std::string_view folder, std::string_view literal) {
    std::string path(folder);
    path += literal;
    return path;
}

// "/PICTURE/07.GIF" for picture 7.
std::string outline_picture_literal(int number);

}  // namespace zuvela
