#pragma once
// One source line as dasm splits it: label, mnemonic and operand, with the
// comment gone and blanks inside quotes kept in the operand.
#include <string>
#include <string_view>

namespace ostrak::sound::dasm {

// dasm reads a file in pieces of at most 1023 characters; a longer line
// would be read as two.
inline constexpr std::size_t kMaxLineChars = 1023;

struct SourceLine {
    std::string label;    // empty when the line starts with a blank
    std::string mnemonic; // as written ("byte", ".BYTE", "dc.w", "=")
    std::string operand;
    // Non-empty when dasm rejects the line, or ostrak does not read it.
    std::string problem;
};

// `text` is the line without its line end.
SourceLine splitLine(std::string_view text);

// What a mnemonic lays down: bytes per value (1, 2 or 4, and a word high byte
// first for "dc.s"), or it is an equate, or neither.
struct Directive {
    enum class Kind { None, Data, Equate, Other } kind = Kind::None;
    int width = 0;
    bool highFirst = false;
};
Directive directive(std::string_view mnemonic);

} // namespace ostrak::sound::dasm
