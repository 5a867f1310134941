// An operand as dasm evaluates it: two stacks, arguments and operators, where
// every unary operator (priority 128) applies as soon as an argument arrives
// and a binary one waits for an operator of lower or equal priority. The
// order of the checks and the "was the last thing an operator" flag decide
// what "-", "<", "%" and "*" mean, so they follow dasm's, quirks included.
#include "DasmExpression.h"

#include <cctype>
#include <limits>

namespace ostrak::sound::dasm {

namespace {

enum class Op { Mark, Negate, Low, High, Invert, Not, Mul, Div, Mod, Add, Sub, Shl, Shr,
                Gt, Ge, Lt, Le, Eq, Ne, And, Xor, Or, AndAnd, OrOr, Question };

constexpr int kUnary = 128;
// dasm's stack sizes; past them it goes wrong in ways not worth copying.
constexpr std::size_t kMaxOps = 32, kMaxArgs = 64;

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::int64_t wrap(std::uint64_t v) { return static_cast<std::int64_t>(v); }

class Evaluator {
public:
    Evaluator(std::string_view s, std::int64_t pc, const Lookup& lookup) : s_(s), pc_(pc), lookup_(lookup) {}

    Evaluation run()
    {
        std::size_t i = 0;
        while (i < s_.size())
            i = step(i);
        while (!ops_.empty())
            evalTop();
        if (!args_.empty()) {
            cur_ = args_.back();
            args_.pop_back();
        }
        if (!args_.empty() || !ops_.empty())
            syntax();
        if (!hint_.empty() && !out_.error.empty() && out_.error == unreadable()) {
            out_.error = hint_;
            if (whole_)
                cur_ = Value{*whole_};
        }
        out_.items.push_back(cur_);
        return std::move(out_);
    }

private:
    char at(std::size_t i) const { return i < s_.size() ? s_[i] : '\0'; }

    void fail(const std::string& why)
    {
        if (out_.error.empty())
            out_.error = why;
    }
    void syntax() { fail(unreadable()); }
    std::string unreadable() const
    {
        return "\"" + std::string(s_.substr(0, s_.find_last_not_of(' ') + 1)) + "\" is no expression dasm can read";
    }

    std::size_t step(std::size_t i)
    {
        const char c = s_[i];
        switch (c) {
        case ' ': case '\n': return i + 1;
        case '~': lastWasOp_ ? doop(Op::Invert, kUnary) : syntax(); return i + 1;
        case '*':
            if (lastWasOp_)
                pushPc();
            else
                doop(Op::Mul, 20);
            return i + 1;
        case '/': doop(Op::Div, 20); return i + 1;
        case '%':
            if (lastWasOp_)
                return pushNumber(i + 1, 2);
            doop(Op::Mod, 20);
            return i + 1;
        case '?': doop(Op::Question, 10); return i + 1;
        case '+': doop(Op::Add, 19); return i + 1;
        case '-': lastWasOp_ ? doop(Op::Negate, kUnary) : doop(Op::Sub, 19); return i + 1;
        case '>':
        case '<': {
            const bool high = c == '>';
            if (lastWasOp_) {
                doop(high ? Op::High : Op::Low, kUnary);
                return i + 1;
            }
            if (at(i + 1) == c) {
                doop(high ? Op::Shr : Op::Shl, 18);
                return i + 2;
            }
            if (at(i + 1) == '=') {
                doop(high ? Op::Ge : Op::Le, 17);
                return i + 2;
            }
            doop(high ? Op::Gt : Op::Lt, 17);
            return i + 1;
        }
        case '=': doop(Op::Eq, 16); return i + (at(i + 1) == '=' ? 2 : 1);
        case '!':
            // dasm takes any character after a binary "!" as the "=" of "!=".
            if (lastWasOp_) {
                doop(Op::Not, kUnary);
                return i + 1;
            }
            doop(Op::Ne, 16);
            return i + 2;
        case '&':
        case '|': {
            const bool twice = at(i + 1) == c, isAnd = c == '&';
            doop(twice ? (isAnd ? Op::AndAnd : Op::OrOr) : (isAnd ? Op::And : Op::Or),
                 twice ? (isAnd ? 12 : 11) : (isAnd ? 15 : 13));
            return i + (twice ? 2 : 1);
        }
        case '^': doop(Op::Xor, 14); return i + 1;
        case '(': case '[':
            if (ops_.size() >= kMaxOps)
                fail("brackets nested too deeply for ostrak");
            else
                ops_.push_back({Op::Mark, 0});
            return i + 1;
        case ')': case ']': return closeBracket(i);
        case '#': return i + 1;
        case ',': return comma(i);
        case '$': return pushNumber(i + 1, 16);
        case '\'':
            push({i + 1 < s_.size() ? static_cast<signed char>(s_[i + 1]) : ' '});
            return i + 1 < s_.size() ? i + 2 : i + 1;
        case '"': {
            const std::size_t end = std::min(s_.find('"', i + 1), s_.size());
            pushText(std::string(s_.substr(i + 1, end - i - 1)));
            return end < s_.size() ? end + 1 : end;
        }
        default: break;
        }
        std::size_t digits = i;
        while (isDigit(at(digits)))
            ++digits;
        if (at(digits) == '$')
            return pushSymbol(i);
        if (c == '0')
            return at(i + 1) == 'x' ? pushNumber(i + 2, 16) : pushNumber(i, 8);
        return isDigit(c) ? pushNumber(i, 10) : pushSymbol(i);
    }

