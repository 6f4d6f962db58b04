// soundgen: makes Tesk's sound effects ("samples/") and music ("Music/") under the
// folder given on the command line, then plays each module through the module
// player to check it loads, loops and neither clips nor falls silent.
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>

#include "tools/soundgen/Check.h"
#include "tools/soundgen/Effects.h"
#include "tools/soundgen/Songs.h"
#include "tools/soundgen/Wav.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: soundgen <output folder> [--no-check]\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const bool check = !(argc > 2 && std::string(argv[2]) == "--no-check");
    try {
        std::filesystem::create_directories(root / "samples");
        std::filesystem::create_directories(root / "Music");
        for (const soundgen::Effect& e : soundgen::MakeEffects())
            WriteFile(root / "samples" / e.fileName, soundgen::MakeWav(e.pcm, soundgen::kEffectRate));

        // Each module is written, then played through in its own thread.
        const std::vector<soundgen::Song> songs = soundgen::MakeSongs();
        std::vector<std::vector<uint8_t>> files;
        std::vector<std::future<soundgen::ModuleReport>> reports;
        for (const soundgen::Song& song : songs) {
            files.push_back(soundgen::WriteSong(song));
            WriteFile(root / "Music" / song.fileName, files.back());
        }
        if (check)
            for (const auto& bytes : files)
                reports.push_back(std::async(std::launch::async, soundgen::CheckModule, std::cref(bytes)));
        bool ok = true;
        for (size_t i = 0; i < reports.size(); ++i) {
            const soundgen::ModuleReport r = reports[i].get();
            const std::string& name = songs[i].fileName;
            std::printf("soundgen: %-20s %7zu bytes, %5.1f s, peak %5.1f dBFS, rms %5.1f dBFS%s\n", name.c_str(),
                        files[i].size(), r.seconds, 20 * std::log10(r.peak + 1e-12), 20 * std::log10(r.rms + 1e-12),
                        r.loops ? ", loops" : "");
            // Peaks stay half a decibel below full scale, so that a player that
            // interpolates differently still does not clip.
            if (!r.loaded || !r.warnings.empty() || r.peak > 0.944 || r.rms < 0.01 || !r.loops || r.seconds < 45) {
                std::fprintf(stderr, "soundgen: %s fails its playback check %s%s\n", name.c_str(), r.error.c_str(),
                             r.warnings.c_str());
                ok = false;
            }
        }
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.what());
        return 1;
    }
}
