#pragma once
// "Save for a game": the files a game programmer gets, and what the user is
// told when one cannot be written.
#include "SongFile.h"

#include <string>
#include <vector>

namespace ostrak {

struct GameFile {
    std::string name;
    std::string bytes;
};

// song.h from the lines the song writers write, player.asm (the very text of
// engine/player.asm) and music-README.txt, in that order.
std::vector<GameFile> gameFiles(const SongLines& songLines);

// The message for a file of `gameFiles` that could not be written into
// `folder`, by the failure's code.
std::string saveGameFailureText(const std::string& file, const std::string& folder, int code);
// The log line once all are written.
std::string savedForGameText(const std::string& folder);

} // namespace ostrak
