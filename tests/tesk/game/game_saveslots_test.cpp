// Save slots: the slot file's layout and text, what a failed write leaves behind, the
// high-score defaults, and the load and save pickers driven tick by tick.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <csignal>
#include <filesystem>

#include "platform/Files.h"
#include "tests/tesk/game/EngineHarness.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

// The text of a slot file, from its zlib stream; its stored length goes to `length`.
std::string Inflate(const std::string& file, uint32_t& length)
{
    EXPECT_GE(file.size(), 4u);
    const auto* b = reinterpret_cast<const uint8_t*>(file.data());
    length = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    std::string text(1 << 16, '\0');
    uLongf size = text.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(text.data()), &size, b + 4, file.size() - 4), Z_OK);
    text.resize(size);
    return text;
}

std::string SlotText(const std::string& path)
{
    uint32_t length = 0;
    const std::string text = Inflate(ScratchDir::Read(path), length);
    EXPECT_EQ(length, text.size());
    return text;
}

class SlotFiles : public SlabTest {
protected:
    std::string SlotPath(int number) const { return Dir / ("Save/Slot" + std::to_string(number) + ".sav"); }
    // Types a text into the save picker, one character per key, and ticks once.
    void Type(const std::string& text)
    {
        for (char c : text)
            engine.LiveInput.KeyChar(c);
        Tick(&tGameEngine::SaveGameStep);
    }
    void StartTyping()
    {
        engine.SetGameMode(gmSaveGame);
        Tap(7);
        Tick(&tGameEngine::SaveGameStep);
        ASSERT_EQ(EditSlot, SlotSelection);
        ASSERT_TRUE(engine.LiveInput.Typing);
    }
    void Save()
    {
        Tap(7);
        Tick(&tGameEngine::SaveGameStep);
    }
};

} // namespace

TEST_F(SlotFiles, TheFileHoldsTheTextLengthAndTheSixLinesCompressed)
{
    SaveSlots[7] = tSaveSlot{false, "A QUIET ROOM", "Gromble.set", 12, 0, 0, 0};
    SaveSlot(7);
    EXPECT_TRUE(FileExists(Dir.Path() + "\\save\\SLOT8.SAV"));
    EXPECT_EQ(SlotText(SlotPath(8)),
              "Room=0\r\nScore=0\r\nBonus=0\r\nDescription=A QUIET ROOM\r\nEpisode=Gromble.set\r\nEpisodeIndex=12\r\n");
    EXPECT_EQ(SaveSlotFileName(0), IncludeTrailingPathDelimiter(ApplicationDir()) + "Save\\Slot1.sav");

    // Negative numbers are written with their sign; bytes of any value pass through.
    SaveSlots[0] = tSaveSlot{false, "\xE9t\xE9", "Set", -3, -1, -2, -4};
    SaveSlot(0);
    EXPECT_EQ(SlotText(SlotPath(1)),
              "Room=-2\r\nScore=-1\r\nBonus=-4\r\nDescription=\xE9t\xE9\r\nEpisode=Set\r\nEpisodeIndex=-3\r\n");
}

TEST_F(SlotFiles, FieldsLongerThanTheirCapacityAreWrittenCut)
{
    tSaveSlot slot;
    slot.Description = std::string(200, 'D');
    slot.Episode = std::string(200, 'E');
    EXPECT_EQ(SaveSlotText(slot), "Room=0\r\nScore=0\r\nBonus=0\r\nDescription=" + std::string(80, 'D') +
                                      "\r\nEpisode=" + std::string(40, 'E') + "\r\nEpisodeIndex=0\r\n");
}

TEST_F(SlotFiles, RefusedSlotsWriteNothing)
{
    SaveSlots[2].Empty = true;
    try {
        SaveSlot(2);
        ADD_FAILURE() << "an empty slot was saved";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "SaveSlot: Bugger!");
    }
    for (int index : {8, -1, 1000})
        EXPECT_THROW(SaveSlot(index), Exception) << index;
    EXPECT_FALSE(std::filesystem::exists(Dir / "Save"));
}

