#pragma once
// dasm's expressions, as its evaluator reads them: numbers in every base it
// knows, labels, strings, its operators with their odd precedences and quirks
// (the song.h reader's half that knows no lines).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrak::sound::dasm {

// One value on dasm's argument stack. dasm's numbers are C longs, 64 bits
// wide on the machines it runs on. A value that names a label not resolved
// yet is `unknown` (0 in this pass; another pass may know it). A string keeps
// its text beside the number it reads as in arithmetic.
struct Value {
    Value() = default;
    Value(std::int64_t n, bool u = false, std::optional<std::string> t = std::nullopt)
        : number(n), unknown(u), text(std::move(t))
    {
    }
    std::int64_t number = 0;
    bool unknown = false;
    std::optional<std::string> text;
};

// A label's value, or nothing for a name not defined (yet).
using Lookup = std::function<std::optional<Value>(std::string_view name)>;

struct Evaluation {
    // The comma-separated items; an empty text is one item of 0, as in dasm.
    std::vector<Value> items;
    // Empty, or why dasm stops on this text (or why ostrak, not following
    // dasm that far, refuses it).
    std::string error;
    // Names used that are not defined (yet).
    std::vector<std::string> undefined;
    // True when neither a name nor the address was read: the same in every pass.
    bool constant = true;
};

// The start of the problem told for a bracket never closed, where dasm's
// result is not defined.
inline constexpr std::string_view kUnclosed = "an unclosed [ or (";

// `pc` is the address of the line's first byte ("." and a leading "*").
Evaluation evaluate(std::string_view text, std::int64_t pc, const Lookup& lookup);

} // namespace ostrak::sound::dasm
