#include "SongOrderText.h"

#include "common/Numbers.h"
#include "SongFile.h"

namespace ostrak {

std::string songOrderEntry(double position, int channel)
{
    // A row near the largest double overflows 4p+1; the line still gets
    // digits (dasm rejects it either way, as any value past 255).
    const double first = 4 * position + (channel == 1 ? 1 : 3);
    return "\r\n\tbyte " + common::formatNumber(common::largestIfInfinite(first)) + "," + common::formatNumber(common::largestIfInfinite(first + 1));
}

std::string songOrderText(const std::vector<double>& channel1, const std::vector<double>& channel2)
{
    std::string text = "song1\r\n";
    for (double p : channel1)
        text += songOrderEntry(p, 1);
    text += "\r\n\tbyte 255";
    text += "\r\nsong2\r\n";
    for (double p : channel2)
        text += songOrderEntry(p, 2);
    text += "\r\n\tbyte 255";
    return text;
}

} // namespace ostrak
