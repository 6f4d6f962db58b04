// The game's music: each tune as a format-neutral module and the file it is written to.
#pragma once

#include <string>
#include <vector>

#include "tools/soundgen/Module.h"

namespace soundgen {

enum class ModuleFormat { Xm, S3m };

struct Song {
    std::string fileName;  // exact name under "Music/"
    ModuleFormat format = ModuleFormat::Xm;
    Module module;
};

std::vector<Song> MakeSongs();

// The file bytes of a song in its format.
std::vector<uint8_t> WriteSong(const Song& song);

} // namespace soundgen
