// Sample and module decoders over whole files in memory: WAV through SDL's reader, MP3
// through libmpg123, modules through libopenmpt, and raw PCM of our own.
#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/SoundData.h"

namespace sound {

namespace {

// Rates a sample may have; anything else is a broken header.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
// A decoded sample larger than this (in float values) is refused rather than filling
// memory: about 20 minutes of stereo at 44100 Hz.
constexpr size_t kMaxValues = size_t(44100) * 2 * 60 * 20;

bool ValidRate(long rate) { return rate >= kMinRate && rate <= kMaxRate; }

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

void PutLe32(std::vector<uint8_t>& out, uint64_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void PutChunk(std::vector<uint8_t>& out, const char* id, const uint8_t* body, uint64_t size)
{
    out.insert(out.end(), id, id + 4);
    PutLe32(out, size);
    out.insert(out.end(), body, body + size);
    if (size & 1)
        out.push_back(0);
}

}  // namespace

bool CleanWavHeader(const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
    out.clear();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    // The chunks are walked to the end of the file, whatever the RIFF size says; the first
    // "fmt " and the first "data" chunk count.
    const uint64_t end = size;
    const uint8_t* fmt = nullptr;
    const uint8_t* body = nullptr;
    uint64_t fmtSize = 0, dataSize = 0;
    uint64_t pos = 12;
    while (end - pos >= 8 && !(fmt && body)) {
        const uint8_t* chunk = data + pos;
        const uint64_t length = Le32(chunk + 4);
        const uint64_t start = pos + 8;
        const uint64_t held = end - start;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !fmt) {
            if (length > held)
                return false;
            fmt = data + start;
            fmtSize = length;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !body) {
            body = data + start;
            dataSize = std::min(length, held);  // a file cut short: what it holds
        } else if (length > held) {
            break;  // a cut-off chunk of another kind ends the walk
        }
        pos = start + length + (length & 1);
        if (pos > end)
            break;
    }
    if (!fmt || !body)
        return false;
    out.reserve(size_t(fmtSize + dataSize + 30));
    const char riff[] = {'R', 'I', 'F', 'F'};
    out.insert(out.end(), riff, riff + 4);
    PutLe32(out, 4 + 8 + fmtSize + (fmtSize & 1) + 8 + dataSize + (dataSize & 1));
    const char wave[] = {'W', 'A', 'V', 'E'};
    out.insert(out.end(), wave, wave + 4);
    PutChunk(out, "fmt ", fmt, fmtSize);
    PutChunk(out, "data", body, dataSize);
    return true;
}

int RawFrameBytes(unsigned mode)
{
    int bytes = (mode & FSOUND_16BITS) ? 2 : 1;
    return (mode & FSOUND_STEREO) ? bytes * 2 : bytes;
}

void ConvertRaw(const uint8_t* data, int64_t frames, unsigned mode, float* out)
{
    const int channels = (mode & FSOUND_STEREO) ? 2 : 1;
    const int64_t count = frames * channels;
    const bool isUnsigned = (mode & FSOUND_UNSIGNED) != 0;
    if (mode & FSOUND_16BITS) {
        for (int64_t i = 0; i < count; ++i) {
            uint16_t raw = uint16_t(data[2 * i] | (data[2 * i + 1] << 8));
            int value = isUnsigned ? int(raw) - 32768 : int(int16_t(raw));
            out[i] = float(value) / 32768.0f;
        }
    } else {
        for (int64_t i = 0; i < count; ++i) {
            int value = isUnsigned ? int(data[i]) - 128 : int(int8_t(data[i]));
            out[i] = float(value) / 128.0f;
        }
    }
}

bool DecodeRaw(const uint8_t* data, size_t size, unsigned mode, FSOUND_SAMPLE& sample)
{
    const int frameBytes = RawFrameBytes(mode);
    const int channels = (mode & FSOUND_STEREO) ? 2 : 1;
    const int64_t frames = int64_t(size / size_t(frameBytes));
    if (frames <= 0 || size_t(frames) * size_t(channels) > kMaxValues)
        return false;
    sample.data.assign(size_t(frames) * size_t(channels), 0.0f);
    ConvertRaw(data, frames, mode, sample.data.data());
    sample.channels = channels;
    sample.frames = frames;
    sample.frequency = FSOUND_DEFAULT_RATE;
    return true;
}

bool DecodeWav(const uint8_t* data, size_t size, FSOUND_SAMPLE& sample)
{
    if (size < 12 || size > size_t(INT32_MAX) - 64)
        return false;
    // SDL allocates what the chunk headers claim: it is handed a copy whose headers claim
    // no more than the file holds.
    std::vector<uint8_t> clean;
    if (!CleanWavHeader(data, size, clean))
        return false;
    // A file cut short, or whose last compressed block is short, plays the whole frames it
    // holds.
    static std::once_flag hints;
    std::call_once(hints, [] { SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "dropframe"); });

