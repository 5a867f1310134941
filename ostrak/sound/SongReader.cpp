// The song.h reader: the small part of dasm's language that song.h uses.
// One pass lays the bytes out in file order (no line changes another line's
// size), then every label and equate is resolved, so forward references work.
#include "SongImage.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string_view>

namespace ostrak::sound {

namespace {

constexpr std::size_t kMaxProblems = 100;
constexpr std::size_t kShownLineChars = 80;

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }
bool isNameChar(char c) { return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool sameWord(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// One value as song.h writes it: a number (decimal, %binary, $hex) or a
// label, with dasm's unary -, < (low byte) and > (high byte).
struct Term {
    enum class Kind { Number, Label } kind = Kind::Number;
    std::int64_t number = 0;
    std::string_view label;
    char unary = 0;
};

struct Line {
    std::size_t number; // counted from 1
    std::string_view text;
};

// A value that waits for the labels: `size` bytes at `offset` of the image.
struct Fixup {
    std::size_t offset;
    int size;
    Term term;
    std::size_t line;
};

struct Equate {
    Term term;
    std::size_t line;
    int state = 0; // 0 unresolved, 1 resolving, 2 done
    std::int64_t value = 0;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    ReadResult read()
    {
        image_ = std::make_shared<SongImage>();
        std::size_t number = 0, at = 0;
        while (at < text_.size()) {
            std::size_t end = text_.find_first_of("\r\n", at);
            if (end == std::string_view::npos)
                end = text_.size();
            lines_.push_back({++number, text_.substr(at, end - at)});
            readLine(lines_.back());
            at = end;
            if (at < text_.size() && text_[at] == '\r')
                ++at;
            if (at < text_.size() && text_[at] == '\n')
                ++at;
        }
        for (auto& [name, equate] : equates_)
            resolveEquate(std::string(name), equate);
        for (const Fixup& fixup : fixups_)
            store(fixup.offset, fixup.size, valueOf(fixup.term, fixup.line), fixup.line);
        const bool playable = checkEngine();
        return finish(playable);
    }

private:
    void problem(std::size_t line, const std::string& what)
    {
        std::string shown(lines_[line - 1].text.substr(0, kShownLineChars));
        if (lines_[line - 1].text.size() > kShownLineChars)
            shown += "...";
        problems_.push_back({line, "line " + std::to_string(line) + ": \"" + shown + "\": " + what});
    }
    void songProblem(const std::string& what) { problems_.push_back({0, "song.h: " + what}); }

    void readLine(const Line& line)
    {
        std::string_view rest = line.text.substr(0, line.text.find(';'));
        std::string_view label;
        if (!rest.empty() && !isSpace(rest.front())) {
            std::size_t end = 0;
            while (end < rest.size() && !isSpace(rest[end]))
                ++end;
            label = rest.substr(0, end);
            rest.remove_prefix(end);
            if (!label.empty() && label.back() == ':')
                label.remove_suffix(1);
            if (label.empty() || !isNameStart(label.front()) ||
                !std::all_of(label.begin(), label.end(), isNameChar)) {
                problem(line.number, "\"" + std::string(label) + "\" is no label name; dasm cannot read this line");
                return;
            }
        }
        rest = trim(rest);
        std::size_t opEnd = 0;
        while (opEnd < rest.size() && !isSpace(rest[opEnd]))
            ++opEnd;
        const std::string_view op = rest.substr(0, opEnd);
        const std::string_view operand = trim(rest.substr(opEnd));

        if (sameWord(op, "equ") || op == "=") {
            if (label.empty()) {
                problem(line.number, "an equ needs a label in the first column");
                return;
            }
            Term term;
            if (!parseTerm(operand, term, line.number))
                return;
            if (isNew(label, line.number))
                equates_.emplace(label, Equate{term, line.number});
            return;
        }
        if (!label.empty() && isNew(label, line.number)) {
            const auto address = std::int64_t(image_->base + image_->bytes.size());
            Term term;
            term.number = address;
            equates_.emplace(label, Equate{term, line.number, 2, address});
        }
        if (op.empty())
            return;
        int size = 0;
        if (sameWord(op, "byte") || sameWord(op, ".byte") || sameWord(op, "dc.b") || sameWord(op, "dc"))
            size = 1;
        else if (sameWord(op, "word") || sameWord(op, ".word") || sameWord(op, "dc.w"))
            size = 2;
        if (size == 0) {
            problem(line.number, "\"" + std::string(op) + "\" is not byte, word or equ; dasm would stop here");
            return;
        }
        readItems(operand, size, line.number);
    }

    // True for a name not defined yet; a second definition is a problem.
    bool isNew(std::string_view label, std::size_t line)
    {
        if (equates_.count(label) == 0)
            return true;
        problem(line, std::string(label) + " is defined twice (first on line " +
                          std::to_string(equates_.find(label)->second.line) + "); dasm rejects that");
        return false;
    }

    void readItems(std::string_view operand, int size, std::size_t line)
    {
        if (operand.empty()) {
            problem(line, "no values after " + std::string(size == 1 ? "byte" : "word"));
            return;
        }
        std::size_t at = 0;
        for (;;) {
            const std::size_t comma = operand.find(',', at);
            const bool last = comma == std::string_view::npos;
            const std::string_view item = trim(operand.substr(at, last ? std::string_view::npos : comma - at));
            const std::size_t offset = image_->bytes.size();
            image_->bytes.resize(offset + size, 0);
            // dasm writes 0 for an empty last item ("word CA0,"), and rejects
            // an empty item anywhere else.
            if (item.empty() && !(last && at > 0)) {
                problem(line, "an empty value between commas; dasm rejects it");
            } else if (!item.empty()) {
                Term term;
                if (parseTerm(item, term, line)) {
                    if (term.kind == Term::Kind::Number)
                        store(offset, size, applyUnary(term, term.number), line);
                    else
                        fixups_.push_back({offset, size, term, line});
                }
            }
            if (last)
                break;
            at = comma + 1;
        }
    }

    bool parseTerm(std::string_view text, Term& term, std::size_t line)
    {
        const std::string_view whole = text;
        if (!text.empty() && (text.front() == '-' || text.front() == '<' || text.front() == '>')) {
            term.unary = text.front();
            text = trim(text.substr(1));
        }
        auto cannot = [&](const std::string& why) {
            problem(line, "cannot read \"" + std::string(whole.substr(0, kShownLineChars)) + "\"" + why);
            return false;
        };
        if (text.empty())
            return cannot("");
        if (isNameStart(text.front())) {
            if (!std::all_of(text.begin(), text.end(), isNameChar))
                return cannot(": only a number or a label may stand here");
            term.kind = Term::Kind::Label;
            term.label = text;
            return true;
        }
        int radix = 10;
        std::string_view digits = text;
        if (text.front() == '%')
            radix = 2, digits.remove_prefix(1);
        else if (text.front() == '$')
            radix = 16, digits.remove_prefix(1);
        std::int64_t value = 0;
        std::size_t i = 0;
        for (; i < digits.size(); ++i) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(digits[i])));
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
            if (digit >= radix)
                break;
            value = value * radix + digit;
            value &= 0xFFFFFFFFLL; // dasm's values are 32 bits wide
        }
        if (i == 0)
            return cannot("");
        if (i < digits.size()) {
            if (radix == 10 && digits[i] == '.')
                problem(line, std::string(text) + " has a fraction; dasm takes whole numbers only (" +
                                  std::to_string(value) + " is played)");
            else
                return cannot(": only a number or a label may stand here");
        }
        term.number = value;
        return true;
    }

