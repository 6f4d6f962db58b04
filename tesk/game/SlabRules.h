#pragma once
// The rules every slab page follows, for the page handlers: highlight ramps, hover bands,
// click boxes, the arrow keys' wrap-around and the way back to the parent page.
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "tesk/game/GameEngine.h"
#include "tesk/game/SlabDialogs.h"

namespace slab {

// Input actions.
constexpr int aClick = 1;
constexpr int aUp = 2;
constexpr int aDown = 3;
constexpr int aLeft = 4;
constexpr int aRight = 5;
constexpr int aEnter = 7;
constexpr int aBack = 8;

// The font glow of a highlight level: round(level x 29), halves to even.
inline int32_t GlowOf(float level) { return static_cast<int32_t>(std::nearbyint(level * 29.0f)); }

inline bool Within(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

// The selected item's level rises by `rise` up to 1; every other falls by `fall` down to 0.
void Ramp(float* levels, int count, int selected, float rise = 0.05f, float fall = 0.03f);
template <size_t N>
void Ramp(std::array<float, N>& levels, int selected, float rise = 0.05f, float fall = 0.03f)
{
    Ramp(levels.data(), static_cast<int>(N), selected, rise, fall);
}
// The word matching the value brightens, the other fades.
void UpdateChoice(tChoiceGlow& glow, bool on);

// A page's vertical item bands (inclusive rows).
struct tBand {
    int32_t Top;
    int32_t Bottom;
};
// The item under the mouse when it moved this tick inside x left..right, else -1.
int HoverItem(const tGameEngine& e, int32_t left, int32_t right, std::initializer_list<tBand> bands);
inline bool MouseIn(const tGameEngine& e, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return Within(e.MouseX, left, right) && Within(e.MouseY, top, bottom);
}

inline bool Latched(const tGameEngine& e, int action) { return e.Input && e.Input->IsLatched(action); }
inline bool Held(const tGameEngine& e, int action) { return e.Input && e.Input->IsPressed(action); }

// Up and Down: the selection moves with wrap-around over 0..count-1 and MenuMoveSound
// plays. True when it moved.
bool MoveSelection(const tGameEngine& e, uint8_t& selection, int count);

// Goes to another page: the mode, and the next frame painted from the snapshot.
void GoTo(tGameEngine& e, uint8_t mode);
// Back to the parent page: MenuCloseSound first.
void Back(tGameEngine& e, uint8_t parent);

// Whether the page acts on the tick's click: inside the click box it activates the
// selected item, outside it (or with action 8) the page backs out.
enum class tClick { None, Activate, Outside };
tClick ClickOrBack(const tGameEngine& e, int32_t left, int32_t top, int32_t right, int32_t bottom);

// Runs a page's step and plays MenuMouseMoveSound when the selection ended up other than
// it began.
template <class F>
void WithSelectionSound(const uint8_t& selection, F&& step)
{
    const uint8_t before = selection;
    step();
    if (selection != before)
        MenuMouseMoveSound.Play();
}

// Entering the pages: the video page loads the pending choices from the settings; the
// advanced sound page takes the device and driver, brought into range.
void EnterVideoPage(tGameEngine& e);
void EnterAdvancedSoundPage(tGameEngine& e);

} // namespace slab
