// The sound library: set-up, samples, channels and modules over our own mixer, with
// SDL2 audio as the device and a silent output when there is none.
#include "platform/Fmod.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/System.h"
#include "platform/sound/Mixer.h"
#include "platform/sound/SoundData.h"

namespace {

// Files larger than this are refused: no sound or module of a game comes near it.
constexpr size_t kMaxFileBytes = size_t(256) << 20;
constexpr size_t kMaxOpenedNames = 1024;
constexpr int kDeviceFrames = 1024;
constexpr int kMinFrequency = 100;
constexpr int kMaxFrequency = 705600;

struct ModuleDeleter {
    void operator()(FMUSIC_MODULE* m) const
    {
        if (m->mod)
            openmpt_module_destroy(m->mod);
        delete m;
    }
};
using ModulePtr = std::unique_ptr<FMUSIC_MODULE, ModuleDeleter>;

struct SoundSystem {
    // Guards the mixer, the channels, every sample's data and every module: the
    // audio thread mixes under it, and the calls below hold it only for bookkeeping
    // (files are read and decoded before it is taken, modules destroyed after).
    std::mutex lock;
    sound::Mixer mixer;
    std::unordered_map<FSOUND_SAMPLE*, std::unique_ptr<FSOUND_SAMPLE>> samples;
    std::unordered_map<FMUSIC_MODULE*, ModulePtr> modules;
    bool initialised = false;

    // UI-thread state.
    bool failInit = false;
    int output = FSOUND_OUTPUT_DSOUND;
    int driver = 0;
    int chosenOutput = -1;
    int chosenDriver = 0;
    SDL_AudioDeviceID device = 0;
    std::string driverName;
    // Set by tests: the device names outputs 1 and 2 report instead of SDL's.
    std::optional<std::vector<std::string>> deviceNames;
    FSOUND_OPENCALLBACK open = nullptr;
    FSOUND_CLOSECALLBACK close = nullptr;
    FSOUND_READCALLBACK read = nullptr;
    FSOUND_SEEKCALLBACK seek = nullptr;
    FSOUND_TELLCALLBACK tell = nullptr;
    std::deque<std::string> openedNames;

    // The silent output keeps time: its channels move on by the time passed (the tick
    // count), so sounds end as they would on a device. Once a test renders (or asks for
    // it), the output moves only when rendered.
    bool manualClock = false;
    uint32_t lastTick = 0;
    int64_t pendingFrameMillis = 0;
};

// Never destroyed: samples and modules held by objects that outlive the others at
// program exit can still be freed, and a device thread still running then still finds
// its mixer. (The game closes the library before it ends.)
SoundSystem& System()
{
    static SoundSystem* system = new SoundSystem;
    return *system;
}

using Guard = std::lock_guard<std::mutex>;

// Under the lock: the silent output's channels catch up with the tick count.
void KeepSilentTime(SoundSystem& s)
{
    const uint32_t now = GetTickCount();
    if (!s.initialised || s.device != 0 || s.manualClock) {
        s.lastTick = now;
        s.pendingFrameMillis = 0;
        return;
    }
    const uint32_t elapsed = now - s.lastTick;
    s.lastTick = now;
    // Frames times 1000: whole frames move on, the rest waits for the next call.
    s.pendingFrameMillis += int64_t(elapsed) * s.mixer.Rate();
    const int64_t frames = s.pendingFrameMillis / 1000;
    s.pendingFrameMillis %= 1000;
    s.mixer.Advance(frames);
}

// Takes the lock and brings the silent output up to date.
struct TimedGuard {
    explicit TimedGuard(SoundSystem& s) : Lock(s.lock) { KeepSilentTime(s); }
    Guard Lock;
};

bool SdlAudioReady()
{
    if (SDL_WasInit(SDL_INIT_AUDIO))
        return true;
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

// The device's thread: mixes straight into SDL's buffer. Nothing here may throw.
void AudioCallback(void* user, Uint8* stream, int length) noexcept
{
    auto* s = static_cast<SoundSystem*>(user);
    const int frames = length / int(2 * sizeof(int16_t));
    try {
        Guard guard(s->lock);
        if (s->initialised) {
            s->mixer.Render(reinterpret_cast<int16_t*>(stream), frames);
            return;
        }
    } catch (...) {
    }
    std::fill(stream, stream + length, Uint8(0));
}

SDL_AudioDeviceID OpenDevice(SoundSystem& s, int rate)
{
    if (!SdlAudioReady())
        return 0;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = AudioCallback;
    want.userdata = &s;
    // Driver 0 and -1 mean the system's default device; 1.. a listed one.
    std::string name;
    if (s.driver > 0 && s.driver < SDL_GetNumAudioDevices(0)) {
        if (const char* n = SDL_GetAudioDeviceName(s.driver, 0))
            name = n;
    }
    SDL_AudioSpec have{};
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have, 0);
    if (id == 0 && !name.empty())
        id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id != 0)
        SDL_PauseAudioDevice(id, 0);
    return id;
}

