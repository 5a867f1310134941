#pragma once
// songopt.h and the table dumps, built from the tables of the last manual search.
#include "LineTables.h"

#include <string>

namespace crimp {

inline constexpr std::string_view kOptMark = ";opt;";

// "REPLACE WITH : " and then every stored name line, one per line.
std::string replaceWithReport(const LineTables& tables);

// The whole songopt.h: header with the time of day, an empty line, then each
// stored line, commented out with ";opt;", its index and two spaces when marked.
std::string optimisedText(const LineTables& tables, const std::string& timeOfDay);

std::string searchKeysDump(const LineTables& tables); // all 17 search keys
std::string lineKeysDump(const LineTables& tables);   // the key of each stored line
std::string matchLinesDump(const LineTables& tables); // all 256 entries, free ones too

} // namespace crimp
