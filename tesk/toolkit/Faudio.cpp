#include "tesk/toolkit/Faudio.h"

#include <climits>

#include "tesk/toolkit/PackageFiles.h"

namespace {

// Every sample starts as a one-shot; a file with a header supplies its own format.
constexpr unsigned kLoadMode = FSOUND_LOOP_OFF | FSOUND_8BITS | FSOUND_MONO;

// Names go to the library whole; one holding a zero byte would reach it cut short and
// open another file, so it is refused.
bool UsableName(const std::string& name) { return name.find('\0') == std::string::npos; }

// What the file callbacks met during the load that runs now: the files opened, and the
// failure of the last one that could not be opened or read.
struct tLoadWatch {
    int Opened = 0;
    std::string Failure;
};
tLoadWatch& LoadWatch()
{
    static tLoadWatch watch;
    return watch;
}

void NoteFileFailure(const std::exception& e)
{
    try {
        LoadWatch().Failure = e.what();
    } catch (...) {
    }
}

// Why the load just made failed, as far as the callbacks know.
std::string LoadFailureCause(int openedBefore)
{
    const tLoadWatch& watch = LoadWatch();
    if (!watch.Failure.empty())
        return watch.Failure;
    if (watch.Opened > openedBefore)
        return "the file is not a sound the sound library can read";
    return {};
}

}  // namespace

std::string SoundLoadCause(const std::exception& e)
{
    if (const auto* sound = dynamic_cast<const eFSoundError*>(&e))
        return sound->Cause();
    if (const auto* music = dynamic_cast<const eFMusicError*>(&e))
        return music->Cause();
    return {};
}

void CheckSoundResult(const std::string& text, bool ok)
{
    if (!ok)
        throw eFSoundError(text);
}

void CheckMusicResult(const std::string& text, bool ok)
{
    if (!ok)
        throw eFMusicError(text);
}

// --- file callbacks ---

// The library calls these from inside its load calls; a failure there is a failed load,
// so nothing may escape them.

namespace {
tPackageFileStream* StreamOf(void* handle) { return static_cast<tPackageFileStream*>(handle); }
int ClampPosition(int64_t position) { return position < 0 || position > INT_MAX ? -1 : int(position); }
}  // namespace

void* PackageSoundFileOpen(const char* name)
{
    if (!name)
        return nullptr;
    try {
        void* handle = OpenPackageFile(name).release();
        ++LoadWatch().Opened;
        return handle;
    } catch (const std::exception& e) {
        NoteFileFailure(e);
        return nullptr;
    } catch (...) {
        return nullptr;
    }
}

void PackageSoundFileClose(void* handle)
{
    try {
        ClosePackageFile(StreamOf(handle));
    } catch (...) {
    }
}

int PackageSoundFileRead(void* buffer, int size, void* handle)
{
    if (!handle || !buffer || size <= 0)
        return 0;
    try {
        return StreamOf(handle)->Read(buffer, size);
    } catch (const std::exception& e) {
        NoteFileFailure(e);
        return -1;
    } catch (...) {
        return -1;
    }
}

int PackageSoundFileSeek(void* handle, int position, signed char mode)
{
    if (!handle)
        return -1;
    try {
        tPackageFileStream* stream = StreamOf(handle);
        if (mode < 0 || mode > 2)
            return ClampPosition(stream->Position());
        return ClampPosition(stream->Seek(position, uint16_t(mode)));
    } catch (...) {
        return -1;
    }
}

int PackageSoundFileTell(void* handle)
{
    if (!handle)
        return -1;
    try {
        return ClampPosition(StreamOf(handle)->Position());
    } catch (...) {
        return -1;
    }
}

void InstallPackageFileCallbacks()
{
    FSOUND_File_SetCallbacks(PackageSoundFileOpen, PackageSoundFileClose, PackageSoundFileRead,
                             PackageSoundFileSeek, PackageSoundFileTell);
}

// --- tModule ---

tModule::~tModule()
{
    if (FModule)
        FMUSIC_FreeSong(FModule);
}

bool tModule::SetOrder(int order) { return FMUSIC_SetOrder(FModule, order); }
int tModule::GetOrder() { return FMUSIC_GetOrder(FModule); }
void tModule::SetPaused(bool paused) { FMUSIC_SetPaused(FModule, paused ? -1 : 0); }
bool tModule::GetPaused() { return FMUSIC_GetPaused(FModule) != 0; }
void tModule::SetMasterVolume(int volume) { FMUSIC_SetMasterVolume(FModule, volume); }
int tModule::GetMasterVolume() { return FMUSIC_GetMasterVolume(FModule); }

void tModule::Load(const std::string& fileName)
{
    if (FModule)
        Unload();
    const int opened = LoadWatch().Opened;
    LoadWatch().Failure.clear();
    if (UsableName(fileName))
        FModule = FMUSIC_LoadSong(fileName.c_str());
    if (!FModule)
        throw eFMusicError("tModule.Load", LoadFailureCause(opened));
}

