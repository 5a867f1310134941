// The song.h reader: song.h read as dasm reads it inside engine.asm. dasm
// assembles in passes, each over the whole source with the values the passes
// before found, until a pass leaves nothing unknown; so does this reader, with
// the engine's code before song.h reduced to what it defines and reads.
#include "DasmExpression.h"
#include "DasmLine.h"
#include "EngineSymbols.h"
#include "SongImage.h"

#include <algorithm>
#include <limits>

namespace ostrak::sound {

namespace {

constexpr std::size_t kMaxProblems = 100;
constexpr std::size_t kShownLineChars = 80;
constexpr int kMaxPasses = 10; // dasm's default
constexpr std::size_t kEngineLine = std::numeric_limits<std::size_t>::max();

struct Line {
    std::size_t number; // counted from 1
    std::string_view text;
    dasm::SourceLine source;
    dasm::Directive directive;
};

struct Symbol {
    dasm::Value value;
    std::size_t line = 0; // where this pass defined it first
    int pass = 0;         // the pass that line belongs to
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    ReadResult read()
    {
        splitLines();
        for (pass_ = 1;; ++pass_) {
            problems_.clear();
            unresolved_.clear();
            unknown_ = 0;
            const std::vector<std::int64_t> before = state();
            runPass();
            if (unknown_ == 0)
                break;
            const bool stuck = state() == before;
            if (stuck) {
                if (problems_.empty()) // else the lines say what dasm cannot resolve
                    songProblem("dasm cannot resolve every value");
                break;
            }
            if (pass_ == kMaxPasses) {
                songProblem("dasm gives up after " + std::to_string(kMaxPasses) +
                            " passes: equates that name later equates, in too long a chain");
                break;
            }
        }
        problems_.insert(problems_.begin(), lineProblems_.begin(), lineProblems_.end());
        const bool playable = checkEngine();
        tellUnresolved();
        return finish(playable);
    }

private:
    void splitLines()
    {
        constants_.clear();
        std::size_t number = 0, at = 0;
        while (at < text_.size()) {
            std::size_t end = text_.find_first_of("\r\n", at);
            if (end == std::string_view::npos)
                end = text_.size();
            Line line{++number, text_.substr(at, end - at), dasm::splitLine(text_.substr(at, end - at)), {}};
            line.directive = dasm::directive(line.source.mnemonic);
            lines_.push_back(std::move(line));
            classify(lines_.back());
            constants_.emplace_back();
            at = end;
            if (at < text_.size() && text_[at] == '\r')
                ++at;
            if (at < text_.size() && text_[at] == '\n')
                ++at;
        }
    }

    // Problems a line has in any pass; such a line lays down nothing.
    void classify(Line& line)
    {
        using Kind = dasm::Directive::Kind;
        std::string& why = line.source.problem;
        const std::string& label = line.source.label;
        if (why.empty() && line.directive.kind == Kind::Other)
            why = "\"" + line.source.mnemonic + "\" is not byte, word or equ, the only lines ostrak reads";
        // Names ending in "$" live between two labels to dasm; ".", ".." and
        // "..." are its own; "." or "*" as an equate moves the origin.
        if (why.empty() && (label == "." || label == ".." || label == "..." || (!label.empty() && label.back() == '$') ||
                            (line.directive.kind == Kind::Equate && label == "*")))
            why = "ostrak does not read the label " + label;
        if (!why.empty())
            lineProblems_.push_back({line.number, describe(line, why)});
    }

    std::string describe(const Line& line, const std::string& what) const
    {
        std::string shown(line.text.substr(0, kShownLineChars));
        if (line.text.size() > kShownLineChars)
            shown += "...";
        return "line " + std::to_string(line.number) + ": \"" + shown + "\": " + what;
    }
    void problem(const Line& line, const std::string& what) { problems_.push_back({line.number, describe(line, what)}); }
    void songProblem(const std::string& what) { problems_.push_back({0, "song.h: " + what}); }

