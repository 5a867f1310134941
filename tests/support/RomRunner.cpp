#include "RomRunner.h"
#include "TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace testing_support {

namespace {

constexpr std::int64_t kLine = 76; // CPU cycles a line
constexpr std::size_t kMostStrays = 20;

enum class Mode { Implied, Immediate, Zp, ZpX, ZpY, Abs, AbsX, AbsY, IndX, IndY };

std::string hex(unsigned value, int digits)
{
    char text[8];
    std::snprintf(text, sizeof text, "$%0*X", digits, value);
    return text;
}

struct Cpu {
    Cpu(const std::string& romBytes, const RomOptions& options) : rom(romBytes), opt(options) {}

    const std::string& rom;
    RomOptions opt;
    std::uint8_t ram[128] = {};
    std::uint8_t a = 0, x = 0, y = 0, sp = 0xFF;
    bool carry = false, zero = false, negative = false, overflow = false, decimal = false, irqOff = false;
    std::uint16_t pc = 0;
    std::int64_t cycles = 0; // completed since power-on
    std::int64_t timerAt = 0;
    int timerValue = 0, timerInterval = 1024;
    bool inVsync = false;
    std::int64_t origin = -1; // the current frame's first line after vertical sync
    int watchSp = -1;         // the stack pointer the watched call began at; -1 outside it
    std::int64_t callStart = 0;
    RomRun run;

    std::uint8_t romByte(std::uint16_t address) const
    {
        return std::uint8_t(rom[std::size_t(address & 0x0FFF) % rom.size()]);
    }
    bool watching() const { return watchSp >= 0; }
    void stray(const std::string& what)
    {
        if (run.strays.size() < kMostStrays)
            run.strays.push_back(what + " at " + hex(pc, 4));
    }
    int frame() const { return int(run.frames.size()) - 1; }

    // A read on the instruction's last cycle, `at`.
    std::uint8_t read(std::uint16_t address, std::int64_t at)
    {
        if (address & 0x1000)
            return romByte(address);
        if (!(address & 0x80)) { // the TIA's inputs: INPT4 is the fire button (0 while held)
            const bool fire = frame() >= opt.fireFrom && frame() < opt.fireTo;
            return (address & 0x0F) == 0x0C ? (fire ? 0x00 : 0x80) : (address & 0x0F) == 0x0D ? 0x80 : 0x00;
        }
        if (address & 0x200) { // the RIOT: the timer, or the switches and the joystick (none pressed)
            if (watching())
                stray("reads the RIOT " + hex(address, 4));
            if (!(address & 0x04))
                return 0xFF;
            const std::int64_t since = at - timerAt;
            if (since <= 0)
                return std::uint8_t(timerValue);
            const std::int64_t count = timerValue - 1 - (since - 1) / timerInterval;
            // Past 0 the timer counts down once a cycle.
            const std::int64_t zeroAt = std::int64_t(timerValue) * timerInterval + 1;
            return std::uint8_t(count >= 0 ? count : 0xFF - (since - zeroAt));
        }
        return ram[address & 0x7F];
    }

    // A write that completes with cycle `done` of an instruction begun at `begun`.
    void write(std::uint16_t address, std::uint8_t value, std::int64_t begun, std::int64_t done)
    {
        if (address & 0x1000) {
            if (watching())
                stray("writes the ROM " + hex(address, 4));
            return;
        }
        if (address & 0x80) {
            if (address & 0x200) {
                if (watching())
                    stray("writes the RIOT " + hex(address, 4));
                if ((address & 0x14) == 0x14) {
                    static constexpr int kIntervals[4] = {1, 8, 64, 1024};
                    timerAt = done;
                    timerValue = value;
                    timerInterval = kIntervals[address & 3];
                }
            } else {
                const int at = address & 0xFF;
                if (watching() && (at < opt.ramFrom || at >= opt.ramTo))
                    stray("writes RAM " + hex(unsigned(at), 2));
                ram[address & 0x7F] = value;
            }
            return;
        }
        const int reg = address & 0x3F;
        if (watching() && (reg < 0x15 || reg > 0x1A))
            stray("writes the TIA " + hex(unsigned(reg), 2));
        if (reg == 0x00) { // VSYNC: the frame begins on the line it ends
            if (value & 2) {
                inVsync = true;
            } else if (inVsync) {
                inVsync = false;
                const std::int64_t line = begun / kLine * kLine;
                if (origin >= 0)
                    run.frames.back().lines = int((line - origin) / kLine);
                origin = line;
                run.frames.emplace_back();
            }
        } else if (reg == 0x02 && done % kLine) { // WSYNC: wait for the next line
            cycles = (done / kLine + 1) * kLine;
        } else if (reg >= 0x15 && reg <= 0x1A && origin >= 0) {
            run.frames.back().writes.push_back({(reg - 0x15) / 2, (reg - 0x15) % 2, value, int(done - origin)});
        }
    }

