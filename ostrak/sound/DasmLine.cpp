// dasm's cleanup of a line (comment, tabs, quotes) and its split into label, mnemonic and operand.
#include "DasmLine.h"

#include <algorithm>
#include <cctype>

namespace ostrak::sound::dasm {

namespace {

// dasm marks a blank inside quotes so that it separates nothing, and turns it
// back into a blank once the line is split. Control characters are refused
// before, so this one cannot come from the text.
constexpr char kKeptBlank = '\x01';

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

void keepBlanks(std::string& part) { std::replace(part.begin(), part.end(), kKeptBlank, ' '); }

SourceLine refused(std::string why)
{
    SourceLine line;
    line.problem = std::move(why);
    return line;
}

} // namespace

SourceLine splitLine(std::string_view text)
{
    text = text.substr(0, text.find('\0')); // dasm's C strings end there
    if (text.size() + 2 > kMaxLineChars)
        return refused("longer than the " + std::to_string(kMaxLineChars - 2) +
                           " characters dasm reads as one line; ostrak does not read it");
    // dasm's /* */ comments count only before the first ";", wherever quotes are.
    const std::string_view beforeSemicolon = text.substr(0, text.find(';'));
    if (beforeSemicolon.find("/*") != std::string_view::npos || beforeSemicolon.find("*/") != std::string_view::npos)
        return refused("ostrak does not read dasm's /* */ comments");

    // The comment goes; tabs become blanks; a character constant ('c) and a
    // string ("...") keep their blanks and any ";" in them.
    std::string buf;
    buf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';')
            break;
        if (static_cast<unsigned char>(c) >= 0x80 || (static_cast<unsigned char>(c) < 0x20 && c != '\t'))
            return refused("ostrak reads only plain ASCII outside comments");
        if (c == '{')
            return refused("ostrak does not read dasm's macro arguments ({...})");
        if (c == '\'') {
            buf += c;
            const char next = i + 1 < text.size() ? text[++i] : ' ';
            buf += next == ' ' || next == '\t' ? kKeptBlank : next;
            if (static_cast<unsigned char>(next) >= 0x80 || (static_cast<unsigned char>(next) < 0x20 && next != '\t'))
                return refused("ostrak reads only plain ASCII outside comments");
        } else if (c == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos)
                return refused("a string without its closing \"; dasm rejects it");
            std::string inside(text.substr(i + 1, close - i - 1));
            if (std::any_of(inside.begin(), inside.end(), [](char x) {
                    return static_cast<unsigned char>(x) >= 0x80 || (static_cast<unsigned char>(x) < 0x20 && x != '\t');
                }))
                return refused("ostrak reads only plain ASCII outside comments");
            std::replace(inside.begin(), inside.end(), ' ', kKeptBlank);
            buf += '"' + inside + '"';
            i = close;
        } else {
            buf += c == '\t' ? ' ' : c;
        }
    }

    SourceLine line;
    std::size_t i = 0;
    const std::size_t first = buf.find_first_not_of(' ');
    if (first != std::string::npos && (buf[first] == '^' || buf[first] == '#'))
        return refused("ostrak does not read dasm's ^ and # line forms");
    // The label runs from the first column to a blank, "=" or ":" (the colon
    // is dropped); a comma would give it arguments.
    while (i < buf.size() && buf[i] != ' ' && buf[i] != '=') {
        if (buf[i] == ':') {
            ++i;
            break;
        }
        if (buf[i] == ',')
            return refused("ostrak does not read labels with arguments");
        line.label += buf[i++];
    }
    while (i < buf.size() && buf[i] == ' ')
        ++i;
    if (i < buf.size() && buf[i] == '=') {
        line.mnemonic = "=";
        ++i;
    } else {
        while (i < buf.size() && buf[i] != ' ')
            line.mnemonic += buf[i++];
    }
    while (i < buf.size() && buf[i] == ' ')
        ++i;
    line.operand = buf.substr(i);
    keepBlanks(line.label);
    keepBlanks(line.mnemonic);
    keepBlanks(line.operand);
    return line;
}

Directive directive(std::string_view mnemonic)
{
    using Kind = Directive::Kind;
    if (mnemonic.empty())
        return {};
    if (mnemonic == "=")
        return {Kind::Equate};
    // ".op" is op; otherwise what follows the first "." is an extension.
    std::string_view name = mnemonic, ext;
    bool hasExt = false;
    if (name.front() == '.') {
        name.remove_prefix(1);
    } else if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
        ext = name.substr(dot + 1);
        name = name.substr(0, dot);
        hasExt = true;
    }
    const std::string base = lowered(name);
    if (base == "equ")
        return {Kind::Equate};
    if (base == "byte")
        return {Kind::Data, 1};
    if (base == "word")
        return {Kind::Data, 2};
    if (base == "long")
        return {Kind::Data, 4};
    if (base != "dc")
        return {Kind::Other};
    // dc's size is its extension's first letter; ".wx", ".wy" and letters
    // dasm gives no size to fall back to a byte.
    const std::string e = lowered(ext);
    const char size = hasExt && !e.empty() ? e[0] : ' ';
    const char index = e.size() > 1 ? e[1] : ' ';
    if ((size == 'w' || size == 'a' || size == 'e') && index != 'x' && index != 'y')
        return {Kind::Data, 2};
    if (size == 'l')
        return {Kind::Data, 4};
    if (size == 's')
        return {Kind::Data, 2, true};
    return {Kind::Data, 1};
}

} // namespace ostrak::sound::dasm
