#include "tesk/game/LevelRecorder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "tesk/toolkit/PackageFiles.h"

namespace {

int32_t ReadLittleInt32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void WriteLittleInt32(uint8_t* p, int32_t v)
{
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}

}  // namespace

tRecorder Recorder;

void tRecorder::Clear()
{
    FValues.fill(0);
    FPosition = 0;
    FLength = 0;
    FState = rsIdle;
}

void tRecorder::Stop()
{
    FPosition = 0;
    FState = rsStopped;
}

void tRecorder::StartRecording()
{
    Clear();
    FState = rsRecording;
}

void tRecorder::StartPlayback()
{
    Stop();
    FState = rsPlaying;
}

void tRecorder::RecordValue(int32_t v)
{
    if (FState != rsRecording)
        throw Exception("RecordValue called while the recorder wasn't recording.");
    if (FPosition > RecorderSlots - 2)
        return;
    FValues[static_cast<size_t>(FPosition)] = v;
    ++FPosition;
    if (FPosition > FLength)
        FLength = FPosition;
}

int32_t tRecorder::PlayBackValue()
{
    if (FState != rsPlaying)
        throw Exception("PlayBackValue called while the recorder wasn't Playing.");
    if (FPosition > RecorderSlots - 1)
        return 0;
    return FValues[static_cast<size_t>(FPosition++)];
}

namespace {

const char Magic[] = "TeskRecord";
constexpr int32_t MagicLength = 10;

}  // namespace

void tRecorder::LoadFromStream(TStream& stream)
{
    char magic[MagicLength];
    stream.ReadBuffer(magic, MagicLength);
    if (std::memcmp(magic, Magic, MagicLength) != 0)
        throw Exception("Not a Gromble Record file!");
    uint8_t countBytes[4];
    stream.ReadBuffer(countBytes, 4);
    const int32_t count = ReadLittleInt32(countBytes);
    if (count < 0 || count > RecorderSlots)
        throw Exception("Record file holds " + std::to_string(count) + " values; at most " +
                        std::to_string(RecorderSlots) + " fit.");
    // Read in full before anything changes: a short file leaves the recorder as it was.
    std::vector<uint8_t> data(static_cast<size_t>(count) * 4);
    if (count > 0)
        stream.ReadBuffer(data.data(), count * 4);
    for (int32_t i = 0; i < count; ++i)
        FValues[static_cast<size_t>(i)] = ReadLittleInt32(&data[static_cast<size_t>(i) * 4]);
    FLength = count;
}

void tRecorder::SaveToStream(TStream& stream) const
{
    const int32_t count = std::clamp(FLength, 0, RecorderSlots);
    std::vector<uint8_t> data(MagicLength + 4 + static_cast<size_t>(count) * 4);
    std::memcpy(data.data(), Magic, MagicLength);
    WriteLittleInt32(&data[MagicLength], count);
    for (int32_t i = 0; i < count; ++i)
        WriteLittleInt32(&data[MagicLength + 4 + static_cast<size_t>(i) * 4], FValues[static_cast<size_t>(i)]);
    stream.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
}

void tRecorder::LoadFromFile(const std::string& name)
{
    std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
    LoadFromStream(*stream);
}

void tRecorder::SaveToFile(const std::string& name) const
{
    WriteFileReplacing(name, [this](TStream& s) { SaveToStream(s); });
}