    void flags(std::uint8_t v)
    {
        zero = v == 0;
        negative = v & 0x80;
    }
    void push(std::uint8_t v, bool callOwn = false)
    {
        if (watching() && !callOwn)
            stray("uses the stack");
        ram[sp-- & 0x7F] = v;
    }
    std::uint8_t pull()
    {
        if (watching())
            stray("uses the stack");
        return ram[++sp & 0x7F];
    }
    std::uint8_t status() const
    {
        return std::uint8_t(negative << 7 | overflow << 6 | 0x30 | decimal << 3 | irqOff << 2 | zero << 1 | carry);
    }
    void setStatus(std::uint8_t p)
    {
        negative = p & 0x80;
        overflow = p & 0x40;
        decimal = p & 0x08;
        irqOff = p & 0x04;
        zero = p & 0x02;
        carry = p & 0x01;
    }
    void compare(std::uint8_t reg, std::uint8_t v)
    {
        carry = reg >= v;
        flags(std::uint8_t(reg - v));
    }
    void add(std::uint8_t v)
    {
        const int sum = a + v + carry;
        overflow = ~(a ^ v) & (a ^ sum) & 0x80;
        carry = sum > 0xFF;
        a = std::uint8_t(sum);
        flags(a);
    }

    // One instruction; false for one that is not the 6502's.
    bool step()
    {
        const std::int64_t begun = cycles;
        const std::uint8_t op = romByte(pc), b1 = romByte(pc + 1);
        const std::uint16_t abs = std::uint16_t(b1 | romByte(pc + 2) << 8);
        const auto done = [&](int length, int time) {
            pc = std::uint16_t(pc + length);
            cycles += time;
        };
        const auto branch = [&](bool taken) {
            int time = 2;
            std::uint16_t next = std::uint16_t(pc + 2);
            if (taken) {
                const std::uint16_t to = std::uint16_t(next + std::int8_t(b1));
                time += 1 + ((to & 0xFF00) != (next & 0xFF00));
                next = to;
            }
            pc = next;
            cycles += time;
        };
        const auto implied = [&](auto&& what) {
            what();
            done(1, 2);
        };
        switch (op) {
        case 0x10: branch(!negative); return true;
        case 0x30: branch(negative); return true;
        case 0x50: branch(!overflow); return true;
        case 0x70: branch(overflow); return true;
        case 0x90: branch(!carry); return true;
        case 0xB0: branch(carry); return true;
        case 0xD0: branch(!zero); return true;
        case 0xF0: branch(zero); return true;
        case 0x20: { // JSR
            const bool watched = opt.watch && abs == opt.watch && !watching();
            if (watched) {
                watchSp = sp;
                callStart = begun;
            }
            push(std::uint8_t((pc + 2) >> 8), watched);
            push(std::uint8_t(pc + 2), watched);
            pc = abs;
            cycles += 6;
            return true;
        }
        case 0x60: { // RTS
            const bool returns = watching() && std::uint8_t(sp + 2) == watchSp;
            const std::uint8_t low = returns ? ram[++sp & 0x7F] : pull();
            const std::uint8_t high = returns ? ram[++sp & 0x7F] : pull();
            pc = std::uint16_t((low | high << 8) + 1);
            cycles += 6;
            if (returns) {
                watchSp = -1;
                if (frame() >= 0)
                    run.frames.back().calls.push_back(int(cycles - callStart));
            }
            return true;
        }
        case 0x40: setStatus(pull()); pc = pull(); pc = std::uint16_t(pc | pull() << 8); cycles += 6; return true;
        case 0x00: // BRK
            push(std::uint8_t((pc + 2) >> 8));
            push(std::uint8_t(pc + 2));
            push(status() | 0x10);
            irqOff = true;
            pc = std::uint16_t(romByte(0xFFFE) | romByte(0xFFFF) << 8);
            cycles += 7;
            return true;
        case 0x4C: pc = abs; cycles += 3; return true;
        case 0x6C: { // JMP (abs), with the 6502's wrap inside the page
            const std::uint16_t high = std::uint16_t((abs & 0xFF00) | ((abs + 1) & 0xFF));
            pc = std::uint16_t(read(abs, cycles) | read(high, cycles) << 8);
            cycles += 5;
            return true;
        }
        case 0x08: push(status() | 0x10); done(1, 3); return true;
        case 0x28: setStatus(pull()); done(1, 4); return true;
        case 0x48: push(a); done(1, 3); return true;
        case 0x68: a = pull(); flags(a); done(1, 4); return true;
        case 0x18: implied([&] { carry = false; }); return true;
        case 0x38: implied([&] { carry = true; }); return true;
        case 0x58: implied([&] { irqOff = false; }); return true;
        case 0x78: implied([&] { irqOff = true; }); return true;
        case 0xB8: implied([&] { overflow = false; }); return true;
        case 0xD8: implied([&] { decimal = false; }); return true;
        case 0xF8: implied([&] { decimal = true; }); return true;
        case 0xAA: implied([&] { flags(x = a); }); return true;
        case 0x8A: implied([&] { flags(a = x); }); return true;
        case 0xA8: implied([&] { flags(y = a); }); return true;
        case 0x98: implied([&] { flags(a = y); }); return true;
        case 0xBA: implied([&] { flags(x = sp); }); return true;
        case 0x9A:
            if (watching())
                stray("moves the stack");
            implied([&] { sp = x; });
            return true;
        case 0xE8: implied([&] { flags(++x); }); return true;
        case 0xCA: implied([&] { flags(--x); }); return true;
        case 0xC8: implied([&] { flags(++y); }); return true;
        case 0x88: implied([&] { flags(--y); }); return true;
        case 0xEA: implied([] {}); return true;
        default: break;
        }
        return group(op, b1, abs, begun);
    }

