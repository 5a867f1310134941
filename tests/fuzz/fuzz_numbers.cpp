// The number reader and writer: any text reads as some number, and the
// writer's plain decimal text reads back as the very same value.
#include "FuzzSupport.h"
#include "common/Numbers.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace common;
    const double read = common::leadingNumber(fuzz::text(data, size));
    FUZZ_CHECK(!std::isnan(read));
    const auto readsBack = [](double value) {
        if (!std::isfinite(value))
            return;
        const std::string written = common::formatNumber(value);
        FUZZ_CHECK(written.find_first_of("eE") == std::string::npos); // plain decimal, never an exponent
        FUZZ_CHECK(common::leadingNumber(written) == value);
        FUZZ_CHECK(common::roundHalfEven(value) == std::nearbyint(value));
    };
    readsBack(read);
    // The input's first eight bytes as a double reach values no text gives easily.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        readsBack(raw);
    }
    return 0;
}
