// Little-endian byte writer shared by the WAV, XM and S3M writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

class Bytes {
public:
    void U8(unsigned v) { data_.push_back(static_cast<uint8_t>(v & 0xFF)); }
    void U16(unsigned v)
    {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // Writes exactly `width` bytes: the text cut or padded with `pad`.
    void Text(const std::string& text, size_t width, char pad = '\0')
    {
        for (size_t i = 0; i < width; ++i)
            U8(i < text.size() ? static_cast<unsigned char>(text[i]) : static_cast<unsigned char>(pad));
    }
    void Raw(const std::vector<uint8_t>& bytes) { data_.insert(data_.end(), bytes.begin(), bytes.end()); }
    void PadTo(size_t alignment)
    {
        while (data_.size() % alignment != 0)
            U8(0);
    }
    void PatchU16(size_t at, unsigned v)
    {
        data_.at(at) = static_cast<uint8_t>(v & 0xFF);
        data_.at(at + 1) = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    void PatchU8(size_t at, unsigned v) { data_.at(at) = static_cast<uint8_t>(v & 0xFF); }
    size_t Size() const { return data_.size(); }
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

} // namespace soundgen
