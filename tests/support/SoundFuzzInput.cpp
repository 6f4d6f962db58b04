#include "tests/support/SoundFuzzInput.h"

#include <vector>

#include "platform/Fmod.h"

void SoundFuzzOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        return FSOUND_Init(44100, 64, 0);
    }();
    if (!ready || size == 0 || size > (1u << 24))
        return;
    std::vector<int16_t> out(2 * 512);
    const char* bytes = reinterpret_cast<const char*>(data);
    const unsigned rawMode = FSOUND_LOADRAW | ((data[0] & 1) ? FSOUND_16BITS : FSOUND_8BITS) |
                             ((data[0] & 2) ? FSOUND_STEREO : FSOUND_MONO) | ((data[0] & 4) ? FSOUND_UNSIGNED : 0);
    for (unsigned mode : {FSOUND_LOOP_OFF | FSOUND_8BITS | FSOUND_MONO, rawMode | FSOUND_LOOP_NORMAL}) {
        if (FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_UNMANAGED, bytes, mode, int(size))) {
            const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
            FSOUND_SetFrequency(channel, 100 + data[size - 1] * 1000);
            FmodTest::Render(out.data(), 512);
            FSOUND_Sample_Free(sample);
        }
    }
    if (FMUSIC_MODULE* module = FMUSIC_LoadSongMemory(data, int(size))) {
        FMUSIC_PlaySong(module);
        FMUSIC_SetOrder(module, data[0]);
        FmodTest::Render(out.data(), 512);
        FMUSIC_FreeSong(module);
    }
}