TEST_F(SlotFiles, AMissingSaveFolderIsMadeAndAFileInItsPlaceIsAnError)
{
    SaveSlot(3);
    EXPECT_TRUE(FileExists(SlotPath(4)));

    ScratchDir other;
    SetApplicationDirForTests(other.Path());
    other.Write("Save", "not a folder");
    EXPECT_THROW(SaveSlot(3), Exception);
    EXPECT_EQ(ScratchDir::Read(other / "Save"), "not a folder");
    SetApplicationDirForTests(Dir.Path());
}

TEST_F(SlotFiles, AFailedWriteLeavesTheTableAsItWas)
{
    // Through the picker: the table takes the record only when its file is written.
    Dir.Write("Save", "not a folder");
    engine.LevelSetName = "Gromble.set";
    StartTyping();
    Type("NEW");
    EXPECT_THROW(Save(), Exception);
    EXPECT_EQ(SaveSlots[0].Description, "");
    EXPECT_EQ(SaveSlots[0].Episode, "");
    EXPECT_EQ(ScratchDir::Read(Dir / "Save"), "not a folder");
}

TEST_F(SlotFiles, AFolderMadeReadOnlyKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into a read-only folder anyway";
    SaveSlots[1] = tSaveSlot{false, "OLD", "Set", 1, 0, 0, 0};
    SaveSlot(1);
    const std::string before = ScratchDir::Read(SlotPath(2));
    chmod((Dir / "Save").c_str(), 0555);
    SaveSlots[1].Description = "NEWER";
    EXPECT_THROW(SaveSlot(1), Exception);
    chmod((Dir / "Save").c_str(), 0755);
    EXPECT_EQ(ScratchDir::Read(SlotPath(2)), before);
}

TEST_F(SlotFiles, AWriteFailingPartWayKeepsTheOldFileAndTheTable)
{
    // A file-size limit makes the write fail part-way, for root as well.
    SaveSlots[1] = tSaveSlot{false, "OLD", "Set", 1, 0, 0, 0};
    SaveSlot(1);
    const std::string before = ScratchDir::Read(SlotPath(2));

    engine.LevelSetName = "Set";
    SlotSelection = 1;
    StartTyping();
    std::string text;
    for (int i = 0; i < 80; ++i)
        text += static_cast<char>(33 + (i * 37) % 90);
    Type(text);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 24;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(Save(), Exception);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(ScratchDir::Read(SlotPath(2)), before);
    EXPECT_EQ(SaveSlots[1].Description, "OLD");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(Dir / "Save"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"Slot2.sav"});
}

TEST_F(SlotFiles, HighScoresStartAtTheirDefaults)
{
    const char* names[] = {"ASH", "BRAMBLE", "CINDER", "DUSK", "EMBER", "FLINT", "GORSE", "HAZEL"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(HighScores[i].Name, names[i]);
        EXPECT_EQ(HighScores[i].Score, 10000 - 1000 * i);
    }
}

TEST_F(SlotFiles, TheSavePickerTypesADescriptionAndSavesTheCurrentEntry)
{
    engine.LevelSetName = std::string(45, 'S');
    engine.EntryIndex = 6;
    SlotSelection = 4;
    StartTyping();
    Type("ab\bc\x01");
    EXPECT_EQ(SlotDescriptionEdit, "ac");
    Type("\xE9\b");
    EXPECT_EQ(SlotDescriptionEdit, "ac");
    Save();
    EXPECT_EQ(EditSlot, -1);
    EXPECT_FALSE(engine.LiveInput.Typing);
    EXPECT_FALSE(SaveSlots[4].Empty);
    EXPECT_EQ(SaveSlots[4].Description, "ac");
    EXPECT_EQ(SaveSlots[4].Episode, std::string(40, 'S'));
    EXPECT_EQ(SaveSlots[4].EpisodeIndex, 6);
    EXPECT_EQ(SlotText(SlotPath(5)), "Room=0\r\nScore=0\r\nBonus=0\r\nDescription=ac\r\nEpisode=" +
                                         std::string(40, 'S') + "\r\nEpisodeIndex=6\r\n");

    engine.LevelSetName = std::string(200, 'L');
    struct Case {
        size_t typed, stored;
    } cases[] = {{80, 80}, {81, 80}, {500, 80}, {1000, 80}};
    for (const Case& c : cases) {
        StartTyping();
        Type(std::string(c.typed, 'X'));
        Save();
        EXPECT_EQ(SaveSlots[4].Description, std::string(c.stored, 'X')) << c.typed;
        EXPECT_EQ(SaveSlots[4].Episode, std::string(40, 'L'));
    }
}

