// A folder of a test process's own under the temporary folder, emptied when it is made.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace zuvela::test {

inline std::filesystem::path fresh_scratch_dir(const std::string& name) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace zuvela::test