    std::size_t closeBracket(std::size_t i)
    {
        while (!ops_.empty() && ops_.back().priority != 0)
            evalTop();
        if (!ops_.empty())
            ops_.pop_back();
        ++i;
        if (args_.empty())
            return i; // dasm only prints a note and reads on
        if (at(i) == 'd') { // "[value]d": the value's decimal digits, as a string
            ++i;
            if (!args_.back().unknown)
                args_.back().text = std::to_string(args_.back().number);
        }
        lastWasOp_ = false;
        return i;
    }

    std::size_t comma(std::size_t i)
    {
        while (!ops_.empty())
            evalTop();
        lastWasOp_ = true;
        // ",x", ",y" and ",sp" are index registers to dasm, even after data.
        const char next = lower(at(i + 1));
        if ((next == 'x' || next == 'y') && !std::isalnum(static_cast<unsigned char>(at(i + 2))))
            return i + 2;
        if (next == 's' && lower(at(i + 2)) == 'p' && !std::isalnum(static_cast<unsigned char>(at(i + 3))))
            return i + 3;
        if (args_.size() != 1)
            fail(args_.empty() ? "an empty value between commas; dasm rejects it"
                               : unreadable());
        if (!args_.empty())
            cur_ = args_.back();
        args_.clear();
        out_.items.push_back(cur_);
        cur_ = Value{};
        return i + 1;
    }

    std::size_t pushNumber(std::size_t i, int radix)
    {
        const std::size_t start = i;
        std::uint64_t value = 0;
        for (;; ++i) {
            const char c = lower(at(i));
            const int digit = isDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
            if (digit >= radix || (radix == 2 && digit > 1))
                break;
            value = value * std::uint64_t(radix) + std::uint64_t(digit);
        }
        push({wrap(value)});
        const std::string number(s_.substr(start, i - start));
        // Two numbers in a row are a syntax error to dasm; these say why.
        if (radix == 8 && isDigit(at(i)) && hint_.empty()) {
            std::size_t end = i;
            while (isDigit(at(end)))
                ++end;
            hint_ = std::string(s_.substr(start, end - start)) +
                    " starts with 0, so dasm reads it in octal, where 8 and 9 are no digits; dasm rejects it";
        }
        if (radix == 10 && at(i) == '.' && isDigit(at(i + 1)) && hint_.empty()) {
            std::size_t end = i + 1;
            while (isNameChar(at(end)))
                ++end;
            hint_ = std::string(s_.substr(start, end - start)) + " has a fraction; dasm takes whole numbers only (" +
                    std::to_string(value) + " is played)";
            whole_ = wrap(value);
        }
        return i;
    }

    std::size_t pushSymbol(std::size_t i)
    {
        std::size_t end = i;
        while (isNameChar(at(end)))
            ++end;
        if (end == i) {
            fail("\"" + std::string(1, s_[i]) + "\" cannot stand in a value; dasm rejects it");
            return i + 1;
        }
        if (at(end) == '$')
            ++end;
        const std::string_view name = s_.substr(i, end - i);
        if (name == ".") {
            pushPc();
        } else if (out_.constant = false; const std::optional<Value> found = lookup_(name)) {
            if (found->text)
                pushText(*found->text);
            else
                push({found->number, found->unknown});
        } else {
            out_.undefined.emplace_back(name);
            push({0, true});
        }
        return end;
    }

    void pushPc()
    {
        out_.constant = false;
        push({pc_});
    }

    void pushText(std::string text)
    {
        std::uint64_t packed = 0;
        for (const char c : text)
            packed = packed << 8 | static_cast<unsigned char>(c);
        push({wrap(packed), false, std::move(text)});
    }