    // The regular instructions: operation aaa, addressing bbb, group cc.
    bool group(std::uint8_t op, std::uint8_t b1, std::uint16_t abs, std::int64_t begun)
    {
        const int aaa = op >> 5, bbb = (op >> 2) & 7, cc = op & 3;
        static constexpr Mode kGroup1[8] = {Mode::IndX, Mode::Zp,  Mode::Immediate, Mode::Abs,
                                            Mode::IndY, Mode::ZpX, Mode::AbsY,      Mode::AbsX};
        static constexpr Mode kGroup02[8] = {Mode::Immediate, Mode::Zp, Mode::Implied, Mode::Abs,
                                             Mode::Implied,   Mode::ZpX, Mode::Implied, Mode::AbsX};
        Mode mode = cc == 1 ? kGroup1[bbb] : kGroup02[bbb];
        // STX and LDX index with Y.
        if (cc == 2 && (aaa == 4 || aaa == 5))
            mode = mode == Mode::ZpX ? Mode::ZpY : mode == Mode::AbsX ? Mode::AbsY : mode;
        const bool accumulator = cc == 2 && bbb == 2 && aaa < 4;
        const bool valid = cc == 1 ? !(aaa == 4 && bbb == 2)
                         : cc == 2 ? (accumulator || (mode != Mode::Implied && (bbb != 0 || aaa == 5) &&
                                                      !(aaa == 4 && bbb == 7)))
                         : cc == 0 && ((bbb == 0 && aaa >= 5) || (bbb == 1 && (aaa == 1 || aaa >= 4)) ||
                                       (bbb == 3 && (aaa == 1 || aaa >= 4)) || (bbb == 5 && (aaa == 4 || aaa == 5)) ||
                                       (bbb == 7 && aaa == 5));
        if (!valid) {
            run.error = "opcode " + hex(op, 2) + " at " + hex(pc, 4);
            return false;
        }
        // The operand's address, the instruction's length and its time
        // before a page crossed.
        std::uint16_t address = 0;
        int length = 2, time = 2;
        bool crossed = false;
        const auto zp = [&](std::uint8_t at) { return read(at, cycles); };
        switch (mode) {
        case Mode::Implied: length = 1; break;
        case Mode::Immediate: address = std::uint16_t(pc + 1); break;
        case Mode::Zp: address = b1; time = 3; break;
        case Mode::ZpX: address = std::uint8_t(b1 + x); time = 4; break;
        case Mode::ZpY: address = std::uint8_t(b1 + y); time = 4; break;
        case Mode::Abs: address = abs; length = 3; time = 4; break;
        case Mode::AbsX: address = std::uint16_t(abs + x); crossed = (abs & 0xFF) + x > 0xFF; length = 3; time = 4; break;
        case Mode::AbsY: address = std::uint16_t(abs + y); crossed = (abs & 0xFF) + y > 0xFF; length = 3; time = 4; break;
        case Mode::IndX: {
            const std::uint8_t at = std::uint8_t(b1 + x);
            address = std::uint16_t(zp(at) | zp(std::uint8_t(at + 1)) << 8);
            time = 6;
            break;
        }
        case Mode::IndY: {
            const std::uint16_t base = std::uint16_t(zp(b1) | zp(std::uint8_t(b1 + 1)) << 8);
            address = std::uint16_t(base + y);
            crossed = (base & 0xFF) + y > 0xFF;
            time = 5;
            break;
        }
        }
        const bool indexed = mode == Mode::AbsX || mode == Mode::AbsY || mode == Mode::IndY;
        const bool store = (cc == 1 && aaa == 4) || (cc != 1 && aaa == 4);
        const bool modify = cc == 2 && !accumulator && (aaa < 4 || aaa >= 6);
        if (store) { // STA, STX, STY: a fixed extra cycle when indexed
            time += indexed;
            pc = std::uint16_t(pc + length);
            cycles += time;
            write(address, cc == 1 ? a : cc == 2 ? x : y, begun, cycles);
            return true;
        }
        if (modify) { // ASL ROL LSR ROR DEC INC on memory
            time = (mode == Mode::Zp ? 5 : mode == Mode::AbsX ? 7 : 6);
            std::uint8_t v = read(address, begun + time - 3);
            v = shiftOrCount(aaa, v);
            pc = std::uint16_t(pc + length);
            cycles += time;
            write(address, v, begun, cycles);
            return true;
        }
        if (accumulator) {
            a = shiftOrCount(aaa, a);
            pc = std::uint16_t(pc + 1);
            cycles += 2;
            return true;
        }
        time += indexed && crossed;
        const std::uint8_t v = read(address, begun + time - 1);
        pc = std::uint16_t(pc + length);
        cycles += time;
        if (cc == 1) {
            switch (aaa) {
            case 0: flags(a |= v); break;
            case 1: flags(a &= v); break;
            case 2: flags(a ^= v); break;
            case 3: add(v); break;
            case 5: flags(a = v); break;
            case 6: compare(a, v); break;
            default: add(std::uint8_t(~v)); break; // SBC, binary
            }
        } else if (cc == 2) {
            flags(x = v); // LDX
        } else {
            switch (aaa) {
            case 1: zero = (a & v) == 0; negative = v & 0x80; overflow = v & 0x40; break; // BIT
            case 5: flags(y = v); break;
            case 6: compare(y, v); break;
            default: compare(x, v); break;
            }
        }
        return true;
    }

