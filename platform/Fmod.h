#pragma once
// The sound library of the games: a small mixer of our own (64 channels, 44100 Hz
// stereo) with sampled sounds (WAV, MP3, raw PCM) and music modules (through
// libopenmpt), played through SDL2 audio or, without a device, a silent output that
// keeps the same bookkeeping. The calls keep the classic FSOUND_/FMUSIC_ names and
// conventions the game code is written against:
//   - a sample or module is an opaque handle, nullptr on failure;
//   - a channel is a positive handle, -1 on failure; channel 0 is never a real channel,
//     and a call on channel 0 (or on a channel since reused) does nothing;
//   - every file is read whole through the installed file callbacks, then decoded.
// All calls belong to one thread (the UI thread); the audio thread only mixes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FSOUND_SAMPLE;
struct FMUSIC_MODULE;

// File callbacks. The handle is whatever open returns (nullptr: the file cannot be
// opened). read returns the bytes read, seek the new position (mode 0 from the start,
// 1 from the current position, 2 from the end), tell the position. A negative result
// is an error. They must not throw.
using FSOUND_OPENCALLBACK = void* (*)(const char* name);
using FSOUND_CLOSECALLBACK = void (*)(void* handle);
using FSOUND_READCALLBACK = int (*)(void* buffer, int size, void* handle);
using FSOUND_SEEKCALLBACK = int (*)(void* handle, int position, signed char mode);
using FSOUND_TELLCALLBACK = int (*)(void* handle);
// Module-command callback (stored; called by nothing).
using FMUSIC_CALLBACK = void (*)(FMUSIC_MODULE* module, unsigned char param);

// Channel requests.
constexpr int FSOUND_FREE = -1;        // any free channel
constexpr int FSOUND_UNMANAGED = -2;   // sample index: the caller owns the sample
constexpr int FSOUND_STEREOPAN = -1;   // pan: full volume on both sides

// Sample modes (bit flags). A file with a header supplies its own format; the format
// bits describe raw data (FSOUND_LOADRAW, FSOUND_Sample_Alloc, FSOUND_Sample_Upload).
constexpr unsigned FSOUND_LOOP_OFF = 0x01;
constexpr unsigned FSOUND_LOOP_NORMAL = 0x02;
constexpr unsigned FSOUND_8BITS = 0x08;
constexpr unsigned FSOUND_16BITS = 0x10;
constexpr unsigned FSOUND_MONO = 0x20;
constexpr unsigned FSOUND_STEREO = 0x40;
constexpr unsigned FSOUND_UNSIGNED = 0x80;   // raw data is unsigned (default: signed)
constexpr unsigned FSOUND_LOADRAW = 0x1000;  // ignore any header: the data is raw PCM

// Output types.
constexpr int FSOUND_OUTPUT_NOSOUND = 0;
constexpr int FSOUND_OUTPUT_WAVEOUT = 1;
constexpr int FSOUND_OUTPUT_DSOUND = 2;

// The rate raw data plays at unless told otherwise.
constexpr int FSOUND_DEFAULT_RATE = 44100;

// Set-up. The output, driver and mixer choices take effect at the next FSOUND_Init.
// FSOUND_Init succeeds without an audio device (it falls back to the silent output).
// FSOUND_Close stops every sound and closes the device; loaded samples and modules
// stay valid (and usable after the next FSOUND_Init) until they are freed.
bool FSOUND_SetOutput(int outputType);
int FSOUND_GetNumDrivers();
const char* FSOUND_GetDriverName(int driver);  // nullptr when out of range
bool FSOUND_SetDriver(int driver);             // -1: the system default
bool FSOUND_SetMixer(int mixer);
bool FSOUND_Init(int mixRate, int maxChannels, unsigned flags);
void FSOUND_Close();
void FSOUND_SetSFXMasterVolume(int volume);  // 0..255, effects only

// Installs the file callbacks; they stay until replaced (across FSOUND_Close and
// FSOUND_Init). All five nullptr: files are read from disk directly.
void FSOUND_File_SetCallbacks(FSOUND_OPENCALLBACK open, FSOUND_CLOSECALLBACK close,
                              FSOUND_READCALLBACK read, FSOUND_SEEKCALLBACK seek,
                              FSOUND_TELLCALLBACK tell);