    // A line's operand; one without names or addresses is read once.
    const dasm::Evaluation& evaluateLine(const Line& line, std::int64_t pc)
    {
        std::optional<dasm::Evaluation>& cached = constants_[line.number - 1];
        if (cached)
            return *cached;
        scratch_ = evaluate(line.source.operand, pc);
        if (scratch_.constant)
            cached = scratch_;
        return scratch_;
    }

    dasm::Evaluation evaluate(std::string_view text, std::int64_t pc)
    {
        return dasm::evaluate(text, pc, [this](std::string_view name) -> std::optional<dasm::Value> {
            const auto found = symbols_.find(std::string(name));
            if (found == symbols_.end())
                return std::nullopt;
            return found->second.value;
        });
    }

    // What every pass does: the engine's equates and uses, then song.h.
    void runPass()
    {
        for (const auto& [name, value] : kEngineFixedSymbols)
            define(std::string(name), dasm::Value{value}, nullptr);
        for (const auto& [name, expression, ifConst] : kEngineEquates)
            define(std::string(name), ifConst.empty() || known(ifConst) ? evaluate(expression, 0).items.front() : dasm::Value{0},
                   nullptr);
        for (const auto& [expression, immediate] : kEngineUses)
            engineUse(expression, immediate);
        image_ = std::make_shared<SongImage>();
        for (const Line& line : lines_)
            if (line.source.problem.empty())
                readLine(line);
    }

    // dasm's "ifconst": the name has a value that an earlier line or pass found.
    bool known(std::string_view name) const
    {
        const auto found = symbols_.find(std::string(name));
        return found != symbols_.end() && !found->second.value.unknown;
    }

    void engineUse(std::string_view expression, bool immediate)
    {
        const dasm::Value value = evaluate(expression, 0).items.front();
        if (value.unknown) {
            ++unknown_;
            return;
        }
        if (!immediate || (value.number >= -255 && value.number <= 255))
            return;
        // Name the line that gave the engine this value.
        const std::string name(expression);
        const auto found = symbols_.find(name);
        std::string what = name + " is " + std::to_string(value.number) +
                           (value.number > 255 ? ", above 255" : ", below -255") +
                           "; the engine loads it as one byte, so dasm rejects it";
        for (const Line& line : lines_)
            if (found != symbols_.end() && line.number == found->second.line)
                return problem(line, what);
        songProblem(what);
    }

    void readLine(const Line& line)
    {
        using Kind = dasm::Directive::Kind;
        const std::int64_t pc = std::int64_t(image_->base + image_->bytes.size());
        const std::string& label = line.source.label;
        if (line.directive.kind == Kind::Equate) {
            const dasm::Evaluation& result = evaluateLine(line, pc);
            report(line, result);
            define(label, result.items.front(), &line);
            return;
        }
        if (!label.empty())
            define(label, dasm::Value{pc}, &line);
        if (line.directive.kind != Kind::Data)
            return;
        const dasm::Evaluation& result = evaluateLine(line, pc);
        report(line, result);
        const int width = line.directive.width;
        std::size_t laid = 0;
        for (const dasm::Value& item : result.items) {
            if (item.text) {
                for (const char c : *item.text)
                    store(static_cast<unsigned char>(c), width, line.directive.highFirst);
                laid += item.text->size() * width;
                continue;
            }
            if (width == 1 && !item.unknown && (item.number > 255 || item.number < -255))
                problem(line, "the byte value " + std::to_string(item.number) +
                                  (item.number > 255 ? " is above 255" : " is below -255") + "; dasm rejects it");
            store(item.number, width, line.directive.highFirst);
            laid += width;
        }
        if (laid > dasm::kMaxLineChars + 1)
            problem(line, "more bytes than dasm lays down from one line; ostrak does not read it");
    }

