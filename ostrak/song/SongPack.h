#pragma once
// "Pack repeats": a whole song.h in which a chain that repeats an earlier
// chain's nine lines, as dasm reads them, is not written again; its label
// becomes an equate of the first chain's label, so every sequence naming it
// still builds.
#include "SongFile.h"

#include <string>

namespace ostrak {

// One line per output entry; a line that could not be written (a failure)
// stays where it was. Anything that is not a whole chain - a label line and
// exactly nine data lines of plain numbers - is left as it stands, and so is
// every chain whose label is defined twice.
SongLines packRepeats(const SongLines& lines);

} // namespace ostrak

namespace ostrak {

// The song's bytes against the room in the ROM, as the song.h reader (so
// dasm) counts them.
struct RomUse {
    std::size_t bytes = 0;
    std::size_t room = 0;
    bool fits() const { return bytes <= room; }
};
RomUse romUse(const SongLines& lines);

// e.g. "ROM: 3,412 of 3,558 bytes"
std::string romUseText(const RomUse& use);
// For a song that does not fit: by how much, and whether packing would make
// it fit; empty for one that fits.
std::string tooLargeText(const RomUse& asWritten, const RomUse& packed, bool packTicked);

} // namespace ostrak