TEST_F(SlotFiles, EscInTheSavePickerStopsTypingOrLeaves)
{
    SaveSlots[0].Description = "KEPT";
    StartTyping();
    Type("GONE");
    Played();
    Tap(8);
    Tick(&tGameEngine::SaveGameStep);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_EQ(EditSlot, -1);
    EXPECT_FALSE(engine.LiveInput.Typing);
    EXPECT_EQ(SaveSlots[0].Description, "KEPT");
    EXPECT_EQ(engine.GameMode, gmSaveGame);

    Tap(8);
    Tick(&tGameEngine::SaveGameStep);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_EQ(engine.GameMode, gmMainMenu);
    EXPECT_TRUE(engine.FullRedraw);
    EXPECT_FALSE(std::filesystem::exists(Dir / "Save"));
}

TEST_F(SlotFiles, PickerSelectionWrapsAndGlows)
{
    engine.SetGameMode(gmSaveGame);
    SlotSelection = 7;
    engine.LiveInput.SetTyping(true);
    Tap(3);
    Tick(&tGameEngine::SaveGameStep);
    EXPECT_EQ(SlotSelection, 0);
    EXPECT_FALSE(engine.LiveInput.Typing);
    EXPECT_TRUE(PlayedOnly({"move"}));
    Tap(2);
    Tick(&tGameEngine::SaveGameStep);
    EXPECT_EQ(SlotSelection, 7);

    SlotLevels.fill(0.5f);
    Tick(&tGameEngine::LoadGameStep);
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(SlotLevels[i], i == 7 ? 0.54f : 0.47f) << i;
    Tick(&tGameEngine::LoadGameStep, 40);
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(SlotLevels[i], i == 7 ? 1.0f : 0.0f) << i;
}

TEST_F(SlotFiles, TheCaretCounterWrapsAfterFortyEightTicks)
{
    int highest = 0;
    for (int i = 1; i <= 48; ++i) {
        Tick(&tGameEngine::SaveGameStep);
        highest = std::max(highest, SlotCaretTicks);
        if (i < 48) {
            EXPECT_EQ(SlotCaretTicks, i);
        }
    }
    EXPECT_EQ(SlotCaretTicks, 0);
    EXPECT_EQ(highest, 47);
}