void tModule::LoadFromMemory(const void* data, int length)
{
    if (FModule)
        Unload();
    FModule = FMUSIC_LoadSongMemory(data, length);
    CheckMusicResult("tModule.LoadFromMemory", FModule != nullptr);
}

void tModule::Unload()
{
    FMUSIC_FreeSong(FModule);
    FModule = nullptr;
}

void tModule::Play() { CheckMusicResult("tModule.Play", FMUSIC_PlaySong(FModule)); }
void tModule::Stop() { FMUSIC_StopSong(FModule); }
void tModule::SetZxxCallback(FMUSIC_CALLBACK callback) { FMUSIC_SetZxxCallback(FModule, callback); }

// --- tSample ---

tSample::~tSample()
{
    if (FSample)
        FSOUND_Sample_Free(FSample);
}

void tSample::LoadFile(const std::string& fileName, unsigned mode, const std::string& failText)
{
    if (FSample)
        FreeSample();
    const int opened = LoadWatch().Opened;
    LoadWatch().Failure.clear();
    if (UsableName(fileName))
        FSample = FSOUND_Sample_Load(FSOUND_UNMANAGED, fileName.c_str(), mode, 0);
    if (!FSample)
        throw eFSoundError(failText, LoadFailureCause(opened));
}

void tSample::LoadMemory(const void* data, int length, const std::string& failText)
{
    if (FSample)
        FreeSample();
    // A non-zero length tells the library that the data is the file itself.
    if (length > 0)
        FSample = FSOUND_Sample_Load(FSOUND_UNMANAGED, static_cast<const char*>(data), kLoadMode, length);
    CheckSoundResult(failText, FSample != nullptr);
}

void tSample::LoadWav(const std::string& fileName)
{
    LoadFile(fileName, kLoadMode, "tSample.LoadWav(" + fileName + ")");
}

void tSample::LoadWavA(const std::string& fileName)
{
    LoadFile(fileName, kLoadMode, "tSample.LoadWav(" + fileName + ")");
}

void tSample::LoadWavMemory(const void* data, int length) { LoadMemory(data, length, "tSample.LoadWavMemory"); }

void tSample::LoadRaw(const std::string& fileName, unsigned mode)
{
    LoadFile(fileName, mode | FSOUND_LOADRAW, "tSample.LoadRaw");
}

void tSample::LoadWavB(const std::string& fileName)
{
    LoadFile(fileName, kLoadMode, "tSample.LoadWav(" + fileName + ")");
}

void tSample::LoadmpgMemory(const void* data, int length) { LoadMemory(data, length, "tSample.LoadmpgMemory"); }

void tSample::AllocSample(int length, unsigned mode, int frequency, int volume, int pan, int priority)
{
    if (FSample)
        FreeSample();
    FSample = FSOUND_Sample_Alloc(FSOUND_UNMANAGED, length, mode, frequency, volume, pan, priority);
    CheckSoundResult("tSample.AllocSample", FSample != nullptr);
}

void tSample::FreeSample()
{
    FSOUND_Sample_Free(FSample);
    FSample = nullptr;
}

void tSample::Upload(const void* data, unsigned mode)
{
    CheckSoundResult("Fsound.Upload", FSOUND_Sample_Upload(FSample, data, mode));
}

void tSample::Lock() { throw eFSoundError("tSample.Lock"); }
void tSample::UnLock() { throw eFSoundError("tSample.UnLock"); }

int tSample::Play()
{
    int channel = FSOUND_PlaySound(FSOUND_FREE, FSample);
    CheckSoundResult("tSample.Play", channel != -1);
    FSOUND_SetPan(channel, FSOUND_STEREOPAN);
    return channel;
}

int tSample::PlayOnChannel(int channel)
{
    int result = FSOUND_PlaySound(channel, FSample);
    CheckSoundResult("tSample.PlayOnChannel", result != -1);
    FSOUND_SetPan(result, FSOUND_STEREOPAN);
    return result;
}

int tSample::PlayAttrib(int frequency, int volume, int pan)
{
    int channel = FSOUND_PlaySound(FSOUND_FREE, FSample);
    CheckSoundResult("tSample.PlayAttrib", channel != -1);
    FSOUND_SetVolume(channel, volume);
    FSOUND_SetFrequency(channel, frequency);
    FSOUND_SetPan(channel, pan);
    return channel;
}

int tSample::PlayAttribOnChannel(int channel, int frequency, int volume, int pan)
{
    int result = FSOUND_PlaySound(channel, FSample);
    CheckSoundResult("tSample.PlayAttribOnChannel", result != -1);
    FSOUND_SetVolume(result, volume);
    FSOUND_SetFrequency(result, frequency);
    FSOUND_SetPan(result, pan);
    return result;
}

void tSample::SetLoopMode(unsigned mode)
{
    CheckSoundResult("tSample.SetLoopMode", FSOUND_Sample_SetLoopMode(FSample, mode));
}

void tSample::GetDefaults(int& frequency, int& volume, int& pan, int& priority)
{
    CheckSoundResult("tSample.GetDefaults", FSOUND_Sample_GetDefaults(FSample, &frequency, &volume, &pan, &priority));
}