    std::uint8_t shiftOrCount(int aaa, std::uint8_t v)
    {
        switch (aaa) {
        case 0: carry = v & 0x80; v = std::uint8_t(v << 1); break;
        case 1: { const bool in = carry; carry = v & 0x80; v = std::uint8_t(v << 1 | in); break; }
        case 2: carry = v & 1; v >>= 1; break;
        case 3: { const bool in = carry; carry = v & 1; v = std::uint8_t(v >> 1 | in << 7); break; }
        case 6: --v; break;
        default: ++v; break;
        }
        flags(v);
        return v;
    }
};

} // namespace

RomRun runRom(const std::string& rom, int frames, const RomOptions& options)
{
    Cpu cpu(rom, options);
    if (rom.size() != 4096) {
        cpu.run.error = "not a 4 KB ROM";
        return cpu.run;
    }
    cpu.pc = std::uint16_t(cpu.romByte(0xFFFC) | cpu.romByte(0xFFFD) << 8);
    const std::int64_t limit = std::int64_t(frames + 2) * 400 * kLine; // no frame is 400 lines
    while (int(cpu.run.frames.size()) <= frames && cpu.cycles < limit)
        if (!cpu.step())
            return cpu.run;
    if (int(cpu.run.frames.size()) <= frames)
        cpu.run.error = "the ROM stopped beginning frames";
    cpu.run.frames.resize(std::size_t(std::min<std::size_t>(cpu.run.frames.size(), std::size_t(frames))));
    return cpu.run;
}

std::int64_t dasmSymbol(const std::string& symFile, const std::string& name)
{
    std::istringstream symbols(testing_support::readBytes(symFile));
    std::string line, found, value;
    while (std::getline(symbols, line))
        if (std::istringstream(line) >> found >> value && found == name &&
            value.find_first_not_of("0123456789abcdef") == std::string::npos)
            return std::stoll(value, nullptr, 16);
    return -1;
}

} // namespace testing_support
