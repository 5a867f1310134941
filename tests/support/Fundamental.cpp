#include "Fundamental.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace testing_support {

double measuredFundamental(const std::vector<float>& samples, double rate, std::size_t begin, std::size_t end,
                           double expected)
{
    end = std::min(end, samples.size());
    if (expected <= 0 || end <= begin)
        return 0.0;
    const double period = rate / expected;
    const double span = double(end - begin);
    // As many periods as fit in half the span (at most 1500 samples, at
    // least one), and of
    // those the count that spans nearly whole samples.
    if (period > span / 2)
        return 0.0;
    double periods = std::max(1.0, std::floor(std::min(span / 2, 1500.0) / period));
    for (double k = std::max(1.0, periods - 20); k <= periods; ++k)
        if (std::abs(k * period - std::round(k * period)) < std::abs(periods * period - std::round(periods * period)) - 0.05)
            periods = k;
    const double guess = periods * period;
    double mean = 0;
    for (std::size_t i = begin; i < end; ++i)
        mean += samples[i];
    mean /= span;
    auto match = [&](long lag) {
        if (lag <= 0 || std::size_t(lag) >= end - begin)
            return -1.0;
        double sum = 0, energyA = 0, energyB = 0;
        for (std::size_t i = begin; i + std::size_t(lag) < end; ++i) {
            const double a = samples[i] - mean, b = samples[i + std::size_t(lag)] - mean;
            sum += a * b;
            energyA += a * a;
            energyB += b * b;
        }
        return energyA > 0 && energyB > 0 ? sum / std::sqrt(energyA * energyB) : -1.0;
    };
    const long first = long(std::ceil(guess - 0.4 * period)), last = long(guess + 0.4 * period);
    long best = 0;
    double bestMatch = -1;
    for (long lag = first; lag <= last; ++lag) {
        if (const double m = match(lag); m > bestMatch)
            bestMatch = m, best = lag;
    }
    const double before = match(best - 1), after = match(best + 1);
    if (bestMatch < 0.6 || before > bestMatch || after > bestMatch)
        return 0.0; // no peak inside the window
    const double bend = before - 2 * bestMatch + after;
    const double shift = bend < 0 ? 0.5 * (before - after) / bend : 0.0;
    return periods * rate / (double(best) + shift);
}

std::vector<double> spectrum(const std::vector<float>& samples, std::size_t begin, std::size_t n, std::size_t size)
{
    std::vector<std::complex<double>> x(size);
    for (std::size_t i = 0; i < n && begin + i < samples.size(); ++i)
        x[i] = samples[begin + i] * 0.5 * (1 - std::cos(2 * std::numbers::pi * double(i) / double(n)));
    for (std::size_t i = 1, j = 0; i < size; ++i) { // bit reversal, then butterflies
        std::size_t bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= size; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * std::numbers::pi / double(len));
        for (std::size_t i = 0; i < size; i += len) {
            std::complex<double> wk = 1;
            for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
                const auto u = x[i + k], v = x[i + k + len / 2] * wk;
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
            }
        }
    }
    std::vector<double> magnitude(size / 2);
    for (std::size_t i = 1; i < size / 2; ++i)
        magnitude[i] = std::abs(x[i]);
    return magnitude;
}

double cosine(const std::vector<double>& a, const std::vector<double>& b)
{
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

} // namespace testing_support
