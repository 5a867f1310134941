#pragma once
// Song order rows: "<position text>: <stored name>".
#include <string>

namespace ostrak {

inline std::string songOrderRow(const std::string& positionText, const std::string& name)
{
    return positionText + ": " + name;
}

} // namespace ostrak