void RememberName(SoundSystem& s, const char* name)
{
    s.openedNames.emplace_back(name);
    while (s.openedNames.size() > kMaxOpenedNames)
        s.openedNames.pop_front();
}

// Reads a whole file through the callbacks (or from disk when none are installed).
// A callback that throws or fails makes the read fail.
bool ReadWholeFile(SoundSystem& s, const char* name, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    RememberName(s, name);
    if (!s.open || !s.read) {
        std::FILE* f = std::fopen(name, "rb");
        if (!f)
            return false;
        uint8_t chunk[65536];
        size_t got;
        bool ok = true;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
            if (bytes.size() + got > kMaxFileBytes) {
                ok = false;
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        ok = ok && !std::ferror(f);
        std::fclose(f);
        return ok;
    }
    void* handle = nullptr;
    try {
        handle = s.open(name);
    } catch (...) {
        return false;
    }
    if (!handle)
        return false;
    bool ok = true;
    try {
        if (s.seek && s.tell) {
            int size = s.seek(handle, 0, 2);
            if (size > 0 && size_t(size) <= kMaxFileBytes)
                bytes.reserve(size_t(size));
            s.seek(handle, 0, 0);
        }
        std::vector<uint8_t> chunk(65536);
        for (;;) {
            int got = s.read(chunk.data(), int(chunk.size()), handle);
            if (got < 0)
                ok = false;
            if (got <= 0)
                break;
            got = std::min(got, int(chunk.size()));
            if (bytes.size() + size_t(got) > kMaxFileBytes) {
                ok = false;
                break;
            }
            bytes.insert(bytes.end(), chunk.data(), chunk.data() + got);
        }
    } catch (...) {
        ok = false;
    }
    try {
        if (s.close)
            s.close(handle);
    } catch (...) {
    }
    return ok;
}

bool LiveSample(SoundSystem& s, FSOUND_SAMPLE* sample) { return sample && s.samples.count(sample) != 0; }

FMUSIC_MODULE* LiveModule(SoundSystem& s, FMUSIC_MODULE* module)
{
    return module && s.modules.count(module) != 0 ? module : nullptr;
}

unsigned LoopBits(unsigned mode) { return (mode & FSOUND_LOOP_NORMAL) ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF; }

FSOUND_SAMPLE* AddSample(SoundSystem& s, std::unique_ptr<FSOUND_SAMPLE> sample)
{
    FSOUND_SAMPLE* raw = sample.get();
    Guard guard(s.lock);
    s.samples.emplace(raw, std::move(sample));
    return raw;
}

FMUSIC_MODULE* AddModule(SoundSystem& s, openmpt_module* mod)
{
    if (!mod)
        return nullptr;
    ModulePtr module(new FMUSIC_MODULE);
    module->mod = mod;
    openmpt_module_set_repeat_count(mod, -1);
    FMUSIC_MODULE* raw = module.get();
    Guard guard(s.lock);
    s.modules.emplace(raw, std::move(module));
    return raw;
}

}  // namespace

bool FSOUND_SetOutput(int outputType)
{
    SoundSystem& s = System();
    s.output = outputType;
    return outputType >= FSOUND_OUTPUT_NOSOUND && outputType <= FSOUND_OUTPUT_DSOUND;
}

