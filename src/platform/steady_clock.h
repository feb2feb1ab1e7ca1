#pragma once

#include <chrono>
#include <thread>

#include "platform/services.h"

namespace zuvela {

class SteadyClock final : public Clock {
  public:
    double monotonic_seconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void sleep_for(double seconds) override {
        if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
};

}  // namespace zuvela
