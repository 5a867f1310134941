#pragma once
// Measures of a recorded sound: the fundamental of a periodic sound of any
// wave shape (square, polynomial-counter patterns), and spectra to compare.
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

// Magnitude spectrum of samples [begin, begin + n), Hann-windowed, n <= size
// (a power of two); size / 2 bins, the DC bin left 0.
std::vector<double> spectrum(const std::vector<float>& samples, std::size_t begin, std::size_t n,
                             std::size_t size = 2048);
// How alike two spectra are: 1 for the same shape, 0 when either is empty.
double cosine(const std::vector<double>& a, const std::vector<double>& b);

} // namespace testing_support
