#pragma once
// 8-bit text files in the working folder. Bytes pass through untouched;
// lines end at CR LF or a lone CR, as the tracker tools of old wrote them.
#include "AtomicFile.h"

#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace common {

inline constexpr std::string_view kCrLf = "\r\n";

// Splits at CR LF or a lone CR. A final line without a line end is a line;
// a text ending in a line end gives no extra empty line (as sequential reads do).
std::vector<std::string> splitLines(std::string_view text);

// Whole-file helpers; they throw common::Failure with the matching code.
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, std::string_view bytes);

// Text with every line end (CR LF, lone CR, lone LF) made CR LF.
std::string toCrLf(std::string_view text);
// Text with CR LF and lone CR made LF (what multi-line edits show).
std::string toLf(std::string_view text);

// Sequential reader: "Line Input" over an open file, with an end-of-file test.
class LineReader {
public:
    explicit LineReader(const std::string& path); // throws Failure 53/75/70
    bool atEnd();
    std::string readLine(); // throws Failure 62 at the end
private:
    std::ifstream in_;
};

// Sequential writer: each writeLine adds CR LF. The file is written beside
// itself and replaces the old one only at close(); a writer that ends without
// a close (or whose writes failed) leaves the old file whole.
class LineWriter {
public:
    explicit LineWriter(const std::string& path); // throws Failure 76/75/70
    void write(std::string_view bytes);
    void writeLine(std::string_view line);
    void close(); // throws Failure 57 when the data did not reach the disk
private:
    AtomicFile file_;
};

} // namespace common
