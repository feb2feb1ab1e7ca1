// Uniform random numbers for the canvas wipe's pattern draw.
#pragma once

namespace zuvela {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // Uniform on [0, 1). A fresh source yields the same first value in every run.
    virtual float next_uniform() = 0;
    virtual void reseed_from_clock() = 0;
};

}  // namespace zuvela