int FSOUND_GetNumDrivers()
{
    SoundSystem& s = System();
    if (s.output == FSOUND_OUTPUT_NOSOUND)
        return 1;
    if (s.output != FSOUND_OUTPUT_WAVEOUT && s.output != FSOUND_OUTPUT_DSOUND)
        return 0;
    if (s.deviceNames)
        return static_cast<int>(s.deviceNames->size());
    if (!SdlAudioReady())
        return 0;
    return std::max(0, SDL_GetNumAudioDevices(0));
}

const char* FSOUND_GetDriverName(int driver)
{
    SoundSystem& s = System();
    if (driver < 0 || driver >= FSOUND_GetNumDrivers())
        return nullptr;
    if (s.output == FSOUND_OUTPUT_NOSOUND) {
        s.driverName = "no sound";
    } else if (s.deviceNames) {
        s.driverName = (*s.deviceNames)[static_cast<size_t>(driver)];
    } else {
        const char* name = SDL_GetAudioDeviceName(driver, 0);
        s.driverName = name ? name : "";
    }
    return s.driverName.c_str();
}

bool FSOUND_SetDriver(int driver)
{
    System().driver = driver;
    return true;
}

bool FSOUND_SetMixer(int)
{
    return true;  // one mixer
}

bool FSOUND_Init(int mixRate, int maxChannels, unsigned)
{
    SoundSystem& s = System();
    FSOUND_Close();
    if (s.failInit || mixRate < 8000 || mixRate > 192000 || maxChannels < 1 ||
        maxChannels > sound::Mixer::kMaxChannels)
        return false;
    {
        Guard guard(s.lock);
        s.mixer.Reset(mixRate, maxChannels);
        s.mixer.SetSfxMaster(255);
        s.initialised = true;
        s.lastTick = GetTickCount();
        s.pendingFrameMillis = 0;
    }
    s.chosenOutput = s.output;
    s.chosenDriver = s.driver;
    // Without a device the silent output keeps everything working.
    if (s.output == FSOUND_OUTPUT_WAVEOUT || s.output == FSOUND_OUTPUT_DSOUND)
        s.device = OpenDevice(s, mixRate);
    return true;
}

void FSOUND_Close()
{
    SoundSystem& s = System();
    // Closing the device waits for its thread, which takes the lock: not under it.
    if (s.device) {
        SDL_CloseAudioDevice(s.device);
        s.device = 0;
    }
    Guard guard(s.lock);
    s.mixer.StopAll();
    for (auto& [raw, module] : s.modules) {
        module->playing = false;
        s.mixer.RemoveModule(raw);
    }
    s.initialised = false;
}

void FSOUND_SetSFXMasterVolume(int volume)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    s.mixer.SetSfxMaster(std::clamp(volume, 0, 255));
}

void FSOUND_File_SetCallbacks(FSOUND_OPENCALLBACK open, FSOUND_CLOSECALLBACK close,
                              FSOUND_READCALLBACK read, FSOUND_SEEKCALLBACK seek,
                              FSOUND_TELLCALLBACK tell)
{
    SoundSystem& s = System();
    s.open = open;
    s.close = close;
    s.read = read;
    s.seek = seek;
    s.tell = tell;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* nameOrData, unsigned mode, int length)
{
    SoundSystem& s = System();
    if (!s.initialised || !nameOrData || length < 0)
        return nullptr;
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    bool ok;
    if (length > 0) {
        ok = sound::DecodeSample(reinterpret_cast<const uint8_t*>(nameOrData), size_t(length), mode, *sample);
    } else {
        std::vector<uint8_t> bytes;
        ok = ReadWholeFile(s, nameOrData, bytes) && sound::DecodeSample(bytes.data(), bytes.size(), mode, *sample);
    }
    if (!ok)
        return nullptr;
    sample->loopMode = LoopBits(mode);
    return AddSample(s, std::move(sample));
}

