// zuvela-artgen --out DIR: writes DIR/assets/{PICTURE,SOUND,MUSIC}, DIR/res/{builtin,icons} and the length
// table DIR/src/shell/asset_lengths.cpp that the start-up check compares the installed pictures with.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "artgen.h"
#include "checked_pictures.h"

namespace fs = std::filesystem;

namespace {

void write_length_table(const fs::path& picture_dir, const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "// Written by zuvela-artgen: the byte length of every checked picture, in checking order.\n"
           "#include \"shell/asset_lengths.h\"\n\n"
           "namespace zuvela {\n\n"
           "const std::array<AssetLength, 147> asset_lengths = {{\n";
    for (const char* name : artgen::k_checked_pictures) {
        out << "    {\"/PICTURE/" << name << "\", " << fs::file_size(picture_dir / name) << "},\n";
    }
    out << "}};\n\n}  // namespace zuvela\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "--out") {
        std::fprintf(stderr, "usage: %s --out DIR\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[2];
    const artgen::OutputDirs out{root / "assets/PICTURE", root / "assets/SOUND", root / "assets/SOUND/VOICE",
                                 root / "assets/MUSIC",   root / "res/builtin",  root / "res/icons"};
    for (const auto& dir :
         {out.picture, out.sound, out.voice, out.music, out.builtin, out.icons, root / "src/shell"}) {
        fs::create_directories(dir);
    }
    try {
        artgen::write_outline_pictures(out);
        artgen::write_interface_pictures(out);
        artgen::write_sounds(out);
        artgen::write_app_icons(out);
        artgen::write_music(out);
        write_length_table(out.picture, root / "src/shell/asset_lengths.cpp");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zuvela-artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
