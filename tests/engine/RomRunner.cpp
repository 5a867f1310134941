#include "RomRunner.h"

#include <algorithm>
#include <cstdio>

namespace engine_test {

namespace {

constexpr std::int64_t kLine = 76; // CPU cycles a line

struct Cpu {
    explicit Cpu(const std::string& romBytes) : rom(romBytes) {}

    const std::string& rom;
    std::uint8_t ram[128] = {};
    std::uint8_t a = 0, x = 0, y = 0, sp = 0xFF;
    bool carry = false, zero = false, negative = false;
    std::uint16_t pc = 0;
    std::int64_t cycles = 0; // completed since power-on
    std::int64_t timerAt = 0;
    int timerValue = 0;
    bool inVsync = false;
    std::int64_t origin = -1; // the current frame's first line after vertical sync
    RomRun run;

    std::uint8_t romByte(std::uint16_t address) const
    {
        return std::uint8_t(rom[std::size_t(address & 0x0FFF) % rom.size()]);
    }
    // A read on the instruction's last cycle, `at`.
    std::uint8_t read(std::uint16_t address, std::int64_t at) const
    {
        if (address & 0x1000)
            return romByte(address);
        if (!(address & 0x80))
            return 0; // the TIA's inputs: nothing pressed
        if (address & 0x200) { // the RIOT: only the timer is read
            const std::int64_t since = at - timerAt;
            return since <= 0 ? std::uint8_t(timerValue) : std::uint8_t(timerValue - 1 - (since - 1) / 64);
        }
        return ram[address & 0x7F];
    }
    // A write that completes with cycle `done` of an instruction begun at `begun`.
    void write(std::uint16_t address, std::uint8_t value, std::int64_t begun, std::int64_t done)
    {
        if (address & 0x1000)
            return;
        if (address & 0x80) {
            if (address & 0x200) {
                if ((address & 0x1F) == 0x16) { // TIM64T
                    timerAt = done;
                    timerValue = value;
                }
            } else {
                ram[address & 0x7F] = value;
            }
            return;
        }
        const int reg = address & 0x3F;
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
    void push(std::uint8_t v) { ram[sp-- & 0x7F] = v; }
    std::uint8_t pull() { return ram[++sp & 0x7F]; }

    // One instruction; false for one the runner does not know.
    bool step()
    {
        const std::int64_t begun = cycles;
        const std::uint8_t op = romByte(pc), b1 = romByte(pc + 1);
        const std::uint16_t abs = std::uint16_t(b1 | romByte(pc + 2) << 8);
        const auto advance = [&](int length, int time) {
            pc = std::uint16_t(pc + length);
            cycles += time;
        };
        const auto indexed = [&](std::uint8_t index, int& time) {
            time += ((abs & 0xFF) + index) > 0xFF; // a page crossed takes a cycle more
            return std::uint16_t(abs + index);
        };
        const auto indirectY = [&](int& time) {
            const std::uint16_t base = std::uint16_t(ram[b1 & 0x7F] | ram[(b1 + 1) & 0x7F] << 8);
            time += ((base & 0xFF) + y) > 0xFF;
            return std::uint16_t(base + y);
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
        // Loads and stores: the instruction's length, its time, then the access.
        const auto load = [&](std::uint8_t& into, std::uint16_t address, int length, int time) {
            into = read(address, begun + time - 1);
            flags(into);
            advance(length, time);
        };
        const auto store = [&](std::uint8_t value, std::uint16_t address, int length, int time) {
            advance(length, time);
            write(address, value, begun, cycles);
        };
        const auto immediate = [&](std::uint8_t& into) {
            into = b1;
            flags(into);
            advance(2, 2);
        };
        int time = 4;
        std::uint8_t value = 0;
        switch (op) {
        case 0xA9: immediate(a); break;
        case 0xA5: load(a, b1, 2, 3); break;
        case 0xB5: load(a, std::uint8_t(b1 + x), 2, 4); break;
        case 0xAD: load(a, abs, 3, 4); break;
        case 0xBD: { const auto at = indexed(x, time); load(a, at, 3, time); break; }
        case 0xB9: { const auto at = indexed(y, time); load(a, at, 3, time); break; }
        case 0xB1: { time = 5; const auto at = indirectY(time); load(a, at, 2, time); break; }
        case 0xA2: immediate(x); break;
        case 0xA0: immediate(y); break;
        case 0xA4: load(y, b1, 2, 3); break;
        case 0x85: store(a, b1, 2, 3); break;
        case 0x95: store(a, std::uint8_t(b1 + x), 2, 4); break;
        case 0x8D: store(a, abs, 3, 4); break;
        case 0x84: store(y, b1, 2, 3); break;
        case 0x29: a &= b1; flags(a); advance(2, 2); break;
        case 0x3D: { const auto at = indexed(x, time); a &= read(at, begun + time - 1); flags(a); advance(3, time); break; }
        case 0x05: a |= ram[b1 & 0x7F]; flags(a); advance(2, 3); break;
        case 0x69: { const int sum = a + b1 + carry; carry = sum > 0xFF; a = std::uint8_t(sum); flags(a); advance(2, 2); break; }
        case 0xC9: carry = a >= b1; flags(std::uint8_t(a - b1)); advance(2, 2); break;
        case 0x0A: carry = a & 0x80; a = std::uint8_t(a << 1); flags(a); advance(1, 2); break;
        case 0x4A: carry = a & 1; a >>= 1; flags(a); advance(1, 2); break;
        case 0x26: value = ram[b1 & 0x7F]; ram[b1 & 0x7F] = std::uint8_t(value << 1 | carry); carry = value & 0x80;
                   flags(ram[b1 & 0x7F]); advance(2, 5); break;
        case 0xE6: flags(++ram[b1 & 0x7F]); advance(2, 5); break;
        case 0xF6: flags(++ram[(b1 + x) & 0x7F]); advance(2, 6); break;
        case 0xC6: flags(--ram[b1 & 0x7F]); advance(2, 5); break;
        case 0xCA: flags(--x); advance(1, 2); break;
        case 0xC8: flags(++y); advance(1, 2); break;
        case 0xAA: x = a; flags(x); advance(1, 2); break;
        case 0xA8: y = a; flags(y); advance(1, 2); break;
        case 0x8A: a = x; flags(a); advance(1, 2); break;
        case 0x9A: sp = x; advance(1, 2); break;
        case 0x18: carry = false; advance(1, 2); break;
        case 0x78: case 0xD8: advance(1, 2); break; // sei, cld
        case 0x48: push(a); advance(1, 3); break;
        case 0x68: a = pull(); flags(a); advance(1, 4); break;
        case 0xD0: branch(!zero); break;
        case 0xF0: branch(zero); break;
        case 0x90: branch(!carry); break;
        case 0xB0: branch(carry); break;
        case 0x4C: pc = abs; cycles += 3; break;
        case 0x20: push(std::uint8_t((pc + 2) >> 8)); push(std::uint8_t(pc + 2)); pc = abs; cycles += 6; break;
        case 0x60: { const std::uint8_t low = pull(); pc = std::uint16_t((low | pull() << 8) + 1); cycles += 6; break; }
        default: {
            char text[64];
            std::snprintf(text, sizeof text, "opcode $%02X at $%04X", op, pc);
            run.error = text;
            return false;
        }
        }
        return true;
    }
};

} // namespace

RomRun runRom(const std::string& rom, int frames)
{
    Cpu cpu(rom);
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

} // namespace engine_test