FSOUND_SAMPLE* FSOUND_Sample_Alloc(int, int length, unsigned mode, int frequency, int volume, int pan,
                                   int priority)
{
    SoundSystem& s = System();
    const int channels = (mode & FSOUND_STEREO) ? 2 : 1;
    if (!s.initialised || length <= 0 || size_t(length) * channels * sizeof(float) > kMaxFileBytes * 4 ||
        frequency < kMinFrequency || frequency > kMaxFrequency)
        return nullptr;
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    sample->data.assign(size_t(length) * size_t(channels), 0.0f);
    sample->channels = channels;
    sample->frames = length;
    sample->frequency = frequency;
    sample->volume = std::clamp(volume, 0, 255);
    sample->pan = pan == FSOUND_STEREOPAN ? pan : std::clamp(pan, 0, 255);
    sample->priority = std::clamp(priority, 0, 255);
    sample->loopMode = LoopBits(mode);
    return AddSample(s, std::move(sample));
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample)
{
    SoundSystem& s = System();
    std::unique_ptr<FSOUND_SAMPLE> owned;
    {
        Guard guard(s.lock);
        auto it = s.samples.find(sample);
        if (it == s.samples.end())
            return;
        s.mixer.StopSample(sample);
        owned = std::move(it->second);
        s.samples.erase(it);
    }
}

bool FSOUND_Sample_Upload(FSOUND_SAMPLE* sample, const void* data, unsigned mode)
{
    SoundSystem& s = System();
    if (!data)
        return false;
    int64_t frames;
    int channels;
    {
        Guard guard(s.lock);
        if (!LiveSample(s, sample))
            return false;
        frames = sample->frames;
        channels = sample->channels;
    }
    if (((mode & FSOUND_STEREO) ? 2 : 1) != channels)
        return false;
    std::vector<float> converted(size_t(frames) * size_t(channels));
    sound::ConvertRaw(static_cast<const uint8_t*>(data), frames, mode, converted.data());
    Guard guard(s.lock);
    if (!LiveSample(s, sample) || sample->frames != frames)
        return false;
    sample->data.swap(converted);
    return true;
}

bool FSOUND_Sample_SetLoopMode(FSOUND_SAMPLE* sample, unsigned loopMode)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveSample(s, sample))
        return false;
    sample->loopMode = LoopBits(loopMode);
    return true;
}

bool FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveSample(s, sample))
        return false;
    if (frequency)
        *frequency = sample->frequency;
    if (volume)
        *volume = sample->volume;
    if (pan)
        *pan = sample->pan;
    if (priority)
        *priority = sample->priority;
    return true;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample)
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    if (!s.initialised || !LiveSample(s, sample))
        return -1;
    return s.mixer.Play(channel, sample);
}

bool FSOUND_StopSound(int channel)
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    sound::MixChannel* c = s.mixer.Find(channel);
    if (!c)
        return false;
    c->playing = false;
    return true;
}

bool FSOUND_SetVolume(int channel, int volume)
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    sound::MixChannel* c = s.mixer.Find(channel);
    if (!c)
        return false;
    c->volume = std::clamp(volume, 0, 255);
    return true;
}

bool FSOUND_SetPan(int channel, int pan)
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    sound::MixChannel* c = s.mixer.Find(channel);
    if (!c)
        return false;
    c->pan = pan == FSOUND_STEREOPAN ? pan : std::clamp(pan, 0, 255);
    return true;
}

bool FSOUND_SetFrequency(int channel, int frequency)
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    sound::MixChannel* c = s.mixer.Find(channel);
    if (!c)
        return false;
    c->frequency = std::clamp(frequency, kMinFrequency, kMaxFrequency);
    return true;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name)
{
    SoundSystem& s = System();
    if (!s.initialised || !name)
        return nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(s, name, bytes))
        return nullptr;
    return AddModule(s, sound::LoadModule(bytes.data(), bytes.size()));
}

FMUSIC_MODULE* FMUSIC_LoadSongMemory(const void* data, int length)
{
    SoundSystem& s = System();
    if (!s.initialised || !data || length <= 0)
        return nullptr;
    return AddModule(s, sound::LoadModule(static_cast<const uint8_t*>(data), size_t(length)));
}

bool FMUSIC_FreeSong(FMUSIC_MODULE* module)
{
    SoundSystem& s = System();
    ModulePtr owned;
    {
        Guard guard(s.lock);
        auto it = s.modules.find(module);
        if (it == s.modules.end())
            return false;
        s.mixer.RemoveModule(module);
        owned = std::move(it->second);
        s.modules.erase(it);
    }
    return true;  // destroyed here, outside the lock
}

