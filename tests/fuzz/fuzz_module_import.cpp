// The module importer: any bytes either open as a module or give a message;
// an opened module's order list only names patterns it has, and every
// pattern's clipboard text has the header, one line a row, two 12-character
// cells a line, as the paste converter reads it.
#include "FuzzSupport.h"
#include "import/ModuleClipboard.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const ostrak::TrackerModule module(std::string_view(reinterpret_cast<const char*>(data), size));
        for (const ostrak::OrderEntry& e : module.firstSongOrder().entries)
            FUZZ_CHECK(e.pattern >= 0 && e.pattern < module.patterns());
        for (const ostrak::OrderPattern& p : module.orderPatterns()) {
            if (p.rows < 1)
                continue;
            const int last = p.rows > 256 ? 255 : p.rows - 1; // enough to see every kind of cell
            const std::string text =
                module.clipboardText(p.pattern, 0, last, 0, module.channels() > 1 ? 1 : -1);
            const std::string_view header = "ModPlug Tracker  IT\r\n";
            FUZZ_CHECK(text.compare(0, header.size(), header) == 0);
            FUZZ_CHECK(text.size() == header.size() + std::size_t(last + 1) * (24 + 2));
            for (std::size_t at = header.size(); at < text.size(); at += 26)
                FUZZ_CHECK(text[at] == '|' && text[at + 12] == '|' && text.compare(at + 24, 2, "\r\n") == 0);
        }
    } catch (const ostrak::ModuleError&) {
        // Not a module, or a part of it that cannot be read: the window says so.
    }
    return 0;
}