    SDL_RWops* rw = SDL_RWFromConstMem(clean.data(), int(clean.size()));
    if (!rw)
        return false;
    SDL_AudioSpec wav{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &wav, &buffer, &length))
        return false;
    std::unique_ptr<Uint8, void (*)(Uint8*)> owned(buffer, SDL_FreeWAV);

    const int bits = SDL_AUDIO_BITSIZE(wav.format);
    const int bytes = bits / 8;
    if ((wav.channels != 1 && wav.channels != 2) || !ValidRate(wav.freq) ||
        (bytes != 1 && bytes != 2 && bytes != 4))
        return false;
    const size_t frameBytes = size_t(bytes) * wav.channels;
    const size_t frames = length / frameBytes;
    if (frames == 0 || frames * wav.channels > kMaxValues)
        return false;

    const bool isFloat = SDL_AUDIO_ISFLOAT(wav.format);
    const bool isSigned = SDL_AUDIO_ISSIGNED(wav.format);
    const bool bigEndian = SDL_AUDIO_ISBIGENDIAN(wav.format);
    const size_t count = frames * wav.channels;
    sample.data.assign(count, 0.0f);
    for (size_t i = 0; i < count; ++i) {
        const Uint8* p = buffer + i * size_t(bytes);
        uint32_t raw = 0;
        for (int b = 0; b < bytes; ++b)
            raw |= uint32_t(p[bigEndian ? bytes - 1 - b : b]) << (8 * b);
        float value = 0.0f;
        if (isFloat) {
            std::memcpy(&value, &raw, sizeof value);
            if (!(value >= -1.0f && value <= 1.0f))  // also catches NaN
                value = value > 0.0f ? 1.0f : (value < 0.0f ? -1.0f : 0.0f);
        } else {
            const uint32_t sign = 1u << (bits - 1);
            int64_t v = isSigned ? int64_t((raw ^ sign)) - int64_t(sign) : int64_t(raw) - int64_t(sign);
            value = float(double(v) / double(sign));
        }
        sample.data[i] = value;
    }
    sample.channels = wav.channels;
    sample.frames = int64_t(frames);
    sample.frequency = wav.freq;
    return true;
}

bool DecodeMp3(const uint8_t* data, size_t size, FSOUND_SAMPLE& sample)
{
    if (size == 0)
        return false;
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });

    int error = 0;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &error),
                                                                     mpg123_delete);
    mpg123_handle* mh = handle.get();
    if (!mh)
        return false;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(mh) != MPG123_OK)
        return false;
    // Zero bytes after the last frame are padding, not a cut-off frame.
    while (size > 0 && data[size - 1] == 0)
        --size;
    if (size == 0 || mpg123_feed(mh, data, size) != MPG123_OK)
        return false;

    long rate = 0;
    int channels = 0;
    std::vector<float> out;
    unsigned char buffer[32768];
    int idle = 0;
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(mh, buffer, sizeof buffer, &done);
        if (result == MPG123_NEW_FORMAT) {
            int encoding = 0;
            long newRate = 0;
            int newChannels = 0;
            mpg123_getformat(mh, &newRate, &newChannels, &encoding);
            // A stream that changes its format half-way is not one sound.
            if (channels != 0 && (newRate != rate || newChannels != channels))
                return false;
            rate = newRate;
            channels = newChannels;
            continue;
        }
        if (done > 0 && channels > 0) {
            const size_t values = done / 2;
            if (out.size() + values > kMaxValues)
                return false;
            for (size_t i = 0; i < values; ++i) {
                int16_t v = int16_t(buffer[2 * i] | (buffer[2 * i + 1] << 8));
                if (SDL_BYTEORDER == SDL_BIG_ENDIAN)
                    v = int16_t((buffer[2 * i] << 8) | buffer[2 * i + 1]);
                out.push_back(float(v) / 32768.0f);
            }
            idle = 0;
        } else if (++idle > 64) {
            break;  // no progress: nothing more to decode
        }
        if (result == MPG123_NEED_MORE || result == MPG123_DONE)
            break;
        if (result != MPG123_OK)
            return false;
    }
    if (channels < 1 || channels > 2 || !ValidRate(rate))
        return false;
    // Bytes left over at the end are the start of a frame the file lost: it was cut.
    long leftover = 0;
    double unused = 0;
    if (mpg123_getstate(mh, MPG123_BUFFERFILL, &leftover, &unused) != MPG123_OK || leftover != 0)
        return false;
    const size_t frames = out.size() / size_t(channels);
    if (frames == 0)
        return false;
    out.resize(frames * size_t(channels));
    sample.data = std::move(out);
    sample.channels = channels;
    sample.frames = int64_t(frames);
    sample.frequency = int(rate);
    return true;
}

bool DecodeSample(const uint8_t* data, size_t size, unsigned mode, FSOUND_SAMPLE& sample)
{
    if (!data || size == 0)
        return false;
    if (mode & FSOUND_LOADRAW)
        return DecodeRaw(data, size, mode, sample);
    if (size >= 4 && (std::memcmp(data, "RIFF", 4) == 0 || std::memcmp(data, "RIFX", 4) == 0))
        return DecodeWav(data, size, sample);
    const bool id3 = size >= 3 && std::memcmp(data, "ID3", 3) == 0;
    const bool frameSync = size >= 2 && data[0] == 0xFF && (data[1] & 0xE0) == 0xE0;
    if (id3 || frameSync)
        return DecodeMp3(data, size, sample);
    return false;
}

openmpt_module* LoadModule(const uint8_t* data, size_t size)
{
    if (!data || size == 0)
        return nullptr;
    int error = 0;
    const char* message = nullptr;
    openmpt_module* mod =
        openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
                                           openmpt_error_func_ignore, nullptr, &error, &message, nullptr);
    if (message)
        openmpt_free_string(message);
    // Cubic interpolation: close to the 8-tap default to the ear, at well under its cost.
    if (mod)
        openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 4);
    return mod;
}

}  // namespace sound