    void push(Value value)
    {
        if (args_.size() + 1 >= kMaxArgs) {
            fail("an expression too long for ostrak");
            return;
        }
        args_.push_back(std::move(value));
        lastWasOp_ = false;
        while (!ops_.empty() && ops_.back().priority == kUnary)
            evalTop();
    }
    void push(std::int64_t number, bool unknown) { push(Value{number, unknown, std::nullopt}); }

    void doop(Op op, int priority)
    {
        lastWasOp_ = true;
        if (!ops_.empty() && priority != kUnary)
            while (!ops_.empty() && ops_.back().priority != 0 && priority <= ops_.back().priority)
                evalTop();
        if (ops_.size() >= kMaxOps - 1) {
            fail("an expression too long for ostrak");
            return;
        }
        ops_.push_back({op, priority});
    }

    void evalTop()
    {
        const OpEntry top = ops_.back();
        ops_.pop_back();
        if (top.op == Op::Mark) {
            fail(std::string(kUnclosed) + ": dasm then applies whatever operator it used last in that place, "
                                          "so ostrak refuses it");
            args_.clear();
            return;
        }
        const std::size_t needed = top.priority == kUnary ? 1 : 2;
        if (args_.size() < needed) {
            syntax();
            args_.clear();
            return;
        }
        const Value b = args_.back();
        args_.pop_back();
        if (needed == 1) {
            const std::int64_t v = b.number;
            switch (top.op) {
            case Op::Negate: push(wrap(0 - std::uint64_t(v)), b.unknown); break;
            case Op::Low: push(v & 0xFF, b.unknown); break;
            case Op::High: push((v >> 8) & 0xFF, b.unknown); break;
            case Op::Invert: push(~v, b.unknown); break;
            default: push(v == 0, b.unknown); break;
            }
            return;
        }
        const Value a = args_.back();
        args_.pop_back();
        binary(top.op, a.number, b.number, a.unknown, b.unknown);
    }

    void binary(Op op, std::int64_t a, std::int64_t b, bool ua, bool ub)
    {
        const bool u = ua || ub;
        const auto ua64 = std::uint64_t(a), ub64 = std::uint64_t(b);
        const bool overflowing = a == std::numeric_limits<std::int64_t>::min() && b == -1;
        switch (op) {
        case Op::Mul: push(wrap(ua64 * ub64), u); lastWasOp_ = true; break;
        case Op::Add: push(wrap(ua64 + ub64), u); lastWasOp_ = true; break;
        case Op::Sub: push(wrap(ua64 - ub64), u); lastWasOp_ = true; break;
        case Op::Div:
            if (u)
                push(0, u);
            else if (b == 0 || overflowing) {
                fail("a division by zero; dasm stops there");
                push(0, false);
            } else
                push(a / b, false);
            break;
        case Op::Mod:
            if (u) {
                push(0, u);
                break;
            }
            if (overflowing)
                fail("a remainder dasm cannot take; it stops there");
            push(b == 0 ? a : overflowing ? 0 : a % b, false);
            lastWasOp_ = true;
            break;
        case Op::Question: push(ua ? 0 : a ? b : 0, ua || (a && ub)); break;
        // The processor takes the shift count modulo 64, as dasm's C does.
        case Op::Shl: push(u ? 0 : wrap(ua64 << (b & 63)), u); break;
        case Op::Shr: push(u ? 0 : a >> (b & 63), u); break;
        case Op::Gt: push(a > b, u); break;
        case Op::Ge: push(a >= b, u); break;
        case Op::Lt: push(a < b, u); break;
        case Op::Le: push(a <= b, u); break;
        case Op::Eq: push(a == b, u); break;
        case Op::Ne: push(a != b, u); break;
        case Op::And: push(a & b, u); break;
        case Op::Xor: push(a ^ b, u); break;
        case Op::Or: push(a | b, u); break;
        case Op::AndAnd:
            if ((!ua && !a) || (!ub && !b))
                push(0, false);
            else
                push(1, u);
            break;
        case Op::OrOr:
            if ((!ua && a) || (!ub && b))
                push(1, false);
            else
                push(0, u);
            break;
        default: break;
        }
    }

    struct OpEntry {
        Op op;
        int priority;
    };

    std::string_view s_;
    std::int64_t pc_;
    const Lookup& lookup_;
    std::vector<Value> args_;
    std::vector<OpEntry> ops_;
    bool lastWasOp_ = true;
    std::string hint_;
    std::optional<std::int64_t> whole_;
    Value cur_;
    Evaluation out_;
};

} // namespace

Evaluation evaluate(std::string_view text, std::int64_t pc, const Lookup& lookup)
{
    return Evaluator(text, pc, lookup).run();
}

} // namespace ostrak::sound::dasm