    static std::int64_t applyUnary(const Term& term, std::int64_t value)
    {
        switch (term.unary) {
        case '-': return -value;
        case '<': return value & 0xFF;
        case '>': return (value >> 8) & 0xFF;
        default: return value;
        }
    }

    std::int64_t valueOf(const Term& term, std::size_t line)
    {
        if (term.kind == Term::Kind::Number)
            return applyUnary(term, term.number);
        const auto found = equates_.find(term.label);
        if (found == equates_.end()) {
            problem(line, "unknown label " + std::string(term.label) + " (0 is played)");
            return 0;
        }
        resolveEquate(std::string(term.label), found->second);
        return applyUnary(term, found->second.value);
    }

    void resolveEquate(const std::string& name, Equate& equate)
    {
        if (equate.state == 2)
            return;
        if (equate.state == 1) {
            problem(equate.line, name + " is defined through itself; dasm cannot resolve it");
            equate.value = 0;
            equate.state = 2;
            return;
        }
        // Equates naming equates are short chains in any real song.h; a
        // deeper one is refused rather than risk the stack.
        if (depth_ >= kMaxDepth) {
            problem(equate.line, name + " is defined through too many other names");
            equate.state = 2;
            return;
        }
        equate.state = 1;
        ++depth_;
        const std::int64_t value = valueOf(equate.term, equate.line);
        --depth_;
        if (equate.state == 1)
            equate.value = value;
        equate.state = 2;
    }

    void store(std::size_t offset, int size, std::int64_t value, std::size_t line)
    {
        if (size == 1 && (value > 255 || value < -255))
            problem(line, "the byte value " + std::to_string(value) + " is above 255; dasm rejects it");
        image_->bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
        if (size == 2)
            image_->bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }

    // What engine.asm needs of song.h beyond dasm's syntax.
    bool checkEngine()
    {
        bool playable = true;
        for (const char* name : kEngineSymbols) {
            if (equates_.count(name) == 0) {
                songProblem(std::string(name) + " is missing; the engine needs it, so dasm stops and nothing plays");
                playable = false;
            }
        }
        for (const char* name : {"HATSOUND", "HATPITCH"}) {
            const auto found = equates_.find(std::string_view(name));
            if (found != equates_.end() && found->second.value > 255)
                problem(found->second.line, std::string(name) + " is above 255; dasm rejects it");
        }
        const std::size_t room = kRomEnd - image_->base;
        if (image_->bytes.size() > room) {
            songProblem("song.h is too large: the ROM is " + std::to_string(image_->bytes.size() - room) +
                        " bytes over its 4 KB");
            playable = false;
        }
        return playable;
    }

    ReadResult finish(bool playable)
    {
        for (const auto& [name, equate] : equates_)
            image_->symbols.emplace(std::string(name), equate.value);
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        ReadResult result;
        const std::size_t shown = std::min(problems_.size(), kMaxProblems);
        for (std::size_t i = 0; i < shown; ++i)
            result.problems.push_back(std::move(problems_[i].second));
        if (problems_.size() > shown)
            result.problems.push_back("and " + std::to_string(problems_.size() - shown) + " more problems");
        if (playable)
            result.image = std::move(image_);
        return result;
    }

    std::string_view text_;
    std::vector<Line> lines_;
    std::shared_ptr<SongImage> image_;
    // Labels and equates alike: a label is an equate already resolved.
    std::unordered_map<std::string_view, Equate> equates_;
    std::vector<Fixup> fixups_;
    std::vector<std::pair<std::size_t, std::string>> problems_;
    static constexpr int kMaxDepth = 1000;
    int depth_ = 0;
};

} // namespace

ReadResult readSongH(const std::string& text) { return Reader(text).read(); }

} // namespace ostrak::sound