// Samples. nameOrData is a file name when length is 0, else length bytes of the file
// in memory. Loaded files report volume 255, pan 128, priority 128 and their own rate.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* nameOrData, unsigned mode, int length);
FSOUND_SAMPLE* FSOUND_Sample_Alloc(int index, int length, unsigned mode, int frequency,
                                   int volume, int pan, int priority);
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);  // stops the channels playing it
// Copies the sample's length of frames from data, laid out as mode says.
bool FSOUND_Sample_Upload(FSOUND_SAMPLE* sample, const void* data, unsigned mode);
bool FSOUND_Sample_SetLoopMode(FSOUND_SAMPLE* sample, unsigned loopMode);
bool FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan,
                               int* priority);

// Channels. FSOUND_PlaySound(FSOUND_FREE, s) takes a free channel or, when every
// channel is busy, the oldest non-looping one of no higher priority; -1 when none.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
bool FSOUND_StopSound(int channel);
bool FSOUND_SetVolume(int channel, int volume);  // 0..255
bool FSOUND_SetPan(int channel, int pan);        // 0 left .. 128 centre .. 255 right, or -1
bool FSOUND_SetFrequency(int channel, int frequency);

// Music modules (XM, S3M, MOD, IT, MTM and the rest libopenmpt reads). A playing
// module loops; its master volume 0..256 scales it (256 = as written).
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
FMUSIC_MODULE* FMUSIC_LoadSongMemory(const void* data, int length);
bool FMUSIC_FreeSong(FMUSIC_MODULE* module);  // stops it first
bool FMUSIC_PlaySong(FMUSIC_MODULE* module);
bool FMUSIC_StopSong(FMUSIC_MODULE* module);
bool FMUSIC_SetMasterVolume(FMUSIC_MODULE* module, int volume);
int FMUSIC_GetMasterVolume(FMUSIC_MODULE* module);  // -1 for no module
bool FMUSIC_SetOrder(FMUSIC_MODULE* module, int order);
int FMUSIC_GetOrder(FMUSIC_MODULE* module);  // -1 for no module
// paused: non-zero pauses; GetPaused returns the value last set (0 when running).
bool FMUSIC_SetPaused(FMUSIC_MODULE* module, signed char paused);
signed char FMUSIC_GetPaused(FMUSIC_MODULE* module);
bool FMUSIC_SetZxxCallback(FMUSIC_MODULE* module, FMUSIC_CALLBACK callback);

// Introspection for tests and diagnostics.
struct FmodChannelState {
    int handle = 0;
    FSOUND_SAMPLE* sample = nullptr;
    int volume = 0;
    int pan = 0;  // -1 for the full-volume stereo pan
    int frequency = 0;
    int priority = 0;
    unsigned loopMode = 0;
    bool playing = false;
};
struct FmodModuleState {
    bool playing = false;
    signed char paused = 0;
    int masterVolume = 0;
    FMUSIC_CALLBACK zxxCallback = nullptr;
};
namespace FmodTest {
// The channel behind a handle; false for channel 0, a stale handle or garbage.
bool Channel(int channel, FmodChannelState& state);
// Every playing channel, in channel order.
std::vector<FmodChannelState> PlayingChannels();
bool Module(FMUSIC_MODULE* module, FmodModuleState& state);
bool Initialised();
int SFXMasterVolume();
bool UsingDevice();  // false: the silent output
int ChosenOutput();  // the output of the last FSOUND_Init
int ChosenDriver();
// Names passed to the open callback (or opened from disk), oldest first.
std::vector<std::string> OpenedNames();
void ClearOpenedNames();
// Mixes the next frames of the output into out (interleaved stereo, 2 * frames
// values), advancing every channel and module as the device would. Meant for the
// silent output (a device would mix on its own as well). The silent output otherwise
// moves its channels on by the time passed (GetTickCount), so a sound ends after its
// length as on a device; from the first Render on it moves only when rendered.
void Render(int16_t* out, int frames);
// The silent output moves only when rendered (true) or with the tick count (false).
// TestHooks::Reset goes back to real time.
void UseManualClock(bool manual);
// The next FSOUND_Init calls fail while set.
void FailInit(bool fail);
// While set, the outputs WaveOut and DirectSound report exactly these device names
// (FSOUND_GetNumDrivers, FSOUND_GetDriverName) instead of the machine's; nullopt gives
// the machine's list back. TestHooks::Reset clears it.
void SetDeviceNames(std::optional<std::vector<std::string>> names);
}  // namespace FmodTest
