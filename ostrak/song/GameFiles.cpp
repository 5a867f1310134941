#include "GameFiles.h"

#include "common/Failure.h"
#include "PlayerSource.h"

namespace ostrak {

namespace {

// What a game programmer finds beside song.h and player.asm.
const char* const kReadme[] = {
    "Music for a game, saved by ostrak",
    "",
    "song.h      the song, as ostrak's SONG COMPILE writes it",
    "player.asm  the player: ostrak's music engine without its screen",
    "",
    "In your dasm program:",
    "",
    "MUSICRAM equ $E8           ; optional, before the include: where its 16 bytes",
    "                           ; of RAM go ($80 when absent)",
    "        include \"player.asm\"",
    "        include \"song.h\"    ; before or after the player, anywhere in the ROM",
    "        ...",
    "        jsr MusicInit      ; once, to start the song",
    "        ...",
    "        jsr MusicPlay      ; once a frame, in the vertical blank or overscan",
    "",
    "It writes only AUDC0/1, AUDF0/1, AUDV0/1 and its own RAM, and never touches",
    "WSYNC, the timer or the stack beyond its JSR. What it costs (ROM, RAM,",
    "cycles a frame) is written at the top of player.asm.",
    "",
    "Sound effects: set MusicFx to MUSIC_FX2 and channel 2 is yours;",
    "MUSIC_FX1 | MUSIC_FX2 gives you both. The music keeps its time. When your",
    "effect ends, set the channel's AUDV to 0 and MusicFx back to 0: the music",
    "takes the channel again at its next row.",
    "",
    "PAL: the same player, called once a frame at your game's 50 frames a",
    "second. song.h holds \"PAL equ 1\" when it was written for PAL, so a game",
    "can build its PAL frame from the same switch.",
    "",
    "ostrak's engine folder has example-game.asm, a whole small game around the",
    "player, and README.md, the song format and the player in detail.",
};

} // namespace

std::vector<GameFile> gameFiles(const SongLines& songLines)
{
    GameFile readme{"music-README.txt", {}};
    for (const char* line : kReadme)
        readme.bytes += std::string(line) + "\r\n";
    return {{"song.h", songFileText(songLines)}, {"player.asm", std::string(playerAsm())}, readme};
}

std::string saveGameFailureText(const std::string& file, const std::string& folder, int code)
{
    std::string why;
    switch (code) {
    case common::kPermissionDenied: why = "the folder may not be written"; break;
    case common::kPathAccess: why = "something of that name is in the way"; break;
    case common::kPathNotFound: why = "the folder does not exist"; break;
    case common::kDeviceIO: why = "the disk is full or failed"; break;
    default: why = "error code " + std::to_string(code); break;
    }
    return "Save for a game: " + file + " could not be written in " + folder + " (" + why +
           "). No file there is left half-written.";
}

std::string savedForGameText(const std::string& folder)
{
    return "Saved for a game in " + folder + ": song.h, player.asm, music-README.txt";
}

} // namespace ostrak
