#include "Fundamental.h"

#include <algorithm>
#include <cmath>

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

} // namespace testing_support
