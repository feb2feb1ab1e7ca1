// Services that do nothing, for hosts (and builds) that lack them.
#pragma once

#include "platform/services.h"

namespace zuvela {

class NullSoundEffects final : public SoundEffects {
  public:
    void play(const std::string&) override {}
    void speak(const std::string&) override {}
};

class NullMusic final : public Music {
  public:
    void create_performance() override {}
    void set_master_volume(std::int32_t) override {}
    int load_segment(const std::string&) override { return 1; }
    int play_segment(int) override { return 1; }
    bool is_playing(int, int) override { return false; }
    void stop(int, int) override {}
    void close_down() override {}
};

class NullPrinter final : public Printer {
  public:
    void print_landscape(const Raster&) override {}
};

class NullKeyLock final : public KeyLock {
  public:
    int install(std::function<bool(const LockedKey&)>) override { return 0; }
    void release(int) override {}
};

}  // namespace zuvela
