#pragma once
// The recorder: a sequence of 32-bit values, one per decision of the hero, recorded while
// playing and played back move for move; and its ".Solution" file form:
//   "TeskRecord" (10 bytes), int32 count n, n int32 values, all little-endian.
#include <array>
#include <cstdint>
#include <string>

class TStream;

constexpr int32_t RecorderSlots = 8193;

enum tRecorderState : uint8_t { rsIdle, rsRecording, rsPlaying, rsStopped };

class tRecorder {
public:
    void Clear();
    void Stop();
    void StartRecording();
    void StartPlayback();
    // Appends a value while recording; values past the 8192nd are dropped.
    void RecordValue(int32_t v);
    // The next value while playing back; 0 once past the last slot. Playback does not
    // stop at the length: slots beyond it give what they hold.
    int32_t PlayBackValue();

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& name);
    void SaveToFile(const std::string& name) const;

    int32_t Position() const { return FPosition; }
    int32_t Length() const { return FLength; }
    tRecorderState State() const { return FState; }
    int32_t Value(int32_t slot) const { return slot >= 0 && slot < RecorderSlots ? FValues[static_cast<size_t>(slot)] : 0; }

private:
    std::array<int32_t, RecorderSlots> FValues{};
    int32_t FPosition = 0;
    int32_t FLength = 0;
    tRecorderState FState = rsIdle;
};

// The program's one recorder.
extern tRecorder Recorder;