bool FMUSIC_PlaySong(FMUSIC_MODULE* module)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!s.initialised || !LiveModule(s, module))
        return false;
    openmpt_module_set_repeat_count(module->mod, -1);
    openmpt_module_set_position_order_row(module->mod, 0, 0);
    module->playing = true;
    module->paused = 0;
    s.mixer.AddModule(module);
    return true;
}

bool FMUSIC_StopSong(FMUSIC_MODULE* module)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveModule(s, module))
        return false;
    module->playing = false;
    s.mixer.RemoveModule(module);
    return true;
}

bool FMUSIC_SetMasterVolume(FMUSIC_MODULE* module, int volume)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveModule(s, module))
        return false;
    module->masterVolume = std::clamp(volume, 0, 256);
    return true;
}

int FMUSIC_GetMasterVolume(FMUSIC_MODULE* module)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    return LiveModule(s, module) ? module->masterVolume : -1;
}

bool FMUSIC_SetOrder(FMUSIC_MODULE* module, int order)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveModule(s, module) || order < 0 || order >= openmpt_module_get_num_orders(module->mod))
        return false;
    openmpt_module_set_position_order_row(module->mod, order, 0);
    return true;
}

int FMUSIC_GetOrder(FMUSIC_MODULE* module)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    return LiveModule(s, module) ? openmpt_module_get_current_order(module->mod) : -1;
}

bool FMUSIC_SetPaused(FMUSIC_MODULE* module, signed char paused)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveModule(s, module))
        return false;
    module->paused = paused;
    return true;
}

signed char FMUSIC_GetPaused(FMUSIC_MODULE* module)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    return LiveModule(s, module) ? module->paused : 0;
}

bool FMUSIC_SetZxxCallback(FMUSIC_MODULE* module, FMUSIC_CALLBACK callback)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveModule(s, module))
        return false;
    module->zxxCallback = callback;
    return true;
}

namespace FmodTest {

bool Channel(int channel, FmodChannelState& state)
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    const sound::MixChannel* c = s.mixer.Find(channel);
    if (!c)
        return false;
    state = FmodChannelState{c->handle, c->sample, c->volume, c->pan, c->frequency, c->priority, c->loopMode, c->playing};
    return true;
}

std::vector<FmodChannelState> PlayingChannels()
{
    SoundSystem& s = System();
    TimedGuard guard(s);
    std::vector<FmodChannelState> result;
    for (const sound::MixChannel& c : s.mixer.Channels())
        if (c.playing)
            result.push_back({c.handle, c.sample, c.volume, c.pan, c.frequency, c.priority, c.loopMode, c.playing});
    return result;
}

bool Module(FMUSIC_MODULE* module, FmodModuleState& state)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    if (!LiveModule(s, module))
        return false;
    state = FmodModuleState{module->playing, module->paused, module->masterVolume, module->zxxCallback};
    return true;
}

bool Initialised()
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    return s.initialised;
}

int SFXMasterVolume()
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    return s.mixer.SfxMaster();
}

bool UsingDevice() { return System().device != 0; }
int ChosenOutput() { return System().chosenOutput; }
int ChosenDriver() { return System().chosenDriver; }

std::vector<std::string> OpenedNames()
{
    const auto& names = System().openedNames;
    return {names.begin(), names.end()};
}

void ClearOpenedNames() { System().openedNames.clear(); }

void Render(int16_t* out, int frames)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    s.manualClock = true;
    if (s.initialised)
        s.mixer.Render(out, frames);
    else
        std::fill(out, out + 2 * frames, int16_t(0));
}

void UseManualClock(bool manual)
{
    SoundSystem& s = System();
    Guard guard(s.lock);
    s.manualClock = manual;
    s.lastTick = GetTickCount();
    s.pendingFrameMillis = 0;
}

void FailInit(bool fail) { System().failInit = fail; }

void SetDeviceNames(std::optional<std::vector<std::string>> names) { System().deviceNames = std::move(names); }

}  // namespace FmodTest
