// Writes each picture named on the command line as the program writes a snapshot, into the folder named
// first: the seed corpus of the snapshot fuzz target.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/errors.h"
#include "platform/sdl/sdl_pictures.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT_FOLDER PICTURE...\n", argv[0]);
        return 2;
    }
    zuvela::SdlPictureFiles files;
    int written = 0;
    for (int i = 2; i < argc; ++i) {
        try {
            const zuvela::PictureRef picture = zuvela::SdlPictureFiles::decode_file(argv[i]);
            const auto name = std::filesystem::path(argv[i]).stem().string() + ".bmp";
            files.save_bitmap(*picture, (std::filesystem::path(argv[1]) / name).string());
            ++written;
        } catch (const zuvela::PlatformError& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
    }
    return written > 0 ? 0 : 1;
}
