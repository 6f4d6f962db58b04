#pragma once
// The sound-library wrapper: tSample owns one sample, tModule one music module; every
// failed library call becomes an exception with a fixed text. InstallPackageFileCallbacks
// routes every file the library opens through the packaged-file system.
#include <string>
#include <utility>

#include "platform/Exceptions.h"
#include "platform/Fmod.h"

// The message is the given text followed by a carriage return. A failed file load also
// keeps what the library met underneath (the file missing or damaged, or not a sound it
// can read) as its cause, empty when nothing is known.
class eFSoundError : public Exception {
public:
    explicit eFSoundError(const std::string& text, std::string cause = {})
        : Exception(text + '\r'), FCause(std::move(cause))
    {
    }
    const std::string& Cause() const { return FCause; }

private:
    std::string FCause;
};
class eFMusicError : public Exception {
public:
    explicit eFMusicError(const std::string& text, std::string cause = {})
        : Exception(text + '\r'), FCause(std::move(cause))
    {
    }
    const std::string& Cause() const { return FCause; }

private:
    std::string FCause;
};

// The cause a failed sound or music load keeps (above); empty for any other exception.
std::string SoundLoadCause(const std::exception& e);

void CheckSoundResult(const std::string& text, bool ok);
void CheckMusicResult(const std::string& text, bool ok);

// Routes every file the sound library opens through the packaged-file system: the
// main window installs it once, before anything is loaded; it survives the library's
// close and restart.
void InstallPackageFileCallbacks();

// The callbacks it installs. The handle is a tPackageFileStream; open gives nullptr for
// a missing or damaged file (and keeps why, for the cause of the failed load). None of
// them throws.
void* PackageSoundFileOpen(const char* name);
void PackageSoundFileClose(void* handle);
int PackageSoundFileRead(void* buffer, int size, void* handle);
// Mode 0 from the start, 1 from the current position, 2 from the end; any other mode
// leaves the position. Returns the new position.
int PackageSoundFileSeek(void* handle, int position, signed char mode);
int PackageSoundFileTell(void* handle);

class tModule {
public:
    tModule() = default;
    tModule(const tModule&) = delete;
    tModule& operator=(const tModule&) = delete;
    // Unloads the module when one is held.
    virtual ~tModule();

    virtual bool SetOrder(int order);
    virtual int GetOrder();
    virtual void SetPaused(bool paused);
    virtual bool GetPaused();
    virtual void SetMasterVolume(int volume);  // 0..256
    virtual int GetMasterVolume();
    // Both unload a held module first; a failed load leaves no module.
    virtual void Load(const std::string& fileName);
    virtual void LoadFromMemory(const void* data, int length);
    virtual void Unload();
    virtual void Play();
    virtual void Stop();
    virtual void SetZxxCallback(FMUSIC_CALLBACK callback);

    FMUSIC_MODULE* Module() const { return FModule; }

protected:
    FMUSIC_MODULE* FModule = nullptr;
};

class tSample {
public:
    tSample() = default;
    tSample(const tSample&) = delete;
    tSample& operator=(const tSample&) = delete;
    // Frees the sample when one is held.
    virtual ~tSample();

    // Every load frees a held sample first; a failed load leaves no sample.
    virtual void LoadWav(const std::string& fileName);
    virtual void LoadWavA(const std::string& fileName);
    virtual void LoadWavMemory(const void* data, int length);
    // Loads the file as headerless PCM laid out as mode says.
    virtual void LoadRaw(const std::string& fileName, unsigned mode);
    virtual void LoadWavB(const std::string& fileName);
    virtual void LoadmpgMemory(const void* data, int length);
    virtual void AllocSample(int length, unsigned mode, int frequency, int volume, int pan, int priority);
    virtual void FreeSample();
    virtual void Upload(const void* data, unsigned mode);
    // Not supported: always raise.
    virtual void Lock();
    virtual void UnLock();
    // Each returns the channel played on, or raises.
    virtual int Play();
    virtual int PlayOnChannel(int channel);
    virtual int PlayAttrib(int frequency, int volume, int pan);
    virtual int PlayAttribOnChannel(int channel, int frequency, int volume, int pan);

    void SetLoopMode(unsigned mode);
    void GetDefaults(int& frequency, int& volume, int& pan, int& priority);

    FSOUND_SAMPLE* Sample() const { return FSample; }

protected:
    FSOUND_SAMPLE* FSample = nullptr;

private:
    void LoadFile(const std::string& fileName, unsigned mode, const std::string& failText);
    void LoadMemory(const void* data, int length, const std::string& failText);
};
