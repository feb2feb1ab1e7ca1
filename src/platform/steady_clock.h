#pragma once

#include <chrono>

#include "platform/services.h"

namespace zuvela {

class SteadyClock final : public Clock {
  public:
    double monotonic_seconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
};

}  // namespace zuvela