TEST_F(SlotFiles, ASelectionOutsideTheTableIsRefusedAndMovesBackIntoIt)
{
    // The selection is a plain global: a stray value must never index past the table.
    SaveSlots[0].Description = "FIRST";
    struct Case {
        int32_t selection;
        int action;
        int32_t after;
    } moves[] = {{-1, 3, 0}, {8, 3, 0}, {1000, 3, 0}, {-1, 2, 7}, {8, 2, 7}, {-1000, 2, 7}};
    for (const Case& c : moves) {
        SlotSelection = c.selection;
        Tap(c.action);
        Tick(&tGameEngine::LoadGameStep);
        EXPECT_EQ(SlotSelection, c.after) << c.selection << " " << c.action;
    }

    for (int32_t selection : {-1, 8, 1000}) {
        SlotSelection = selection;
        engine.SetGameMode(gmLoadGame);
        Played();
        Tap(7);
        Tick(&tGameEngine::LoadGameStep);
        EXPECT_TRUE(PlayedOnly({"invalid"})) << selection;
        EXPECT_EQ(engine.GameMode, gmLoadGame) << selection;

        engine.SetGameMode(gmSaveGame);
        Played();
        Tap(7);
        Tick(&tGameEngine::SaveGameStep);
        EXPECT_TRUE(PlayedOnly({"invalid"})) << selection;
        EXPECT_EQ(EditSlot, -1) << selection;
        EXPECT_FALSE(engine.LiveInput.Typing) << selection;
        EXPECT_EQ(engine.GameMode, gmSaveGame) << selection;

        // A stray selection while typing: the save is refused with a clear error.
        SlotSelection = 0;
        StartTyping();
        SlotSelection = selection;
        Type("STRAY");
        EXPECT_THROW(Save(), Exception) << selection;
        EXPECT_EQ(EditSlot, -1);
        EXPECT_FALSE(engine.LiveInput.Typing);
    }
    EXPECT_EQ(SaveSlots[0].Description, "FIRST");
    EXPECT_FALSE(std::filesystem::exists(Dir / "Save"));
}

TEST_F(SlotFiles, EscInTheLoadPickerLeaves)
{
    engine.SetGameMode(gmLoadGame);
    Tap(8);
    Tick(&tGameEngine::LoadGameStep);
    EXPECT_TRUE(PlayedOnly({"close"}));
    EXPECT_EQ(engine.GameMode, gmMainMenu);
    EXPECT_TRUE(engine.FullRedraw);
}

namespace {

// The load picker over a real engine and a two-level set.
class LoadPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        tLevelText level;
        level.Unit("Player", 3, 3);
        H->WriteLoose("Levels/One.map", level.Text());
        H->WriteLoose("Levels/Two.map", level.Text());
        H->WriteSet("Two.set", {"Level Levels\\One.map", "Level Levels\\Two.map"});
        H->WriteSet("Other.set", {"Level Levels\\One.map"});
        WriteMenuSamples(H->Dir);
        InstallPackageFileCallbacks();
        FmodTest::UseManualClock(true);
        LoadSlabDialogSoundData();
        SaveSlots = {};
        SlotSelection = 0;
        H->E().LoadLevelSet("Other.set");
        H->E().SetGameMode(gmLoadGame);
    }
    void TearDown() override
    {
        FreeSlabDialogSoundData();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        SaveSlots = {};
        H.reset();
    }
    void Enter(int slot)
    {
        SlotSelection = slot;
        H->E().LiveInput.Press(7);
        H->E().LoadGameStep();
        H->E().LiveInput.Release(7);
        H->E().LiveInput.ClearLatched(AllActions);
    }
    std::unique_ptr<tEngineHarness> H;
};

} // namespace

TEST_F(LoadPicker, EmptySlotsAndEntriesOutsideTheSetAreRefused)
{
    SaveSlots[0].Empty = true;
    SaveSlots[1] = tSaveSlot{false, "FAR", "Two.set", 2, 0, 0, 0};
    SaveSlots[2] = tSaveSlot{false, "BEFORE", "Two.set", -1, 0, 0, 0};
    for (int slot : {0, 1, 2}) {
        Enter(slot);
        EXPECT_TRUE(MenuSamplesPlayedOnly({"invalid"})) << slot;
        EXPECT_EQ(H->E().GameMode, gmLoadGame) << slot;
        EXPECT_EQ(H->E().EntryIndex, 0) << slot;
    }
}

TEST_F(LoadPicker, ASlotStartsItsEntry)
{
    SaveSlots[3] = tSaveSlot{false, "SECOND", "Two.set", 1, 0, 0, 0};
    Enter(3);
    EXPECT_TRUE(MenuSamplesPlayedOnly({}));
    EXPECT_EQ(H->E().LevelSetName, "Two.set");
    EXPECT_EQ(H->E().EntryIndex, 1);
    EXPECT_NE(H->E().GameMode, gmLoadGame);
    EXPECT_TRUE(H->RunUntil(gmPlaying, 400));
}
