#pragma once
// Measures the fundamental of a periodic sound of any wave shape (square,
// polynomial-counter patterns) from its samples.
#include <cstddef>
#include <vector>

namespace testing_support {

// The frequency (Hz) of samples [begin, end) at `rate`, found as the lag near
// a whole number of `expected`'s periods where the sound best matches
// itself, refined between samples. It tells frequencies within 0.4 of a
// period of the lag apart; 0 when no lag there matches well (or too few
// samples). The expected value only picks where to look.
double measuredFundamental(const std::vector<float>& samples, double rate, std::size_t begin, std::size_t end,
                           double expected);

} // namespace testing_support
