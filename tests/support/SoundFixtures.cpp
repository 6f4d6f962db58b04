#include "tests/support/SoundFixtures.h"

#include <cstdio>
#include <cstring>

namespace soundfix {

namespace {
void Put16(Bytes& b, unsigned v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutText(Bytes& b, const char* text) { b.insert(b.end(), text, text + std::strlen(text)); }
void Put16BE(Bytes& b, unsigned v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
}  // namespace

Bytes MakeWav(int bits, int channels, int rate, const std::vector<int>& values)
{
    const uint32_t dataBytes = uint32_t(values.size() * (bits / 8));
    Bytes b;
    PutText(b, "RIFF");
    Put32(b, 36 + dataBytes);
    PutText(b, "WAVEfmt ");
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, unsigned(channels));
    Put32(b, uint32_t(rate));
    Put32(b, uint32_t(rate * channels * bits / 8));
    Put16(b, unsigned(channels * bits / 8));
    Put16(b, unsigned(bits));
    PutText(b, "data");
    Put32(b, dataBytes);
    for (int v : values) {
        if (bits == 8)
            b.push_back(uint8_t(v + 128));
        else
            Put16(b, unsigned(uint16_t(int16_t(v))));
    }
    return b;
}

Bytes ConstantWav(int amplitude, int frames, int rate)
{
    return MakeWav(16, 1, rate, std::vector<int>(size_t(frames), amplitude));
}

Bytes MakeModule(int channels, int orders)
{
    Bytes b(20, 0);
    std::memcpy(b.data(), "test tone", 9);
    const unsigned sampleWords = 64;
    for (int i = 0; i < 31; ++i) {
        Bytes header(22, 0);
        b.insert(b.end(), header.begin(), header.end());
        if (i == 0) {
            Put16BE(b, sampleWords);  // length in words
            b.push_back(0);           // finetune
            b.push_back(64);          // volume
            Put16BE(b, 0);            // loop start
            Put16BE(b, sampleWords);  // loop length
        } else {
            Put16BE(b, 0);
            b.push_back(0);
            b.push_back(0);
            Put16BE(b, 0);
            Put16BE(b, 1);
        }
    }
    b.push_back(uint8_t(orders));
    b.push_back(127);
    for (int i = 0; i < 128; ++i)
        b.push_back(uint8_t(i < orders ? i : 0));
    char tag[5] = "M.K.";
    if (channels != 4)
        std::snprintf(tag, sizeof tag, channels < 10 ? "%dCHN" : "%dCH", channels);
    b.insert(b.end(), tag, tag + 4);
    for (int p = 0; p < orders; ++p)
        for (int row = 0; row < 64; ++row)
            for (int c = 0; c < channels; ++c) {
                if (row == 0) {
                    const unsigned period = 428 >> (c % 2);  // C and the octave above
                    b.push_back(uint8_t(period >> 8));       // sample 1: high nibble 0
                    b.push_back(uint8_t(period));
                    b.push_back(0x10);  // sample 1, no effect
                    b.push_back(0);
                } else {
                    b.insert(b.end(), {0, 0, 0, 0});
                }
            }
    for (unsigned i = 0; i < sampleWords * 2; ++i)
        b.push_back(uint8_t((i % 16) < 8 ? 100 : -100));
    return b;
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace soundfix
