// Save slots: the table of eight slots, each naming a level set and an entry of it, its
// compressed slot files, the high-score table and the two slot pickers.
#include <string>

#include "platform/Files.h"
#include "platform/Streams.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/dzlib.h"

using namespace slab;

std::array<tSaveSlot, SaveSlotCount> SaveSlots{};
std::array<tHighScore, 8> HighScores{{{"ASH", 10000},
                                      {"BRAMBLE", 9000},
                                      {"CINDER", 8000},
                                      {"DUSK", 7000},
                                      {"EMBER", 6000},
                                      {"FLINT", 5000},
                                      {"GORSE", 4000},
                                      {"HAZEL", 3000}}};

int32_t SlotSelection = 0;
int32_t EditSlot = -1;
int32_t SlotCaretTicks = 0;
std::string SlotDescriptionEdit;
std::array<float, SaveSlotCount> SlotLevels{};

namespace {

bool ValidSlot(int32_t index) { return index >= 0 && index < SaveSlotCount; }

void CheckSlot(int32_t index)
{
    if (!ValidSlot(index))
        throw Exception("SaveSlot: there is no slot " + std::to_string(index));
}

// Up and Down over the eight slots with wrap-around; Down reports a wrap to slot 0.
bool MoveSlotSelection(const tGameEngine& e)
{
    bool wrappedToFirst = false;
    if (Latched(e, aDown)) {
        SlotSelection = SlotSelection + 1 >= SaveSlotCount || SlotSelection < 0 ? 0 : SlotSelection + 1;
        wrappedToFirst = SlotSelection == 0;
        MenuMoveSound.Play();
    }
    if (Latched(e, aUp)) {
        SlotSelection = SlotSelection <= 0 || SlotSelection >= SaveSlotCount ? SaveSlotCount - 1 : SlotSelection - 1;
        MenuMoveSound.Play();
    }
    return wrappedToFirst;
}

void SetTyping(tGameEngine& e, bool on)
{
    if (e.Input)
        e.Input->SetTyping(on);
}

} // namespace

std::string SaveSlotFileName(int32_t index)
{
    return IncludeTrailingPathDelimiter(ApplicationDir()) + "Save\\Slot" + std::to_string(index + 1) + ".sav";
}

std::string SaveSlotText(const tSaveSlot& slot)
{
    // "Description=" and "Episode=" lines hold the key and at most the field's capacity.
    return "Room=" + std::to_string(slot.Room) + "\r\n" + "Score=" + std::to_string(slot.Score) + "\r\n" +
           "Bonus=" + std::to_string(slot.Bonus) + "\r\n" + "Description=" +
           slot.Description.substr(0, SlotDescriptionLength) + "\r\n" + "Episode=" +
           slot.Episode.substr(0, SlotEpisodeLength) + "\r\n" + "EpisodeIndex=" + std::to_string(slot.EpisodeIndex) +
           "\r\n";
}

void SaveSlotRecord(int32_t index, const tSaveSlot& slot)
{
    CheckSlot(index);
    if (slot.Empty)
        throw Exception("SaveSlot: Bugger!");
    const std::string text = SaveSlotText(slot);
    TMemoryStream packed;
    {
        TCompressionStream compressor(TCompressionLevel::clDefault, packed);
        compressor.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
        compressor.Finish();
    }
    const std::string fileName = SaveSlotFileName(index);
    const std::string folder = ExtractFileDir(fileName);
    if (!DirectoryExists(folder))
        ForceDirectories(folder);
    WriteFileReplacing(fileName, [&](TStream& out) {
        const uint32_t length = static_cast<uint32_t>(text.size());
        const uint8_t header[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                                   static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
        out.WriteBuffer(header, 4);
        out.WriteBuffer(packed.Memory(), static_cast<int32_t>(packed.Size()));
    });
}

void SaveSlot(int32_t index)
{
    CheckSlot(index);
    SaveSlotRecord(index, SaveSlots[static_cast<size_t>(index)]);
}

// ---------------------------------------------------------------------------------------
// The pickers (modes 15 and 16): they paint nothing of their own.

void tGameEngine::LoadGameStep()
{
    Ramp(SlotLevels.data(), SaveSlotCount, SlotSelection, 0.04f, 0.03f);
    if (Latched(*this, aEnter)) {
        if (!ValidSlot(SlotSelection) || SaveSlots[static_cast<size_t>(SlotSelection)].Empty) {
            InvalidOptionSound.Play();
        } else {
            const tSaveSlot slot = SaveSlots[static_cast<size_t>(SlotSelection)];
            LoadLevelSet(slot.Episode);
            if (slot.EpisodeIndex < 0 || slot.EpisodeIndex >= LevelSet.Count()) {
                InvalidOptionSound.Play();
            } else {
                EntryIndex = slot.EpisodeIndex;
                StartCurrentEntry();
                return;
            }
        }
    }
    MoveSlotSelection(*this);
    if (Latched(*this, aBack))
        Back(*this, gmMainMenu);
}

void tGameEngine::SaveGameStep()
{
    const int32_t next = SlotCaretTicks + 1;
    SlotCaretTicks = next / 3 > 15 ? 0 : next;
    Ramp(SlotLevels.data(), SaveSlotCount, SlotSelection, 0.04f, 0.03f);
    if (EditSlot < 0) {
        if (MoveSlotSelection(*this))
            SetTyping(*this, false);
        if (Latched(*this, aEnter)) {
            if (!ValidSlot(SlotSelection)) {
                // A stray selection would leave typing on with no slot to type into.
                InvalidOptionSound.Play();
            } else {
                EditSlot = SlotSelection;
                SlotDescriptionEdit.clear();
                SetTyping(*this, true);
            }
        } else if (Latched(*this, aBack)) {
            Back(*this, gmMainMenu);
        }
        return;
    }
    if (Input)
        SlotDescriptionEdit = Input->EditString(SlotDescriptionEdit);
    if (Latched(*this, aBack)) {
        MenuCloseSound.Play();
        EditSlot = -1;
        SetTyping(*this, false);
    } else if (Latched(*this, aEnter)) {
        EditSlot = -1;
        SetTyping(*this, false);
        CheckSlot(SlotSelection);
        // The table takes the record only once its file is written.
        tSaveSlot record = SaveSlots[static_cast<size_t>(SlotSelection)];
        record.Description = SlotDescriptionEdit.substr(0, SlotDescriptionLength);
        record.Episode = LevelSetName.substr(0, SlotEpisodeLength);
        record.EpisodeIndex = EntryIndex;
        record.Empty = false;
        SaveSlotRecord(SlotSelection, record);
        SaveSlots[static_cast<size_t>(SlotSelection)] = record;
    }
}

void DrawLoadGameSlab() {}
void DrawSaveGameSlab() {}
