// The recorder and its record files.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/Streams.h"
#include "tesk/game/LevelRecorder.h"

namespace {

std::string RecordBytes(int32_t count, const std::vector<int32_t>& values, const char* magic = "TeskRecord")
{
    std::string s(magic, 10);
    auto put = [&](int32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(count);
    for (int32_t v : values)
        put(v);
    return s;
}

void LoadBytes(tRecorder& r, const std::string& bytes)
{
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    s.SetPosition(0);
    r.LoadFromStream(s);
}

std::string SavedBytes(const tRecorder& r)
{
    TMemoryStream s;
    r.SaveToStream(s);
    return s.DataString();
}

TEST(Recorder, RecordsAndPlaysBackInOrder)
{
    tRecorder r;
    r.StartRecording();
    EXPECT_EQ(r.State(), rsRecording);
    for (int32_t v : {5, -1, 0x7FFFFFFF})
        r.RecordValue(v);
    EXPECT_EQ(r.Length(), 3);
    EXPECT_THROW(r.PlayBackValue(), Exception);
    r.Stop();
    EXPECT_EQ(r.State(), rsStopped);
    EXPECT_EQ(r.Length(), 3);
    r.StartPlayback();
    EXPECT_EQ(r.PlayBackValue(), 5);
    EXPECT_EQ(r.PlayBackValue(), -1);
    EXPECT_EQ(r.PlayBackValue(), 0x7FFFFFFF);
    // Past the length: whatever the slot holds (zero after a clear).
    EXPECT_EQ(r.PlayBackValue(), 0);
    EXPECT_EQ(r.Position(), 4);
    try {
        r.RecordValue(1);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "RecordValue called while the recorder wasn't recording.");
    }
    r.Clear();
    EXPECT_EQ(r.State(), rsIdle);
    try {
        r.PlayBackValue();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "PlayBackValue called while the recorder wasn't Playing.");
    }
}

TEST(Recorder, KeepsAtMost8192RecordedValuesAndReadsZeroPastTheBuffer)
{
    tRecorder r;
    r.StartRecording();
    for (int32_t i = 0; i < 9000; ++i)
        r.RecordValue(i + 1);
    EXPECT_EQ(r.Length(), 8192);
    EXPECT_EQ(r.Value(8191), 8192);
    EXPECT_EQ(r.Value(8192), 0);
    const std::string saved = SavedBytes(r);
    EXPECT_EQ(saved.size(), 14u + 4 * 8192);

    // A file of 8193 values fills the last slot too; reading on past it gives 0.
    std::vector<int32_t> values(8193, 7);
    LoadBytes(r, RecordBytes(8193, values));
    r.StartPlayback();
    for (int i = 0; i < 8193; ++i)
        ASSERT_EQ(r.PlayBackValue(), 7);
    EXPECT_EQ(r.PlayBackValue(), 0);
    EXPECT_EQ(r.PlayBackValue(), 0);
    EXPECT_EQ(r.Position(), 8193);
}

TEST(Recorder, FilesRoundTripByteForByte)
{
    tRecorder r;
    r.Clear();
    EXPECT_EQ(SavedBytes(r), RecordBytes(0, {}));
    for (const std::vector<int32_t>& values : {std::vector<int32_t>{}, std::vector<int32_t>{1, -2, 28, 0x7FFFFFFF},
                                               std::vector<int32_t>(8192, -5)}) {
        const std::string bytes = RecordBytes(static_cast<int32_t>(values.size()), values);
        tRecorder loaded;
        LoadBytes(loaded, bytes);
        EXPECT_EQ(loaded.Length(), static_cast<int32_t>(values.size()));
        EXPECT_EQ(loaded.State(), rsIdle);  // loading does not start playback
        EXPECT_EQ(SavedBytes(loaded), bytes);
    }
    // Loading leaves slots beyond the count as they were.
    tRecorder r2;
    LoadBytes(r2, RecordBytes(4, {1, 2, 3, 4}));
    LoadBytes(r2, RecordBytes(2, {9, 9}));
    r2.StartPlayback();
    std::vector<int32_t> seen;
    for (int i = 0; i < 5; ++i)
        seen.push_back(r2.PlayBackValue());
    EXPECT_EQ(seen, (std::vector<int32_t>{9, 9, 3, 4, 0}));
}

TEST(Recorder, BadFilesAreRefusedAndLeaveTheRecorderAsItWas)
{
    struct Case {
        std::string bytes;
        std::string message;  // empty: any stream error
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"TeskRec", ""},
        {"TeskRecord", ""},
        {"TeskRecord\x01\x00", ""},
        {RecordBytes(0, {}, "TeskRecorD"), "Not a Gromble Record file!"},
        {RecordBytes(0, {}, "GromRecord"), "Not a Gromble Record file!"},
        {RecordBytes(-1, {}), "Record file holds -1 values; at most 8193 fit."},
        {RecordBytes(8194, {}), "Record file holds 8194 values; at most 8193 fit."},
        {RecordBytes(0x7FFFFFFF, {}), "Record file holds 2147483647 values; at most 8193 fit."},
        {RecordBytes(3, {1, 2}), ""},
        {RecordBytes(8193, {1}), ""},
    };
    for (const Case& c : cases) {
        tRecorder r;
        r.StartRecording();
        r.RecordValue(42);
        r.Stop();
        std::string message = "none";
        try {
            LoadBytes(r, c.bytes);
        } catch (const Exception& e) {
            message = e.Message();
        }
        if (c.message.empty())
            EXPECT_EQ(message, "Stream read error") << c.bytes.size();
        else
            EXPECT_EQ(message, c.message);
        EXPECT_EQ(r.Length(), 1);
        EXPECT_EQ(r.Value(0), 42);
    }
    // Trailing bytes are ignored.
    tRecorder r;
    LoadBytes(r, RecordBytes(1, {6}) + "junk");
    EXPECT_EQ(r.Length(), 1);
    EXPECT_EQ(r.Value(0), 6);
}

}  // namespace
