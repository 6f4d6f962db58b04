// The mixer: linear-interpolating sample playback with per-channel volume, pan and
// rate, the effects master volume, and libopenmpt modules with their own volume.
#include "platform/sound/Mixer.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>

namespace sound {

namespace {
constexpr int kChunk = 1024;  // frames mixed per pass
}

void Mixer::Reset(int rate, int channels)
{
    FRate = rate;
    FChannels.assign(size_t(std::clamp(channels, 1, kMaxChannels)), MixChannel{});
    FModules.clear();
    // The start count runs on across closes and inits: a handle kept from before a close
    // never reaches a sound started after the next init.
    FAccum.assign(size_t(kChunk) * 2, 0.0f);
    FMusic.assign(size_t(kChunk) * 2, 0.0f);
}

int Mixer::Play(int channel, FSOUND_SAMPLE* sample)
{
    if (!sample || FChannels.empty())
        return -1;
    int slot = -1;
    if (channel == FSOUND_FREE) {
        for (size_t i = 0; i < FChannels.size() && slot < 0; ++i)
            if (!FChannels[i].playing)
                slot = int(i);
        if (slot < 0) {
            // Every channel is busy: take over the oldest non-looping sound among
            // those of the lowest priority, when that is no higher than the new one's.
            for (size_t i = 0; i < FChannels.size(); ++i) {
                const MixChannel& c = FChannels[i];
                if (c.loopMode & FSOUND_LOOP_NORMAL || c.priority > sample->priority)
                    continue;
                if (slot < 0 || c.priority < FChannels[slot].priority ||
                    (c.priority == FChannels[slot].priority && c.serial < FChannels[slot].serial))
                    slot = int(i);
            }
        }
    } else if (channel > 0) {
        // A slot asked for by a handle (its low bits) or by number (1..).
        int wanted = (channel & 0x7F) - 1;
        if (wanted >= 0 && wanted < int(FChannels.size()))
            slot = wanted;
    }
    if (slot < 0)
        return -1;
    MixChannel& c = FChannels[size_t(slot)];
    ++FSerial;
    c.sample = sample;
    c.playing = true;
    c.position = 0;
    c.serial = FSerial;
    c.volume = sample->volume;
    c.pan = sample->pan;
    c.frequency = sample->frequency;
    c.priority = sample->priority;
    c.loopMode = sample->loopMode;
    // Handles carry a start count above the slot number, so that a handle kept after
    // its sound ended does not reach the next sound on that slot.
    c.handle = int(((FSerial & 0xFFFFFF) << 7) | uint64_t(slot + 1));
    return c.handle;
}

MixChannel* Mixer::Find(int handle)
{
    if (handle <= 0)
        return nullptr;
    int slot = (handle & 0x7F) - 1;
    if (slot < 0 || slot >= int(FChannels.size()))
        return nullptr;
    MixChannel& c = FChannels[size_t(slot)];
    return c.handle == handle ? &c : nullptr;
}

void Mixer::StopSample(const FSOUND_SAMPLE* sample)
{
    for (MixChannel& c : FChannels)
        if (c.sample == sample) {
            c.playing = false;
            c.sample = nullptr;
        }
}

void Mixer::StopAll()
{
    for (MixChannel& c : FChannels) {
        c.playing = false;
        c.sample = nullptr;
    }
    for (FMUSIC_MODULE* m : FModules)
        m->playing = false;
}

void Mixer::AddModule(FMUSIC_MODULE* module)
{
    if (std::find(FModules.begin(), FModules.end(), module) == FModules.end())
        FModules.push_back(module);
}

void Mixer::RemoveModule(FMUSIC_MODULE* module)
{
    FModules.erase(std::remove(FModules.begin(), FModules.end(), module), FModules.end());
}

void Mixer::MixChannelInto(MixChannel& c, float* accum, int frames)
{
    const FSOUND_SAMPLE& s = *c.sample;
    const int64_t length = s.frames;
    if (length <= 0) {
        c.playing = false;
        return;
    }
    float gain = float(c.volume) / 255.0f * float(FSfxMaster) / 255.0f;
    float left = gain, right = gain;
    if (c.pan != FSOUND_STEREOPAN) {
        left = gain * float(255 - c.pan) / 255.0f;
        right = gain * float(c.pan) / 255.0f;
    }
    const bool loop = (c.loopMode & FSOUND_LOOP_NORMAL) != 0;
    const uint64_t step = (uint64_t(unsigned(c.frequency)) << 32) / uint64_t(unsigned(FRate));
    const uint64_t end = uint64_t(length) << 32;
    // Below this position the next frame lies inside the sample: no checks needed.
    const uint64_t safeEnd = uint64_t(length - 1) << 32;
    if (left == 0.0f && right == 0.0f) {
        // Inaudible: the sound only moves on (and ends or loops on time).
        uint64_t next = c.position + step * uint64_t(frames);
        if (next >= end) {
            if (!loop) {
                c.playing = false;
                return;
            }
            next %= end;
        }
        c.position = next;
        return;
    }
    const float* data = s.data.data();
    const bool stereo = s.channels == 2;
    constexpr float kFraction = 1.0f / 4294967296.0f;
    uint64_t pos = c.position;
    int i = 0;
    while (i < frames) {
        if (pos >= end) {
            if (!loop) {
                c.playing = false;
                break;
            }
            pos %= end;
        }
        if (pos < safeEnd && step > 0) {
            // A run of frames that all interpolate between two frames of the sample.
            const uint64_t run = (safeEnd - pos + step - 1) / step;
            const int n = int(std::min<uint64_t>(run, uint64_t(frames - i)));
            float* out = accum + 2 * i;
            if (stereo) {
                for (int k = 0; k < n; ++k, pos += step) {
                    const float* f = data + 2 * (pos >> 32);
                    const float frac = float(pos & 0xFFFFFFFFu) * kFraction;
                    out[2 * k] += (f[0] + (f[2] - f[0]) * frac) * left;
                    out[2 * k + 1] += (f[1] + (f[3] - f[1]) * frac) * right;
                }
            } else {
                for (int k = 0; k < n; ++k, pos += step) {
                    const float* f = data + (pos >> 32);
                    const float frac = float(pos & 0xFFFFFFFFu) * kFraction;
                    const float v = f[0] + (f[1] - f[0]) * frac;
                    out[2 * k] += v * left;
                    out[2 * k + 1] += v * right;
                }
            }
            i += n;
            continue;
        }
        // The last frame: it leads into the loop start, or into silence.
        const int64_t index = int64_t(pos >> 32);
        const float frac = float(pos & 0xFFFFFFFFu) * kFraction;
        const int64_t next = index + 1 < length ? index + 1 : (loop ? 0 : -1);
        if (stereo) {
            float l0 = data[2 * index], r0 = data[2 * index + 1];
            float l1 = next >= 0 ? data[2 * next] : 0.0f;
            float r1 = next >= 0 ? data[2 * next + 1] : 0.0f;
            accum[2 * i] += (l0 + (l1 - l0) * frac) * left;
            accum[2 * i + 1] += (r0 + (r1 - r0) * frac) * right;
        } else {
            float v0 = data[index];
            float v1 = next >= 0 ? data[next] : 0.0f;
            float v = v0 + (v1 - v0) * frac;
            accum[2 * i] += v * left;
            accum[2 * i + 1] += v * right;
        }
        pos += step;
        ++i;
    }
    c.position = pos;
}

void Mixer::Render(int16_t* out, int frames)
{
    if (FAccum.size() < size_t(kChunk) * 2) {
        FAccum.assign(size_t(kChunk) * 2, 0.0f);
        FMusic.assign(size_t(kChunk) * 2, 0.0f);
    }
    while (frames > 0) {
        const int n = std::min(frames, kChunk);
        float* accum = FAccum.data();
        std::fill(accum, accum + 2 * n, 0.0f);
        for (MixChannel& c : FChannels)
            if (c.playing && c.sample)
                MixChannelInto(c, accum, n);
        for (FMUSIC_MODULE* m : FModules) {
            if (!m->playing || m->paused || !m->mod)
                continue;
            const float gain = float(m->masterVolume) / 256.0f;
            int done = 0;
            while (done < n) {
                size_t got = openmpt_module_read_interleaved_float_stereo(
                    m->mod, FRate, size_t(n - done), FMusic.data() + 2 * done);
                if (got == 0)
                    break;
                done += int(got);
            }
            if (done < n)
                m->playing = false;  // the module ended (it only does when it cannot loop)
            for (int i = 0; i < 2 * done; ++i)
                accum[i] += FMusic[size_t(i)] * gain;
        }
        for (int i = 0; i < 2 * n; ++i) {
            float v = std::nearbyint(accum[i] * 32768.0f);
            out[i] = int16_t(std::clamp(v, -32768.0f, 32767.0f));
        }
        out += 2 * n;
        frames -= n;
    }
}

void Mixer::Advance(int64_t frames)
{
    if (frames <= 0)
        return;
    for (MixChannel& c : FChannels) {
        if (!c.playing || !c.sample)
            continue;
        const int64_t length = c.sample->frames;
        if (length <= 0) {
            c.playing = false;
            continue;
        }
        const uint64_t step = (uint64_t(unsigned(c.frequency)) << 32) / uint64_t(unsigned(FRate));
        const uint64_t end = uint64_t(length) << 32;
        const bool loop = (c.loopMode & FSOUND_LOOP_NORMAL) != 0;
        // In 128 bits: an hour of frames at a high rate stays exact.
        const unsigned __int128 next = (unsigned __int128)c.position + (unsigned __int128)step * uint64_t(frames);
        if (next < end)
            c.position = uint64_t(next);
        else if (loop)
            c.position = uint64_t(next % end);
        else
            c.playing = false;
    }
}

}  // namespace sound
