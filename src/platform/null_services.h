// Services that do nothing, for hosts (and builds) that lack them.
#pragma once

#include "platform/services.h"

namespace zuvela {

class NullSoundEffects final : public SoundEffects {
  public:
    void play(const std::string&) override {}
};

class NullMusic final : public Music {
  public:
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
