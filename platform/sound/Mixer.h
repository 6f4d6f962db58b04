#pragma once
// The mixer: a fixed set of channels playing samples, plus the playing music modules,
// summed into interleaved 16-bit stereo. The caller serialises access (the sound
// library holds its lock around every call).
#include <cstdint>
#include <vector>

#include "platform/sound/SoundData.h"

namespace sound {

struct MixChannel {
    FSOUND_SAMPLE* sample = nullptr;
    int handle = 0;         // 0 while the slot has never played
    bool playing = false;
    uint64_t position = 0;  // frames, 32.32 fixed point
    uint64_t serial = 0;    // start order, for choosing a channel to take over
    int volume = 255;
    int pan = 128;
    int frequency = FSOUND_DEFAULT_RATE;
    int priority = 128;
    unsigned loopMode = FSOUND_LOOP_OFF;
};

class Mixer {
public:
    static constexpr int kMaxChannels = 127;  // channel handles keep the slot in 7 bits

    // Forgets every channel and module and sets the output format.
    void Reset(int rate, int channels);
    int Rate() const { return FRate; }
    int ChannelCount() const { return int(FChannels.size()); }

    // Starts the sample on a slot: FSOUND_FREE picks one. Returns the handle or -1.
    int Play(int channel, FSOUND_SAMPLE* sample);
    // The channel behind a handle, or nullptr (0, stale handles, garbage).
    MixChannel* Find(int handle);
    const std::vector<MixChannel>& Channels() const { return FChannels; }
    void StopSample(const FSOUND_SAMPLE* sample);
    void StopAll();

    void SetSfxMaster(int volume) { FSfxMaster = volume; }
    int SfxMaster() const { return FSfxMaster; }

    void AddModule(FMUSIC_MODULE* module);
    void RemoveModule(FMUSIC_MODULE* module);

    // Mixes the next frames into out (2 * frames values).
    void Render(int16_t* out, int frames);
    // Moves every playing sample on by that many frames without mixing: sounds end or
    // loop on time. Modules are left where they are.
    void Advance(int64_t frames);

private:
    void MixChannelInto(MixChannel& channel, float* accum, int frames);

    int FRate = 44100;
    int FSfxMaster = 255;
    uint64_t FSerial = 0;
    std::vector<MixChannel> FChannels;
    std::vector<FMUSIC_MODULE*> FModules;
    std::vector<float> FAccum;
    std::vector<float> FMusic;
};

}  // namespace sound