    // dasm takes another pass for an unknown value it lays down, not for an
    // equate that stays unknown (only for one that was known and is not
    // now); a name used where the result does not depend on it ("0 && x")
    // asks for nothing.
    void report(const Line& line, const dasm::Evaluation& result)
    {
        if (!result.error.empty())
            problem(line, result.error);
        if (line.directive.kind == dasm::Directive::Kind::Equate) {
            if (result.items.front().unknown)
                unresolved_.push_back(&line);
            return;
        }
        const auto unknown = std::count_if(result.items.begin(), result.items.end(),
                                           [](const dasm::Value& v) { return v.unknown; });
        unknown_ += int(unknown);
        if (unknown == 0)
            return;
        for (const std::string& name : result.undefined)
            problem(line, "unknown label " + name + " (0 is played)");
        if (result.undefined.empty())
            problem(line, "a value dasm cannot resolve");
    }

    // An equate dasm leaves unknown harms nothing until a line uses it; so
    // it is told only beside what stops the song.
    void tellUnresolved()
    {
        if (problems_.empty())
            return;
        for (const Line* line : unresolved_) {
            const auto found = symbols_.find(line->source.label);
            if (found != symbols_.end() && found->second.value.unknown)
                problem(*line, line->source.label + " is defined through itself or through names dasm cannot resolve");
        }
    }

    // A label or equate gets its value. A name given two values makes dasm
    // take another pass every time, so it never finishes.
    void define(const std::string& name, const dasm::Value& value, const Line* line)
    {
        const std::size_t number = line ? line->number : kEngineLine;
        auto [it, added] = symbols_.try_emplace(name, Symbol{value, number, pass_});
        Symbol& symbol = it->second;
        if (!added) {
            if (!symbol.value.unknown && value.unknown)
                ++unknown_;
            if (!symbol.value.unknown && !value.unknown && symbol.value.number != value.number) {
                ++unknown_;
                if (line && symbol.line == kEngineLine)
                    problem(*line, name + " is a name of the engine (engine.asm) with another value; dasm rejects that");
                else if (line && symbol.pass == pass_)
                    problem(*line, name + " is defined twice (first on line " + std::to_string(symbol.line) +
                                       ") with another value; dasm rejects that");
            }
            if (symbol.pass != pass_ || !line) {
                symbol.line = number;
                symbol.pass = pass_;
            }
            symbol.value = value;
        }
    }

    void store(std::int64_t value, int width, bool highFirst)
    {
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (highFirst ? width - 1 - i : i);
            image_->bytes.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
        }
    }

    // Every name's value, the engine's equates' too, so a pass that changed
    // nothing shows.
    std::vector<std::int64_t> state() const
    {
        std::vector<std::int64_t> out;
        const auto add = [&](const std::string& name) {
            const auto found = symbols_.find(name);
            if (found != symbols_.end())
                out.insert(out.end(), {found->second.value.unknown ? 1 : 0, found->second.value.number});
        };
        for (const Line& line : lines_)
            if (!line.source.label.empty())
                add(line.source.label);
        for (const EngineEquate& equate : kEngineEquates)
            add(std::string(equate.name));
        return out;
    }

    // What engine.asm needs of song.h beyond dasm's syntax.
    bool checkEngine()
    {
        bool playable = true;
        for (const char* name : kEngineSymbols) {
            const auto found = symbols_.find(name);
            if (found == symbols_.end() || found->second.line == kEngineLine) {
                songProblem(std::string(name) + " is missing; the engine needs it, so dasm stops and nothing plays");
                playable = false;
            }
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
        for (const auto& [name, symbol] : symbols_)
            if (symbol.line != kEngineLine)
                image_->symbols.emplace(name, symbol.value.number);
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        ReadResult result;
        result.romBytes = image_->bytes.size();
        result.romRoom = kRomEnd - image_->base;
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
    std::unordered_map<std::string, Symbol> symbols_;
    std::vector<std::pair<std::size_t, std::string>> lineProblems_; // the same in every pass
    std::vector<std::pair<std::size_t, std::string>> problems_;     // of the last pass
    std::vector<std::optional<dasm::Evaluation>> constants_; // by line
    dasm::Evaluation scratch_;
    std::vector<const Line*> unresolved_; // equates of the last pass left unknown
    int pass_ = 0;
    int unknown_ = 0; // dasm's reasons for another pass, counted in this one
};

} // namespace

ReadResult readSongH(const std::string& text) { return Reader(text).read(); }

} // namespace ostrak::sound
