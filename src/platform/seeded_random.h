// The wipe's random source: the same first value in every run, re-seeded from the time of day on request.
#pragma once

#include <random>

#include "platform/random.h"

namespace zuvela {

class SeededRandom final : public RandomSource {
  public:
    float next_uniform() override;
    void reseed_from_clock() override;

  private:
    std::mt19937 m_engine{20260u};
};

}  // namespace zuvela
